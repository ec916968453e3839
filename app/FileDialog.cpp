#include "FileDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace framequill {
namespace {

// "Text files (*.txt, *.sub)|*.TXT;*.SUB;" as Qt writes it. File names on Linux are case-sensitive, so
// each letter of a pattern matches in either case ("*.[tT][xX][tT]"); the dialog shows the description
// alone.
QString QtNameFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const auto bar = text.indexOf('|');
    if (bar < 0)
        return {};
    QStringList patterns;
    for (const QString& pattern : text.mid(bar + 1).split(';', Qt::SkipEmptyParts)) {
        QString anyCase;
        for (const QChar c : pattern)
            anyCase +=
                c.toLower() != c.toUpper() ? QString("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
        patterns << anyCase;
    }
    return text.left(bar) + " (" + patterns.join(' ') + ")";
}

} // namespace

std::optional<std::string> RunQtFileDialog(const DialogRequest& request) {
    QFileDialog dialog(request.parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (const QString filter = QtNameFilter(request.filter); !filter.isEmpty())
        dialog.setNameFilter(filter);
    if (!request.fileName.empty())
        dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

bool FileDialog::Execute(QWidget* parent, const DialogRunner& runner) {
    const auto chosen = runner(DialogRequest{save_, Filter, FileName, parent});
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace framequill
