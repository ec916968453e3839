#include "MediaPlayer.h"

#include "ButtonBar.h"
#include "FrameIndex.h"
#include "MpvSession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProgressDialog>
#include <QVBoxLayout>

#include <mpv/client.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace framequill {
namespace {

const char* const kNoDevice = "No MCI device open";
constexpr int kOpenTimeoutMs = 20000;
constexpr int kSeekTimeoutMs = 10000;
constexpr int kCloseTimeoutMs = 3000;
// An exact seek shows the first picture whose time is at least the target minus 5 ms; a picture counts
// as shown once the clock is within half a millisecond of its time.
constexpr double kShownTolerance = 0.0005;
// How long before its time mpv's video output takes a picture on.
constexpr double kHandOnAhead = 0.050;
// A picture goes on screen as the sound reaches its time; a millisecond's grace covers the drawing.
constexpr double kSoundToPicture = 0.001;

// Shows how far the reading of a long file's frames is, and lets the user stop it.
class IndexingProgress {
public:
    explicit IndexingProgress(QWidget* parent) : parent_(parent) { clock_.start(); }

    bool operator()(std::int64_t done, std::int64_t total) {
        if (!dialog_ && clock_.elapsed() > 400) {
            dialog_ = std::make_unique<QProgressDialog>("Reading the video's frames...", "Cancel", 0, 1000,
                                                        parent_->window());
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
        }
        if (dialog_) {
            dialog_->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
            QApplication::processEvents();
            return !dialog_->wasCanceled();
        }
        return true;
    }

private:
    QWidget* parent_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
};

std::string SeekArgument(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", std::max(0.0, seconds));
    return text;
}

std::optional<struct stat> FileStatus(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

// The same file, unchanged: a file rewritten in place changes its size or time, a replaced one its inode.
bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent), bar_(new ButtonBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    setFocusProxy(bar_);
    connect(bar_, &ButtonBar::Pressed, this, &MediaPlayer::OnButtonPressed);
}

// mpv draws into the surface's window: it has to go first.
MediaPlayer::~MediaPlayer() {
    session_.reset();
}

void MediaPlayer::SetDisplay(QWidget* display) {
    if (display_)
        display_->removeEventFilter(this);
    display_ = display;
    display_->installEventFilter(this);
}

bool MediaPlayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == display_ && event->type() == QEvent::Resize)
        PlaceSurface();
    return QWidget::eventFilter(watched, event);
}

// mpv fills its window with the picture, so the window takes the picture's shape. The display keeps a
// pixel to spare each way, as the window sized at the open leaves it, so that the open's size holds.
void MediaPlayer::PlaceSurface() {
    if (!surface_)
        return;
    if (!open_ || !hasPicture_) {
        surface_->setGeometry(display_->rect());
        return;
    }
    const PictureSize drawn = FitPicture(pictureSize_, {display_->width() - 1, display_->height() - 1});
    surface_->setGeometry(0, 0, std::max(1, drawn.width), std::max(1, drawn.height));
}

void MediaPlayer::EnsureSession() {
    if (session_)
        return;
    // A native window of its own inside the display, created once and never moved to another parent:
    // mpv keeps drawing into it.
    surface_ = new QWidget(display_);
    surface_->setAttribute(Qt::WA_NativeWindow);
    surface_->setAttribute(Qt::WA_DontCreateNativeAncestors);
    surface_->setAttribute(Qt::WA_TransparentForMouseEvents);
    surface_->setGeometry(display_->rect());
    surface_->show();
    session_ = std::make_unique<MpvSession>(static_cast<std::int64_t>(surface_->winId()), [this] {
        // When the events came, not when this thread gets to them: the clock's moves are timed by it.
        lastWakeup_.store(std::chrono::steady_clock::now().time_since_epoch().count());
        QMetaObject::invokeMethod(this, &MediaPlayer::DrainEvents, Qt::QueuedConnection);
    });
}

void MediaPlayer::RequireOpen() const {
    if (!open_)
        throw EMCIDeviceError(kNoDevice);
}

void MediaPlayer::RequireSameFile() {
    RequireOpen();
    if (const auto now = FileStatus(openedPath_); now && SameFile(*now, openedFile_))
        return;
    Close();
    throw EMCIDeviceError("The video file has changed since it was opened; open it again");
}

void MediaPlayer::Open() {
    Close();
    if (!display_)
        throw EMCIDeviceError("The player has no display");
    const std::string path = std::filesystem::absolute(fileName_).string();
    // Taken before the frames are read, so that a change while they are read counts too.
    const auto opened = FileStatus(path);
    if (!opened || !S_ISREG(opened->st_mode) || ::access(path.c_str(), R_OK) != 0)
        throw EMCIDeviceError("Cannot open file " + fileName_);
    openedFile_ = *opened;
    openedPath_ = path;
    EnsureSession();
    session_->SetFlag("pause", true);
    session_->SetOption("hr-seek-demuxer-offset", "0");
    session_->Command({"loadfile", path, "replace"});
    int endFileError = 0;
    if (!WaitFor(MPV_EVENT_PLAYBACK_RESTART, kOpenTimeoutMs, &endFileError)) {
        session_->Command({"stop"});
        if (endFileError < 0)
            throw EMCIDeviceError(mpv_error_string(endFileError));
        throw EMCIDeviceError(endFileError == 0 ? "The media system did not open the file in time"
                                                : "Unknown error code");
    }

    const bool mpvHasVideo = session_->Integer("vid").has_value();
    FrameIndex index;
    if (mpvHasVideo) {
        try {
            IndexingProgress progress(this);
            index = FrameIndex::Read(path, std::ref(progress));
        } catch (const Error& error) {
            session_->Command({"stop"});
            throw EMCIDeviceError(error.what());
        }
    }

    hasPicture_ = mpvHasVideo && !index.Empty();
    grid_ = {};
    if (hasPicture_) {
        // FFMS2 and mpv count time from different zeros; the first picture shown after the open ties
        // them together.
        const double offset = index.Seconds(0) - session_->Number("time-pos").value_or(0.0);
        std::vector<double> pictureSeconds;
        pictureSeconds.reserve(index.Count());
        for (std::size_t n = 0; n < index.Count(); ++n)
            pictureSeconds.push_back(index.Seconds(n) - offset);
        grid_ = FrameGrid(std::move(pictureSeconds), PlayersRate());
        pictureSize_ = {static_cast<int>(session_->Integer("dwidth").value_or(0)),
                        static_cast<int>(session_->Integer("dheight").value_or(0))};
        openingSize_ = OpeningPictureSize(pictureSize_, largestPicture_);
        // Program and transport streams seek their demuxer after the target; starting it a keyframe
        // distance earlier lets the exact seek decode forward to the right picture.
        if (index.NeedsEarlyDemuxerSeek())
            session_->SetOption("hr-seek-demuxer-offset",
                                SeekArgument(index.LongestKeyframeDistance() + 0.5));
    }
    durationSeconds_ = session_->Number("duration").value_or(0.0);
    open_ = true;
    motion_ = Motion::Stopped;
    parkedAtEnd_ = false;
    clockSeconds_ = -1;
    stepCount_ = Length() / 10;
    PlaceSurface();
    SetButtons({{MPBtnType::btPlay, true},
                {MPBtnType::btPause, false},
                {MPBtnType::btStop, false},
                {MPBtnType::btNext, true},
                {MPBtnType::btPrev, true},
                {MPBtnType::btStep, hasPicture_},
                {MPBtnType::btBack, hasPicture_}});
}

void MediaPlayer::Close() {
    if (open_) {
        open_ = false;
        try {
            session_->Command({"stop"});
            WaitFor(MPV_EVENT_END_FILE, kCloseTimeoutMs);
        } catch (const Error&) {
            // Closing never reports; the next open replaces whatever mpv still holds.
        }
    }
    hasPicture_ = false;
    grid_ = {};
    PlaceSurface();
    SetButtons({{MPBtnType::btPlay, false},
                {MPBtnType::btPause, false},
                {MPBtnType::btStop, false},
                {MPBtnType::btNext, false},
                {MPBtnType::btPrev, false},
                {MPBtnType::btStep, false},
                {MPBtnType::btBack, false}});
}

void MediaPlayer::Play() {
    RequireSameFile();
    if (Position() == Length())
        Seek(0);
    Resume();
}

void MediaPlayer::Resume() {
    session_->SetFlag("pause", false);
    motion_ = Motion::Playing;
    parkedAtEnd_ = false;
}

void MediaPlayer::Halt(Motion motion) {
    session_->SetFlag("pause", true);
    motion_ = motion;
}

// Pausing leaves the picture that mpv had already taken on unshown, though its clock names it: an exact
// move to the picture on screen makes the two agree again.
void MediaPlayer::Freeze(Motion motion) {
    DrainEvents();
    const bool wasPlaying = PlayState() == MPModes::mpPlaying;
    const bool atEnd = AtEnd();
    const std::size_t shown = hasPicture_ ? PictureOnScreen() : 0;
    Halt(motion);
    if (wasPlaying && hasPicture_ && !atEnd)
        MoveTo(grid_.Seconds(shown));
}

// The rate players read a frame-numbered subtitle file with: the container's rate as mpv reports it.
// Measured: where the container gives none (Matroska without a default duration), mpv reads the lines
// at 24000/1001 a second.
double MediaPlayer::PlayersRate() const {
    if (const auto rate = session_->Number("container-fps"); rate && *rate > 0)
        return *rate;
    return 24000.0 / 1001;
}

// mpv may call a paused file ended right after a seek to its last picture; only a play runs it out.
bool MediaPlayer::AtEnd() const {
    return parkedAtEnd_ || (motion_ == Motion::Playing && session_->Flag("eof-reached"));
}

std::size_t MediaPlayer::PictureNamedBy(double seconds) const {
    return grid_.LastPictureBy(seconds + kShownTolerance);
}

std::int32_t MediaPlayer::Position() {
    RequireSameFile();
    DrainEvents();
    if (AtEnd())
        return Length();
    if (!hasPicture_)
        return static_cast<std::int32_t>(session_->Number("time-pos").value_or(0.0) * 1000.0 + 0.5);
    return grid_.NumberOf(PictureOnScreen());
}

std::size_t MediaPlayer::PictureOnScreen() {
    const double now = session_->Number("time-pos").value_or(0.0);
    const std::size_t named = PictureNamedBy(now);
    if (motion_ != Motion::Playing || named == 0)
        return named;
    // With sound, pictures are shown when the sound reaches their time.
    if (const auto heard = session_->Number("audio-pts"))
        return std::min(named, PictureNamedBy(*heard - kSoundToPicture));
    if (PictureNamedBy(clockSeconds_) != named)
        return named;
    // While playing, the picture the clock names goes on screen when it is due: 50 ms after the clock
    // moved to it, or when the picture before it has had its time, whichever comes first.
    const double lead = std::min(kHandOnAhead, grid_.Seconds(named) - grid_.Seconds(named - 1));
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - clockMovedAt_;
    return since.count() < lead ? named - 1 : named;
}

std::int32_t MediaPlayer::Length() const {
    RequireOpen();
    if (hasPicture_)
        return grid_.Length();
    return static_cast<std::int32_t>(durationSeconds_ * 1000.0 + 0.5);
}

double MediaPlayer::SecondsOf(std::int32_t position) const {
    if (!hasPicture_)
        return position / 1000.0;
    // The end of a video is its last picture, held.
    return grid_.Seconds(grid_.PictureOf(position));
}

void MediaPlayer::Seek(std::int32_t target) {
    RequireSameFile();
    const std::int32_t clamped = std::clamp<std::int32_t>(target, 0, Length());
    Halt(Motion::Stopped);
    MoveTo(SecondsOf(clamped));
    // Measured: the first exact seek to a file's last picture can end at the end of the file with the
    // picture before still on screen; a second one from there shows it. It costs a whole decoding from
    // the keyframe again, so it is made only when the first ended at the end of the file or short of the
    // last picture.
    const std::size_t last = grid_.PictureCount() - 1;
    if (hasPicture_ && grid_.PictureOf(clamped) == last &&
        (session_->Flag("eof-reached") || PictureNamedBy(session_->Number("time-pos").value_or(0.0)) != last))
        MoveTo(SecondsOf(clamped));
    // mpv holds the last picture at its own time; the position it stands for is the end.
    parkedAtEnd_ = clamped == Length();
}

void MediaPlayer::MoveTo(double seconds) {
    parkedAtEnd_ = false;
    session_->Command({"seek", SeekArgument(seconds), "absolute+exact"});
    if (!WaitFor(MPV_EVENT_PLAYBACK_RESTART, kSeekTimeoutMs))
        throw EMCIDeviceError("The media system did not finish the move in time");
}

MPModes MediaPlayer::PlayState() const {
    if (!open_)
        return MPModes::mpNotReady;
    if (AtEnd())
        return MPModes::mpStopped;
    switch (motion_) {
    case Motion::Playing:
        return MPModes::mpPlaying;
    case Motion::Paused:
        return MPModes::mpPaused;
    default:
        return MPModes::mpStopped;
    }
}

// The frame index counts in frames from the open on.
void MediaPlayer::SetFrameTimeFormat() {}

std::optional<PictureRectangle> MediaPlayer::PictureRect() const {
    if (!open_ || !hasPicture_)
        return std::nullopt;
    return PictureRectangle{0, 0, openingSize_.width, openingSize_.height};
}

void MediaPlayer::OnButtonPressed(MPBtnType button, bool byKeyboard) {
    bool doDefault = true;
    if (onClick_)
        onClick_(button, doDefault);
    if (!doDefault)
        return;
    PerformAction(button);
    if (byKeyboard || open_)
        ApplyButtonRule(button);
}

void MediaPlayer::PerformAction(MPBtnType button) {
    RequireSameFile();
    switch (button) {
    case MPBtnType::btPlay:
        Play();
        break;
    case MPBtnType::btPause:
        if (PlayState() == MPModes::mpPlaying)
            Freeze(Motion::Paused);
        else if (PlayState() == MPModes::mpPaused)
            Resume();
        break;
    case MPBtnType::btStop:
        Freeze(Motion::Stopped);
        break;
    case MPBtnType::btNext:
        Seek(Length());
        break;
    case MPBtnType::btPrev:
        Seek(0);
        break;
    case MPBtnType::btStep:
        if (hasPicture_) {
            if (Position() == Length())
                Seek(0);
            Seek(Position() + stepCount_);
        }
        break;
    case MPBtnType::btBack:
        if (hasPicture_)
            Seek(Position() - stepCount_);
        break;
    default:
        break;
    }
}

void MediaPlayer::ApplyButtonRule(MPBtnType button) {
    switch (button) {
    case MPBtnType::btPlay:
        SetButtons({{MPBtnType::btPlay, false}, {MPBtnType::btPause, true}, {MPBtnType::btStop, true}});
        break;
    case MPBtnType::btPause:
        SetButtons({{MPBtnType::btPlay, true}});
        break;
    default:
        SetButtons({{MPBtnType::btPlay, true}, {MPBtnType::btPause, false}, {MPBtnType::btStop, false}});
        break;
    }
}

void MediaPlayer::SetButtons(std::initializer_list<std::pair<MPBtnType, bool>> states) {
    for (const auto& [button, enabled] : states)
        bar_->SetButtonEnabled(button, enabled);
}

void MediaPlayer::DrainEvents() {
    if (!session_)
        return;
    for (;;) {
        const mpv_event& event = session_->NextEvent(std::chrono::milliseconds(0));
        if (event.event_id == MPV_EVENT_NONE)
            return;
        HandleEvent(event);
    }
}

void MediaPlayer::HandleEvent(const mpv_event& event) {
    if (event.event_id != MPV_EVENT_PROPERTY_CHANGE || !open_)
        return;
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    if (std::string_view(property->name) == "time-pos" && property->format == MPV_FORMAT_DOUBLE) {
        clockSeconds_ = *static_cast<const double*>(property->data);
        clockMovedAt_ =
            std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastWakeup_.load()));
        return;
    }
    const bool ended = property->format == MPV_FORMAT_FLAG && *static_cast<const int*>(property->data) != 0;
    // A play that ran to the end leaves the medium stopped there.
    if (std::string_view(property->name) == "eof-reached" && ended && motion_ == Motion::Playing) {
        motion_ = Motion::Stopped;
        parkedAtEnd_ = true;
        SetButtons({{MPBtnType::btPlay, true}, {MPBtnType::btPause, false}, {MPBtnType::btStop, false}});
    }
}

bool MediaPlayer::WaitFor(int eventId, int timeoutMs, int* endFileError) {
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = timeoutMs; left > 0; left = timeoutMs - clock.elapsed()) {
        const mpv_event& event = session_->NextEvent(std::chrono::milliseconds(left));
        if (event.event_id == eventId)
            return true;
        if (event.event_id == MPV_EVENT_END_FILE && endFileError) {
            const auto* ended = static_cast<const mpv_event_end_file*>(event.data);
            if (ended->reason == MPV_END_FILE_REASON_ERROR) {
                *endFileError = ended->error < 0 ? ended->error : 1;
                return false;
            }
        }
        HandleEvent(event);
    }
    return false;
}

} // namespace framequill
