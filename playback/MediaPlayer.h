#pragma once

#include "FrameGrid.h"
#include "PictureFit.h"
#include "PlayerTypes.h"

#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

struct mpv_event;

namespace framequill {

class ButtonBar;
class MpvSession;

// The player: a button bar that plays a video file into a display control, over libmpv. Positions and
// lengths of a video are frame numbers as players read them (FrameGrid), from every picture's time in a
// frame index read when the file opens. A medium without a picture counts in
// milliseconds. Operations that move the video return when the new picture is on screen.
// The picture is drawn from the display's top-left corner: at the open at its own size, or scaled down
// when that would not fit the largest size its window may take; afterwards as large as the display
// allows, one pixel less each way, its shape kept.
class MediaPlayer : public QWidget {
    Q_OBJECT
public:
    // Raised when a button is pressed, before its action; clearing doDefault skips the action.
    using ClickHandler = std::function<void(MPBtnType button, bool& doDefault)>;

    explicit MediaPlayer(QWidget* parent);
    ~MediaPlayer() override;

    void Open();
    void Close();
    void Play();
    std::int32_t Position();
    void Seek(std::int32_t target);
    std::int32_t Length() const;
    MPModes PlayState() const;
    void SetFrameTimeFormat();
    std::optional<PictureRectangle> PictureRect() const;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& path) { fileName_ = path; }
    QWidget* Display() const { return display_; }
    void SetDisplay(QWidget* display);
    void SetOnClick(ClickHandler handler) { onClick_ = std::move(handler); }
    // The largest picture the next open may draw, from what the screen leaves the window that shows it.
    void SetLargestPicture(PictureSize largest) { largestPicture_ = largest; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // mpv has only "paused"; a stop and a seek leave the medium stopped, the Pause button paused.
    enum class Motion { Stopped, Paused, Playing };

    void OnButtonPressed(MPBtnType button, bool byKeyboard);
    void PerformAction(MPBtnType button);
    void ApplyButtonRule(MPBtnType button);
    void SetButtons(std::initializer_list<std::pair<MPBtnType, bool>> states);
    void RequireOpen() const;
    // Closes the medium and says so when its file is no longer the one whose frames were read: its
    // frame numbers would name other pictures.
    void RequireSameFile();
    void EnsureSession();
    void DrainEvents();
    void HandleEvent(const mpv_event& event);
    // Waits for the event with the given id, handing every other event on; false on timeout.
    bool WaitFor(int eventId, int timeoutMs, int* endFileError = nullptr);
    void MoveTo(double seconds);
    double SecondsOf(std::int32_t position) const;
    bool AtEnd() const;
    // The last picture whose time the given time on mpv's clock has reached.
    std::size_t PictureNamedBy(double seconds) const;
    // The picture on screen now, while the medium is not at its end.
    std::size_t PictureOnScreen();
    double PlayersRate() const;
    // Pauses or stops playback where the screen is, and makes mpv's clock say so.
    void Freeze(Motion motion);
    void Resume();
    void Halt(Motion motion);
    // Gives mpv's window the picture's drawn size, or the whole display when there is no picture.
    void PlaceSurface();

    ButtonBar* bar_;
    QWidget* display_ = nullptr;
    QWidget* surface_ = nullptr;
    std::unique_ptr<MpvSession> session_;
    ClickHandler onClick_;
    std::string fileName_;
    // The open file as it was when its frames were read.
    struct stat openedFile_ {};
    std::string openedPath_;

    bool open_ = false;
    bool hasPicture_ = false;
    // Every picture's time on mpv's clock and the frame numbers players give them; empty for a medium
    // without a picture.
    FrameGrid grid_;
    double durationSeconds_ = 0;
    // The picture's display size, non-square pixels made square, and the size the open drew it at.
    PictureSize pictureSize_;
    PictureSize openingSize_;
    PictureSize largestPicture_{1 << 20, 1 << 20};
    std::int32_t stepCount_ = 0;
    Motion motion_ = Motion::Stopped;
    // A seek to the length puts the medium at its end, past the last picture's own time.
    bool parkedAtEnd_ = false;
    // When mpv's clock last moved, and to what. mpv hands a picture on up to 50 ms before it is due,
    // and its clock names that picture from then on.
    double clockSeconds_ = -1;
    std::chrono::steady_clock::time_point clockMovedAt_;
    // When mpv last said it had events; set on mpv's threads.
    std::atomic<std::chrono::steady_clock::rep> lastWakeup_{0};
};

} // namespace framequill
