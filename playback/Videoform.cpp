#include "Videoform.h"

#include "MediaPlayer.h"
#include "TrackBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QWindow>

#include <string>

namespace framequill {

TFormVideo* FormVideo = nullptr;

namespace {

constexpr int kBorder = 4;
constexpr int kPanel2Height = 79;

QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

} // namespace

TFormVideo::TFormVideo(std::function<void(const std::string&)> setFrameText)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      setFrameText_(std::move(setFrameText)) {
    setObjectName("FormVideo");
    setWindowTitle("Video");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // The picture covers Panel1 from its top-left corner, bevel included.
    Panel1 = MakePanel(this, "Panel1");
    Panel2 = MakePanel(this, "Panel2");

    TrackBar1 = new TrackBar(Panel2);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setGeometry(1, 9, 351, 33);
    TrackBar1->SetOnChange([this] { TrackBar1Change(); });

    MediaPlayer1 = new MediaPlayer(Panel2);
    MediaPlayer1->setObjectName("MediaPlayer1");
    MediaPlayer1->setGeometry(8, 44, 197, 25);
    MediaPlayer1->SetDisplay(Panel1);
    MediaPlayer1->SetOnClick(
        [this](MPBtnType button, bool& doDefault) { MediaPlayer1Click(button, doDefault); });

    // Panel1 354 x 287 at the starting size.
    resize(354 + 2 * kBorder, 287 + kPanel2Height + 2 * kBorder);
    move(607, 107);
}

// The player draws into a window inside Panel1, so it must stop before Panel1 goes.
TFormVideo::~TFormVideo() {
    delete MediaPlayer1;
}

void TFormVideo::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int innerWidth = width() - 2 * kBorder;
    const int innerHeight = height() - 2 * kBorder;
    Panel2->setGeometry(kBorder, kBorder + innerHeight - kPanel2Height, innerWidth, kPanel2Height);
    Panel1->setGeometry(kBorder, kBorder, innerWidth, std::max(0, innerHeight - kPanel2Height));
    TrackBar1->setGeometry(1, 9, std::max(0, innerWidth - 3), 33);
}

QMargins TFormVideo::FrameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

void TFormVideo::WaitUntilFramed() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000 &&
           !(windowHandle() && windowHandle()->isExposed() && !FrameMargins().isNull()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void TFormVideo::closeEvent(QCloseEvent* event) {
    event->ignore();
}

int TFormVideo::OuterWidth() const {
    return frameGeometry().width();
}
int TFormVideo::OuterHeight() const {
    return frameGeometry().height();
}

void TFormVideo::SetOuterSize(int outerWidth, int outerHeight) {
    resize(outerWidth - (frameGeometry().width() - width()),
           outerHeight - (frameGeometry().height() - height()));
}

void TFormVideo::TrackBar1Change() {
    if (MediaPlayer1->PlayState() == MPModes::mpPlaying)
        return;
    MediaPlayer1->Seek(TrackBar1->Position());
    setFrameText_(std::to_string(MediaPlayer1->Position()));
}

void TFormVideo::MediaPlayer1Click(MPBtnType button, bool&) {
    if (button != MPBtnType::btStep && button != MPBtnType::btBack)
        return;
    TrackBar1->SetPosition(MediaPlayer1->Position());
    setFrameText_(std::to_string(MediaPlayer1->Position()));
}

} // namespace framequill
