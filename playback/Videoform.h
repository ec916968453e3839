#pragma once

#include <QWidget>

#include <QMargins>

#include <functional>
#include <string>

class QFrame;

namespace framequill {

class MediaPlayer;
class TrackBar;
enum class MPBtnType;

// The video window: the picture in Panel1 above Panel2, which holds the track bar and the player's
// button bar. The user can move, resize and minimise it, but not close it.
class TFormVideo : public QWidget {
    Q_OBJECT
public:
    // setFrameText writes the main window's frame field; the video window knows no more of it.
    explicit TFormVideo(std::function<void(const std::string&)> setFrameText);
    ~TFormVideo() override;

    QFrame* Panel1;
    QFrame* Panel2;
    MediaPlayer* MediaPlayer1;
    TrackBar* TrackBar1;

    void TrackBar1Change();
    void MediaPlayer1Click(MPBtnType button, bool& doDefault);

    // Sizes with the window frame included.
    int OuterWidth() const;
    int OuterHeight() const;
    void SetOuterSize(int width, int height);
    // Returns once a window that was just shown is on screen with its frame, so that sizes and places
    // given afterwards are not undone by the window manager's own placing; at most a second.
    void WaitUntilFramed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QMargins FrameMargins() const;

    std::function<void(const std::string&)> setFrameText_;
};

// The one video window of the program.
extern TFormVideo* FormVideo;

} // namespace framequill
