// The player against raw libmpv and the stand-alone mpv, measured in the same run:
//  - exact seeks to 30 random frames of a 1080p H.264 video with a keyframe every 300 frames: how many
//    showed the requested frame, median and worst time, and the ratio of the medians (goal: at most 1.1x);
//  - 10 s of 1080p30 playback: CPU seconds against the stand-alone mpv with the same video output
//    (goal: at most 1.1x);
//  - pictures that never reached the screen during playback, against the stand-alone mpv;
//  - reading the frame index of a 1 GB transport stream against reading the file once (goal: 1.5x).
#include "fixtures/Barcode.h"
#include "playback/FrameIndex.h"
#include "playback/MediaPlayer.h"
#include "playback/Videoform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <mpv/client.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace framequill;
using framequill::testing::FrameOnScreen;
using framequill::testing::FrameOnScreenAt;

namespace {

// Blocks of 48 pixels, so that the number can be read from the picture drawn scaled down into a window
// a third of its width.
constexpr double kBarcodeBlock = 48;
const char* const kBarcode =
    "format=yuv420p,geq=lum='if(lt(Y,48)*lt(X,768),16+219*mod(floor(N/pow(2,floor(X/48))),2),lum(X,Y))'"
    ":cb='cb(X,Y)':cr='cr(X,Y)'";

// The side of a barcode block on the screen when the 1920 pixels wide picture is drawn `drawnWidth` wide.
double BlockOnScreen(int drawnWidth) {
    return kBarcodeBlock * drawnWidth / 1920.0;
}

// Runs ffmpeg quietly, overwriting its output.
bool Ffmpeg(const QStringList& arguments) {
    return QProcess::execute("ffmpeg", QStringList{"-loglevel", "error", "-y"} + arguments) == 0;
}

// Seconds of the moving 1080p30 test picture as ffmpeg's input.
QStringList HdTestPicture(int seconds) {
    return {"-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30", "-t", QString::number(seconds)};
}

double Seconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double CpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Raw libmpv with only what an exact seek needs, drawing into a window of its own.
std::vector<double> RawSeeks(const std::string& path, const std::vector<int>& targets, double fps) {
    QWidget window;
    window.resize(640, 360);
    window.setAttribute(Qt::WA_NativeWindow);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    mpv_handle* mpv = mpv_create();
    const std::string wid = std::to_string(window.winId());
    for (const auto& [name, value] :
         std::initializer_list<std::pair<const char*, const char*>>{{"wid", wid.c_str()},
                                                                    {"vo", "gpu,xv,x11"},
                                                                    {"gpu-api", "opengl"},
                                                                    {"config", "no"},
                                                                    {"pause", "yes"},
                                                                    {"keep-open", "yes"},
                                                                    {"hr-seek", "yes"},
                                                                    {"audio", "no"}})
        mpv_set_option_string(mpv, name, value);
    mpv_initialize(mpv);
    auto waitFor = [&](int id) {
        for (;;) {
            const mpv_event* event = mpv_wait_event(mpv, 10);
            if (event->event_id == id || event->event_id == MPV_EVENT_NONE)
                return;
        }
    };
    const char* load[] = {"loadfile", path.c_str(), nullptr};
    mpv_command(mpv, load);
    waitFor(MPV_EVENT_PLAYBACK_RESTART);
    std::vector<double> times;
    for (const int target : targets) {
        const std::string seconds = std::to_string(target / fps);
        const char* seek[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
        QElapsedTimer clock;
        clock.start();
        mpv_command(mpv, seek);
        waitFor(MPV_EVENT_PLAYBACK_RESTART);
        times.push_back(Seconds(clock));
    }
    mpv_terminate_destroy(mpv);
    return times;
}

// A video window of its own, shown, with the file open in its player.
std::unique_ptr<TFormVideo> OpenInWindow(const std::string& path) {
    auto window = std::make_unique<TFormVideo>([](const std::string&) {});
    window->resize(660, 460);
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    window->MediaPlayer1->SetFileName(path);
    window->MediaPlayer1->Open();
    return window;
}

void SeekBenchmark(const std::string& path) {
    std::mt19937 random(2024);
    std::vector<int> targets;
    for (int i = 0; i < 30; ++i)
        targets.push_back(std::uniform_int_distribution<int>(0, 599)(random));

    const auto window = OpenInWindow(path);
    MediaPlayer& player = *window->MediaPlayer1;
    std::vector<double> ours;
    int exact = 0;
    for (const int target : targets) {
        QElapsedTimer clock;
        clock.start();
        player.Seek(target);
        ours.push_back(Seconds(clock));
        QTest::qWait(20);
        exact += FrameOnScreen(window->Panel1, BlockOnScreen(window->Panel1->width() - 1)) == target ? 1 : 0;
    }
    player.Close();
    const std::vector<double> raw = RawSeeks(path, targets, 30.0);
    std::printf("seeks, 1080p H.264, keyframe every 300 frames: %d of %zu exact\n", exact, targets.size());
    const auto worst = [&](const std::vector<double>& times) {
        const auto at = std::max_element(times.begin(), times.end());
        return std::pair{*at, targets[static_cast<std::size_t>(at - times.begin())]};
    };
    const auto [oursWorst, oursWorstTarget] = worst(ours);
    const auto [rawWorst, rawWorstTarget] = worst(raw);
    std::printf("  Framequill median %.1f ms, worst %.1f ms (frame %d)\n", Median(ours) * 1e3,
                oursWorst * 1e3, oursWorstTarget);
    std::printf("  raw libmpv median %.1f ms, worst %.1f ms (frame %d)\n", Median(raw) * 1e3, rawWorst * 1e3,
                rawWorstTarget);
    std::printf("  ratio of medians: %.2fx, of the worst: %.2fx (goal: at most 1.1x each)\n",
                Median(ours) / Median(raw), oursWorst / rawWorst);
}

// The stand-alone mpv as the program uses it: x11 output, the picture scaled into a window of the program's
// size from its top-left corner, 10 s of the file.
QStringList StandAloneMpv(const std::string& path, const QString& title) {
    return {"--no-config",        "--really-quiet",         "--vo=x11",
            "--length=10",        "--geometry=650x350+0+0", "--video-align-x=-1",
            "--video-align-y=-1", "--title=" + title,       QString::fromStdString(path)};
}

void PlaybackBenchmark(const std::string& path) {
    const auto window = OpenInWindow(path);
    MediaPlayer& player = *window->MediaPlayer1;
    const double before = CpuSeconds(RUSAGE_SELF);
    player.Play();
    QTest::qWait(10000);
    const double ours = CpuSeconds(RUSAGE_SELF) - before;
    player.Close();

    const double childrenBefore = CpuSeconds(RUSAGE_CHILDREN);
    const int status = QProcess::execute("mpv", {"--no-config", "--really-quiet", "--vo=x11", "--length=10",
                                                 "--geometry=640x360+0+0", QString::fromStdString(path)});
    const double mpv = CpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
    std::printf("10 s of 1080p30 playback, CPU seconds: Framequill %.2f, mpv %.2f", ours, mpv);
    if (status == 0 && mpv > 0)
        std::printf(", ratio %.2fx (goal: at most 1.1x)\n", ours / mpv);
    else
        std::printf(" (the stand-alone mpv did not run)\n");
}

// Drops the file's pages from the page cache, so that each reading starts from the disk, as the first
// opening of a file does.
void Evict(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Watches the screen at a picture's corner for a while and counts the pictures that never showed
// between the first and the last one seen. Readings outside the video's numbers (a window not yet
// showing the video) and frame 0 (a black window reads as 0) are left out.
int PicturesMissed(QPoint corner, double block, int milliseconds, int pictures) {
    std::set<int> seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        if (const int number = FrameOnScreenAt(corner, block); number > 0 && number < pictures)
            seen.insert(number);
        QCoreApplication::processEvents();
    }
    if (seen.size() < 2)
        return -1;
    return *seen.rbegin() - *seen.begin() + 1 - static_cast<int>(seen.size());
}

// The screen position of the top-left corner of the window whose name matches, from xwininfo, once the
// window is on screen.
std::optional<QPoint> WindowCorner(const QString& name) {
    QProcess info;
    info.start("xwininfo", {"-name", name});
    if (!info.waitForFinished(2000) || info.exitCode() != 0)
        return std::nullopt;
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    if (!text.contains("IsViewable"))
        return std::nullopt;
    const auto value = [&](const char* label) {
        const auto at = text.indexOf(label);
        return at < 0 ? -1
                      : text.mid(at + static_cast<int>(strlen(label))).trimmed().section('\n', 0, 0).toInt();
    };
    return QPoint(value("Absolute upper-left X:"), value("Absolute upper-left Y:"));
}

// Pictures that never reached the screen in 8 s of 1080p30 playback, for the program and for the
// stand-alone mpv, both watched the same way.
void DroppedFramesBenchmark(const std::string& path) {
    const auto window = OpenInWindow(path);
    window->MediaPlayer1->Play();
    const int ours = PicturesMissed(window->Panel1->mapToGlobal(QPoint(0, 0)),
                                    BlockOnScreen(window->Panel1->width() - 1), 8000, 600);
    window->MediaPlayer1->Close();

    const QString title = "framequill-bench-mpv";
    QProcess mpv;
    mpv.start("mpv", StandAloneMpv(path, title));
    std::optional<QPoint> corner;
    for (int i = 0; i < 250 && !corner; ++i) {
        QTest::qWait(20);
        corner = WindowCorner(title);
    }
    // mpv draws the picture as large as its 650x350 window holds: 622 pixels wide.
    const int theirs = corner ? PicturesMissed(*corner, BlockOnScreen(622), 8000, 600) : -1;
    mpv.waitForFinished(15000);
    std::printf(
        "pictures never shown in 8 s of 1080p30 playback: Framequill %d, mpv %d (goal: none more than mpv)\n",
        ours, theirs);
}

void IndexBenchmark(const std::string& path) {
    std::vector<char> buffer(1 << 20);
    Evict(path);
    QElapsedTimer clock;
    clock.start();
    const int fd = ::open(path.c_str(), O_RDONLY);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
    const double read = Seconds(clock);
    Evict(path);
    clock.restart();
    const FrameIndex index = FrameIndex::Read(path, {});
    const double indexing = Seconds(clock);
    std::printf("frame index of a %.2f GB transport stream (%zu pictures): %.2f s, reading it once %.2f s, "
                "ratio %.2fx (goal: at most 1.5x)\n",
                static_cast<double>(QFileInfo(QString::fromStdString(path)).size()) / 1e9, index.Count(),
                indexing, read, indexing / read);
}

// A list for ffmpeg's concat reader naming the file as often as it takes to reach the size.
QString RepeatList(const QTemporaryDir& folder, const std::string& file, qint64 size) {
    const QString list = folder.filePath("list.txt");
    QFile out(list);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    const qint64 copies = size / std::max<qint64>(1, QFileInfo(QString::fromStdString(file)).size()) + 1;
    for (qint64 i = 0; i < copies; ++i)
        out.write(("file '" + file + "'\n").c_str());
    return list;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTemporaryDir folder;
    const std::string hd = folder.filePath("hd.mp4").toStdString();
    const std::string ten = folder.filePath("ten.ts").toStdString();
    const std::string big = folder.filePath("big.ts").toStdString();
    std::printf("making the test videos...\n");
    std::fflush(stdout);
    const bool made = Ffmpeg(HdTestPicture(20) + QStringList{"-vf", kBarcode, "-c:v", "libx264", "-preset",
                                                             "veryfast", "-g", "300", "-bf", "3", "-pix_fmt",
                                                             "yuv420p", QString::fromStdString(hd)}) &&
                      Ffmpeg(HdTestPicture(10) + QStringList{"-c:v", "mpeg2video", "-b:v", "80M", "-maxrate",
                                                             "80M", "-bufsize", "20M", "-f", "mpegts",
                                                             QString::fromStdString(ten)}) &&
                      Ffmpeg({"-f", "concat", "-safe", "0", "-i", RepeatList(folder, ten, 1000000000), "-c",
                              "copy", "-f", "mpegts", QString::fromStdString(big)});
    if (!made) {
        std::printf("ffmpeg could not make the test videos\n");
        return 1;
    }
    SeekBenchmark(hd);
    PlaybackBenchmark(hd);
    DroppedFramesBenchmark(hd);
    IndexBenchmark(big);
    return 0;
}
