#include "ErrorDisplay.h"

#include <QApplication>
#include <QMessageBox>

namespace framequill {

std::string WithFinalFullStop(std::string message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        message += '.';
    return message;
}

void ShowStandardError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, "Framequill", QString::fromStdString(WithFinalFullStop(message)),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName("StandardErrorBox");
    box.exec();
}

} // namespace framequill
