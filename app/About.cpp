#include "About.h"

#include "IntervalTimer.h"
#include "Main.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace framequill {

TFormAbout* FormAbout = nullptr;

namespace {

constexpr int kWidth = 341;
constexpr int kHeight = 224;

// The title picture: a night sky over a strip of film, and the program's name.
QPixmap TitlePicture() {
    QPixmap picture(kWidth, kHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, QColor(10, 20, 60));
    sky.setColorAt(0.6, QColor(60, 40, 110));
    sky.setColorAt(1, QColor(150, 70, 60));
    painter.fillRect(picture.rect(), sky);
    painter.fillRect(0, 130, kWidth, 44, QColor(20, 20, 20));
    for (int x = 4; x < kWidth; x += 16) {
        painter.fillRect(x, 134, 8, 6, QColor(220, 210, 190));
        painter.fillRect(x, 164, 8, 6, QColor(220, 210, 190));
    }
    for (int frame = 0; frame < 6; ++frame)
        painter.fillRect(8 + frame * 56, 143, 48, 18, QColor(90 + frame * 25, 120, 160 - frame * 10));
    QFont title("Serif", 30, QFont::Bold);
    painter.setFont(title);
    painter.setPen(QColor(255, 236, 170));
    painter.drawText(QRect(0, 40, kWidth, 60), Qt::AlignCenter, "Framequill");
    QFont subtitle("Sans Serif", 9);
    painter.setFont(subtitle);
    painter.setPen(QColor(230, 230, 255));
    painter.drawText(QRect(0, 96, kWidth, 20), Qt::AlignCenter, "subtitles timed to the frame");
    return picture;
}

// The one-pixel black ring along the window's edge, which takes clicks and does nothing with them.
class OutlineShape : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QLabel* WhiteLabel(QWidget* parent, const char* name, const QString& text, QRect rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setStyleSheet("color: white; background: transparent;");
    label->move(rect.topLeft());
    label->setMinimumSize(rect.size());
    label->adjustSize();
    return label;
}

} // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        onClick_();
}

TFormAbout::TFormAbout() : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName("FormAbout");
    setWindowTitle("FormAbout");
    setModal(true);
    setFixedSize(kWidth, kHeight);

    Timer1 = new IntervalTimer(this, 1000, true, [this] { Timer1Timer(); });
    Shape1 = new OutlineShape(this);
    Shape1->setObjectName("Shape1");
    Shape1->setGeometry(0, 0, kWidth, kHeight);
    auto* image = new ClickLabel(this, [this] { FormClick(); });
    Image1 = image;
    Image1->setObjectName("Image1");
    Image1->setGeometry(1, 1, kWidth - 2, kHeight - 2);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(TitlePicture());

    Label1 = WhiteLabel(this, "Label1", "2026", {296, 208, 39, 13});
    auto* link = new ClickLabel(this, [this] { Label2Click(); });
    Label2 = link;
    Label2->setObjectName("Label2");
    Label2->setText("Framequill authors");
    Label2->setStyleSheet("color: white; background: transparent;");
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    // The right edge stays at 335; the label is as wide as its longest word needs, at least 53.
    int width = 53;
    for (const QString& word : Label2->text().split(' '))
        width = std::max(width, Label2->fontMetrics().horizontalAdvance(word) + 2);
    Label2->setGeometry(335 - width, 4, width, Label2->heightForWidth(width));
    Label3 = WhiteLabel(this, "Label3", "v0.8", {312, 192, 21, 13});
}

TFormAbout::~TFormAbout() = default;

void TFormAbout::ShowModal() {
    if (!placed_) {
        const QRect main = MainForm->frameGeometry();
        move(std::max(0, main.left() + (main.width() - kWidth) / 2),
             std::max(0, main.top() + (main.height() - kHeight) / 2));
        placed_ = true;
    }
    exec();
}

void TFormAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

// Only the timer and a click on the picture end the window, not the dialog's Escape key.
void TFormAbout::keyPressEvent(QKeyEvent* event) {
    if (!event->matches(QKeySequence::Cancel))
        QDialog::keyPressEvent(event);
}

void TFormAbout::FormShow() {
    Timer1->SetEnabled(true);
}

void TFormAbout::Timer1Timer() {
    Timer1->SetEnabled(false);
    close();
}

void TFormAbout::FormClick() {
    close();
}

void TFormAbout::Label2Click() {
    QDesktopServices::openUrl(UserGuideUrl());
}

QUrl UserGuideUrl() {
    // Installed beside the program under share/, or in the source tree next to the build folder.
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const char* relative : {"../share/doc/framequill/index.html", "../docs/index.html"}) {
        const QFileInfo guide(programFolder.filePath(relative));
        if (guide.exists())
            return QUrl::fromLocalFile(guide.canonicalFilePath());
    }
    return QUrl::fromLocalFile(programFolder.filePath("../share/doc/framequill/index.html"));
}

} // namespace framequill
