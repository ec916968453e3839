#include "AppFixture.h"
#include "playback/PlayerFixture.h"

#include "app/Application.h"
#include "app/IntervalTimer.h"
#include "playback/ButtonBar.h"
#include "playback/MediaPlayer.h"
#include "playback/TrackBar.h"

#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QStyleOptionSlider>

#include <clocale>
#include <fstream>

using namespace framequill;
using namespace framequill::testing;

class VideoCommandTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> program_;
    ScriptedDialogs dialogs_;
    QTemporaryDir folder_;

    MediaPlayer& player() { return *FormVideo->MediaPlayer1; }
    TrackBar& trackBar() { return *FormVideo->TrackBar1; }
    QString field() { return MainForm->edFrameNumber->text(); }
    int onScreen() { return FrameOnScreen(FormVideo->Panel1); }

    void openVideo(const char* name) {
        dialogs_.answers.push_back(Media(name));
        QTest::mouseClick(MainForm->bttVideoFile, Qt::LeftButton);
        QTest::qWait(30);
    }
    void loadLines(const std::string& content) {
        const std::string file = folder_.filePath("lines.txt").toStdString();
        std::ofstream(file, std::ios::binary) << content;
        dialogs_.answers.push_back(file);
        QTest::mouseClick(MainForm->bttTxtFile, Qt::LeftButton);
    }
    void select(int line) { MainForm->lbTxt->setCurrentIndex(MainForm->Script().index(line)); }
    void typeFrame(const QString& text) {
        MainForm->edFrameNumber->setFocus();
        MainForm->edFrameNumber->selectAll();
        QTest::keyClicks(MainForm->edFrameNumber, text);
    }
    const std::string& line(int n) { return MainForm->Script().Lines()[static_cast<std::size_t>(n)]; }

private slots:
    void initTestCase() {
        std::setlocale(LC_NUMERIC, "C");
        MediaFolder();
    }

    void init() {
        dialogs_ = {};
        program_ = std::make_unique<Program>();
        FirstActivation = false;
        MainForm->SetDialogRunner(dialogs_.Runner());
        program_->Show();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
    }

    void cleanup() { program_.reset(); }

    // The display panel ends one pixel larger than the picture, whatever the window's size before.
    void openingFitsTheWindowToThePictureAndEnablesTheCommands() {
        openVideo("mpeg4.avi");
        QVERIFY(FormVideo->isVisible());
        QCOMPARE(MainForm->edVideoFile->text().toStdString(), Media("mpeg4.avi"));
        QCOMPARE(FormVideo->Panel1->size(), QSize(321, 241));
        const QRect main = MainForm->frameGeometry();
        QTRY_COMPARE(FormVideo->frameGeometry().topLeft(), QPoint(main.left() + main.width(), main.top()));
        QCOMPARE(trackBar().Max(), 100);
        QCOMPARE(trackBar().Frequency(), 1);
        QVERIFY(MainForm->Timer1->Enabled());
        for (auto* button :
             {MainForm->bttMarkBeginning, MainForm->bttMarkEnd, MainForm->bttMarkNext, MainForm->bttGoto})
            QVERIFY(button->isEnabled());
        QCOMPARE(field(), QString("1"));

        FormVideo->resize(500, 200);
        openVideo("large_640x480.mkv");
        QCOMPARE(FormVideo->Panel1->size(), QSize(641, 481));
        QCOMPARE(trackBar().Max(), 50);
        QCOMPARE(trackBar().Frequency(), 0);
    }

    // Sound alone has no picture to fit the window to; its length is counted in milliseconds.
    // Whatever the screen (this test runs again on 1366x768 and 1920x1080 screens, and with two device
    // pixels to a window pixel), both windows lie on it with every control, and the whole picture shows,
    // scaled down where it would not fit, its frame number readable.
    void everyPictureFitsTheScreen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("block");
        QTest::newRow("320x240") << "mpeg4.avi" << QSize(320, 240) << 16.0;
        QTest::newRow("640x480") << "large_640x480.mkv" << QSize(640, 480) << 16.0;
        QTest::newRow("1280x720") << "large_1280x720.mp4" << QSize(1280, 720) << 64.0;
        QTest::newRow("1920x1080") << "large_1920x1080.mp4" << QSize(1920, 1080) << 96.0;
        QTest::newRow("3840x2160") << "large_3840x2160.mp4" << QSize(3840, 2160) << 192.0;
    }
    void everyPictureFitsTheScreen() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(double, block);
        openVideo(name.toUtf8().constData());
        const auto picture = player().PictureRect();
        QVERIFY(picture);
        const QSize drawn(picture->Right, picture->Bottom);
        QCOMPARE(FormVideo->Panel1->size(), drawn + QSize(1, 1));
        QVERIFY(std::abs(drawn.width() * size.height() - drawn.height() * size.width()) <= size.width());
        const QRect screen = MainForm->screen()->availableGeometry();
        const QRect main = MainForm->frameGeometry();
        const QSize around = FormVideo->frameGeometry().size() - FormVideo->Panel1->size() + QSize(1, 1);
        if (size.width() + around.width() <= screen.right() - main.right() &&
            size.height() + around.height() <= screen.bottom() + 1 - main.top())
            QCOMPARE(drawn, size); // room enough: drawn at its own size
        QTRY_VERIFY2(screen.contains(FormVideo->frameGeometry()),
                     qPrintable(QString("video window %1,%2 %3x%4 on %5x%6")
                                    .arg(FormVideo->frameGeometry().x())
                                    .arg(FormVideo->frameGeometry().y())
                                    .arg(FormVideo->frameGeometry().width())
                                    .arg(FormVideo->frameGeometry().height())
                                    .arg(screen.width())
                                    .arg(screen.height())));
        QVERIFY(screen.contains(MainForm->frameGeometry()));
        for (QWidget* control :
             {static_cast<QWidget*>(FormVideo->TrackBar1), static_cast<QWidget*>(FormVideo->MediaPlayer1),
              static_cast<QWidget*>(FormVideo->Panel1)}) {
            const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
            QVERIFY2(screen.contains(global) && control->isVisible(), control->objectName().toUtf8());
        }
        const double scale = static_cast<double>(drawn.width()) / size.width();
        player().Seek(5);
        QTRY_COMPARE(FrameOnScreen(FormVideo->Panel1, block * scale), 5);
    }

    // Resized by the user, the window's picture takes the largest size of its shape that the display
    // panel holds, one pixel to spare each way.
    void thePictureFollowsTheWindowWhenTheUserResizesIt() {
        openVideo("mpeg4.avi");
        player().Seek(7);
        const QSize around = FormVideo->size() - FormVideo->Panel1->size();
        const struct {
            QSize panel;
            double scale;
        } sizes[] = {{{641, 300}, 399.0 / 320}, {{201, 400}, 200.0 / 320}, {{321, 241}, 1.0}};
        for (const auto& [panel, scale] : sizes) {
            // xdotool counts the screen's pixels.
            const QSize client = (panel + around) * FormVideo->devicePixelRatio();
            Xdotool({"windowsize", QString::number(FormVideo->winId()), QString::number(client.width()),
                     QString::number(client.height())});
            QTRY_COMPARE(FormVideo->Panel1->size(), panel);
            QTRY_COMPARE(FrameOnScreen(FormVideo->Panel1, 16 * scale), 7);
        }
    }

    // A stream whose pictures grow halfway keeps the window the open gave it, and the larger pictures
    // are drawn scaled into it, whole.
    void picturesThatChangeSizeInTheStreamShowWhole() {
        openVideo("size_change.mkv");
        QCOMPARE(FormVideo->Panel1->size(), QSize(321, 241));
        for (const int frame : {10, 30, 45}) {
            player().Seek(frame);
            QTRY_COMPARE(FrameOnScreen(FormVideo->Panel1, frame < 25 ? 16 : 8), frame);
        }
    }

    void aSoundFileLeavesTheWindowsSize() {
        openVideo("mpeg4.avi");
        const QSize sized = FormVideo->size();
        openVideo("sound_only.wav");
        QCOMPARE(FormVideo->size(), sized);
        QVERIFY(std::abs(trackBar().Max() - 3000) < 50);
        QVERIFY(MainForm->bttMarkBeginning->isEnabled());
    }

    // A shorter video brings the thumb down to its length and seeks there; otherwise nothing moves.
    void aShorterVideoLowersTheThumb() {
        openVideo("h264_sound.mp4");
        trackBar().SetPosition(110);
        QCOMPARE(field(), QString("110"));
        openVideo("large_640x480.mkv");
        QCOMPARE(trackBar().Position(), 50);
        QCOMPARE(field(), QString("50"));
        QCOMPARE(player().Position(), 50);
        trackBar().SetPosition(20);
        openVideo("mpeg4.avi");
        QCOMPARE(trackBar().Position(), 20);
        QCOMPARE(player().Position(), 0);
    }

    void aFailedFirstOpenLeavesTheCommandsOff() {
        const auto boxes = AnswerBoxes([&] { openVideo("not_a_video.avi"); });
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY(!boxes[0].text.isEmpty());
        QVERIFY(FormVideo->isVisible());
        QCOMPARE(MainForm->edVideoFile->text().toStdString(), Media("not_a_video.avi"));
        QVERIFY(!MainForm->bttGoto->isEnabled() && !MainForm->bttMarkBeginning->isEnabled());
        QVERIFY(!MainForm->Timer1->Enabled());
        QCOMPARE(trackBar().Max(), 10);
    }

    // After a good open, a failed one closes the old video; marking and Goto then say so and change nothing.
    void aFailedOpenAfterAGoodOneLeavesNothingOpen() {
        loadLines("a\nb\n");
        openVideo("mpeg4.avi");
        const QSize sized = FormVideo->size();
        AnswerBoxes([&] { openVideo("corrupt.mp4"); });
        QCOMPARE(FormVideo->size(), sized);
        QVERIFY(MainForm->bttGoto->isEnabled());
        QCOMPARE(player().PlayState(), MPModes::mpNotReady);
        select(0);
        for (auto* button : {MainForm->bttMarkBeginning, MainForm->bttGoto}) {
            const auto boxes = AnswerBoxes([&] { QTest::mouseClick(button, Qt::LeftButton); });
            QCOMPARE(boxes.size(), std::size_t(1));
            QCOMPARE(boxes[0].text, QString("No MCI device open."));
        }
        QCOMPARE(line(0), std::string("{}{}a"));
    }

    // Frame truth where viewers see it. Three lines are timed through the main window (Goto, then Begin
    // or End), saved, and played with the video by mpv, which draws the subtitles into every picture it
    // puts out (and a second time without them). Each line must show from the picture that was on screen
    // at its Begin up to the picture before the one on screen at its End, and on no other picture.
    // Known limit of the player, not of the numbers: mpv 0.35 compares Matroska's whole-millisecond picture
    // times with n / R unrounded, so at 29.97 a picture at 400 ms does not show a line starting at
    // 12 / 29.97 = 400.4 ms; such a line starts, or ends, one picture late there.
    void savedLinesShowOnThePicturesSeenInAPlayer_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("playerRoundsLate");
        QTest::newRow("MP4, 25 fps") << "h264_sound.mp4" << false;
        QTest::newRow("AVI, 23.976 fps") << "mjpeg.avi" << false;
        QTest::newRow("MKV, 29.97 fps") << "h264_2997.mkv" << true;
        QTest::newRow("MKV, video after its sound") << "video_late.mkv" << false;
        QTest::newRow("MP4, video after its sound") << "video_late.mp4" << false;
        QTest::newRow("MKV, variable rate") << "variable_rate.mkv" << false;
        QTest::newRow("MKV, dropped pictures") << "dropped.mkv" << false;
        QTest::newRow("transport stream with a start delay") << "transport.ts" << false;
    }
    void savedLinesShowOnThePicturesSeenInAPlayer() {
        QFETCH(QString, name);
        QFETCH(bool, playerRoundsLate);
        loadLines("one\ntwo\nthree\nfour\n");
        openVideo(name.toUtf8().constData());
        const int length = player().Length();
        std::vector<std::pair<int, int>> seen; // the pictures on screen at each line's Begin and End
        const auto goTo = [&](int frame) {
            MainForm->SetFrameText(std::to_string(frame));
            MainForm->bttGotoClick();
            return onScreen();
        };
        for (int line = 0; line < 3; ++line) {
            select(line);
            const int begin = goTo(length * (10 + 25 * line) / 100);
            MainForm->bttMarkBeginningClick();
            const int end = goTo(length * (25 + 25 * line) / 100 + line);
            select(line);
            MainForm->bttMarkEndClick();
            seen.emplace_back(begin, end);
        }
        const QString saved = folder_.filePath("timed.sub");
        dialogs_.answers.push_back(saved.toStdString());
        MainForm->bttSaveClick();

        const auto play = [&](const QStringList& subtitles) {
            const QString out = folder_.filePath("played.nut");
            QProcess mpv;
            mpv.start("mpv", QStringList{"--no-config", "--really-quiet",
                                         QString::fromStdString(Media(name.toUtf8())), "--no-audio",
                                         "--o=" + out, "--of=nut", "--ovc=ffv1"} +
                                 subtitles);
            mpv.waitForFinished(60000);
            QProcess ffmpeg;
            ffmpeg.start("ffmpeg",
                         {"-loglevel", "error", "-i", out, "-f", "rawvideo", "-pix_fmt", "gray", "-"});
            ffmpeg.waitForFinished(60000);
            return ffmpeg.readAllStandardOutput();
        };
        const QByteArray with = play({"--sub-file=" + saved});
        const QByteArray without = play({"--sid=no"});
        const int width = 320, height = 240, size = width * height;
        QVERIFY(with.size() == without.size() && with.size() >= size * 10);
        int checked = 0;
        QStringList wrong;
        for (int at = 0; at + size <= with.size(); at += size) {
            const auto pixel = [&](const QByteArray& frame, int x, int y) {
                return static_cast<unsigned char>(frame[at + y * width + x]);
            };
            int picture = 0;
            for (int bit = 0; bit < 16; ++bit)
                picture |= pixel(without, bit * 16 + 8, 8) > 128 ? 1 << bit : 0;
            int changed = 0;
            for (int y = height / 2; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    changed += std::abs(pixel(with, x, y) - pixel(without, x, y)) > 40 ? 1 : 0;
            const bool shown = changed > 50;
            bool expected = false, late = false;
            for (const auto& [begin, end] : seen) {
                expected |= begin <= picture && picture < end;
                late |= picture == begin || picture == end;
            }
            if (shown != expected && !(playerRoundsLate && late))
                wrong << QString("%1 %2").arg(picture).arg(shown ? "shows a line" : "shows none");
            ++checked;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(QString("lines timed on pictures %1-%2, %3-%4, %5-%6; %7 of %8 "
                                                     "pictures wrong: %9")
                                                 .arg(seen[0].first)
                                                 .arg(seen[0].second)
                                                 .arg(seen[1].first)
                                                 .arg(seen[1].second)
                                                 .arg(seen[2].first)
                                                 .arg(seen[2].second)
                                                 .arg(wrong.size())
                                                 .arg(checked)
                                                 .arg(wrong.join(", "))));
    }

    // A video rewritten on disk while it is open: its frame index names other pictures now. The next use
    // says so once, no line gets a frame from it, and opening it again works.
    void aVideoChangedOnDiskIsNotStampedFrom() {
        loadLines("a\nb\n");
        const QString copy = folder_.filePath("changing.mp4");
        for (const bool playing : {false, true}) {
            QFile::remove(copy);
            QVERIFY(QFile::copy(QString::fromStdString(Media("h264_sound.mp4")), copy));
            dialogs_.answers.push_back(copy.toStdString());
            QTest::mouseClick(MainForm->bttVideoFile, Qt::LeftButton);
            player().Seek(50);
            if (playing)
                player().Play();
            QFile::remove(copy);
            QVERIFY(QFile::copy(QString::fromStdString(Media("h264_2997.mkv")), copy));
            select(0);
            const auto boxes = AnswerBoxes([&] {
                if (playing)
                    QTest::qWait(400); // the position timer finds it first
                QTest::mouseClick(MainForm->bttMarkBeginning, Qt::LeftButton);
            });
            QVERIFY(!boxes.empty());
            QCOMPARE(boxes[0].text,
                     QString("The video file has changed since it was opened; open it again."));
            for (std::size_t i = 1; i < boxes.size(); ++i)
                QCOMPARE(boxes[i].text, QString("No MCI device open."));
            QCOMPARE(line(0), std::string("{}{}a"));
            QCOMPARE(player().PlayState(), MPModes::mpNotReady);
        }
        dialogs_.answers.push_back(copy.toStdString());
        QTest::mouseClick(MainForm->bttVideoFile, Qt::LeftButton);
        player().Seek(20);
        QCOMPARE(onScreen(), 20);
        QCOMPARE(player().Length(), 120);
    }

    void cancellingTheDialogChangesNothing() {
        openVideo("h264_sound.mp4");
        player().Play();
        dialogs_.answers.push_back(std::nullopt);
        QTest::mouseClick(MainForm->bttVideoFile, Qt::LeftButton);
        QCOMPARE(player().PlayState(), MPModes::mpPlaying);
        QCOMPARE(MainForm->edVideoFile->text().toStdString(), Media("h264_sound.mp4"));
    }

    // The frame stamped into a line is the frame on screen.
    void markingStampsTheFrameOnScreen() {
        loadLines("one\ntwo\nthree\n");
        openVideo("h264_2997.mkv");
        select(0);
        typeFrame("37");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(onScreen(), 37);
        QTest::mouseClick(MainForm->bttMarkBeginning, Qt::LeftButton);
        trackBar().SetPosition(52);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 52, 500);
        QTest::mouseClick(MainForm->bttMarkNext, Qt::LeftButton);
        trackBar().SetPosition(90);
        QTest::mouseClick(MainForm->bttMarkEnd, Qt::LeftButton);
        QCOMPARE(MainForm->Script().Lines(), (Script{"{37}{52}one", "{52}{90}two", "{}{}three"}));
    }

    // While playing, a tick writes the frame, and Begin stamps the frame on screen at that moment. The
    // video goes on playing while the check runs, so the bound is an order in time: the position read
    // before the press <= the frame stamped <= the picture grabbed right after <= the position read last.
    void playbackIsFollowedAndMarkedAsSeen() {
        loadLines("{}{}one\n{}{}two\n");
        openVideo("h264_sound.mp4");
        select(0);
        player().Play();
        QTRY_VERIFY_WITH_TIMEOUT(field() != "1", 1000);
        const int shownInField = field().toInt();
        QVERIFY(shownInField > 0 && shownInField < 40);
        QTRY_COMPARE_WITH_TIMEOUT(trackBar().Position() > 0, true, 1000);
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(170);
            // A press that falls within the few milliseconds in which the screen and the player's clock
            // take a picture change apart is made again 8 ms later.
            int before = 0, stamped = 0, seen = 0, after = 0;
            for (int attempt = 0; attempt < 2; ++attempt) {
                select(0);
                before = player().Position();
                MainForm->bttMarkBeginningClick();
                seen = onScreen();
                after = player().Position();
                stamped = std::stoi(line(0).substr(1));
                if (before <= stamped && stamped <= seen && seen <= after)
                    break;
                QTest::qWait(8);
            }
            QVERIFY2(before <= stamped && stamped <= seen && seen <= after,
                     qPrintable(QString("before %1 stamped %2 seen %3").arg(before).arg(stamped).arg(seen)));
        }
        // Typed text is overwritten at the next tick that changes the number.
        typeFrame("abc");
        QTRY_VERIFY_WITH_TIMEOUT(field() != "abc", 1000);
    }

    // Alt+B as a user's key arrives, through the X server and the shortcut map, while the video plays:
    // the stamp is the picture on screen between the key's arrival and the end of its handling. The two
    // screen readings bound it, each taking a few milliseconds of its own, which is the test's tolerance.
    void beginByKeyboardDuringPlaybackStampsThePictureOnScreen() {
        loadLines("{}{}one\n{}{}two\n{}{}three\n");
        openVideo("h264_sound.mp4");
        player().Play();
        QTest::qWait(300);
        struct KeyWatch : QObject {
            int before = -1, after = -1;
            bool eventFilter(QObject*, QEvent* event) override {
                // The shortcut map asks the focused control first: the key's first sign in the program.
                if (event->type() == QEvent::ShortcutOverride && before < 0 &&
                    static_cast<QKeyEvent*>(event)->key() == Qt::Key_B) {
                    before = FrameOnScreen(FormVideo->Panel1);
                    QTimer::singleShot(0, [this] { after = FrameOnScreen(FormVideo->Panel1); });
                }
                return false;
            }
        };
        for (int trial = 0; trial < 4; ++trial) {
            select(0);
            KeyWatch watch;
            qApp->installEventFilter(&watch);
            Xdotool({"key", "alt+b"});
            QTRY_VERIFY(watch.after >= 0);
            qApp->removeEventFilter(&watch);
            const int stamped = std::stoi(line(0).substr(1));
            QVERIFY2(watch.before <= stamped && stamped <= watch.after,
                     qPrintable(QString("on screen %1 at the key, %2 after it; stamped %3")
                                    .arg(watch.before)
                                    .arg(watch.after)
                                    .arg(stamped)));
            QTest::qWait(150);
        }
        // A Down right after Alt+B, in the list, moves on only after the stamp.
        MainForm->lbTxt->setFocus();
        select(0);
        Xdotool({"key", "alt+b", "Down", "alt+b"});
        QTRY_VERIFY(line(1).front() == '{' && line(1)[1] != '}');
        QVERIFY(std::stoi(line(1).substr(1)) >= std::stoi(line(0).substr(1)));
        QCOMPARE(line(2), std::string("{}{}three"));
    }

    void gotoWhenNotPlaying() {
        openVideo("h264_2997.mkv");
        trackBar().SetPosition(10);
        typeFrame("50");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(player().Position(), 50);
        QCOMPARE(trackBar().Position(), 50);
        QCOMPARE(field(), QString("50"));
        QCOMPARE(onScreen(), 50);
        // With the thumb already there the field keeps what was typed.
        typeFrame(" 50");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(field(), QString(" 50"));
        QCOMPARE(player().Position(), 50);
    }

    void gotoOutsideTheVideoIsClamped() {
        openVideo("h264_2997.mkv");
        trackBar().SetPosition(100);
        typeFrame("-5");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(trackBar().Position(), 0);
        QCOMPARE(field(), QString("0"));
        QCOMPARE(onScreen(), 0);
        typeFrame("5000");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(trackBar().Position(), 120);
        QCOMPARE(field(), QString("120"));
        QCOMPARE(onScreen(), 119);
    }

    void gotoWhilePlayingPlaysOnFromTheTarget() {
        openVideo("h264_sound.mp4");
        trackBar().SetPosition(5);
        player().Play();
        typeFrame("80");
        MainForm->bttGotoClick();
        QCOMPARE(player().PlayState(), MPModes::mpPlaying);
        QVERIFY(player().Position() >= 79 && player().Position() < 90);
        QCOMPARE(trackBar().Position(), 5);
    }

    // The field's check runs when a click moves the focus, not when Alt+G presses Goto.
    void gotoByClickChecksTheFieldAndByAcceleratorDoesNot() {
        openVideo("h264_2997.mkv");
        trackBar().SetPosition(30);
        typeFrame("abc");
        QTest::keyClick(MainForm->edFrameNumber, Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(player().Position(), 0);
        QCOMPARE(QApplication::focusWidget(), MainForm->edFrameNumber);
        trackBar().SetPosition(30);
        typeFrame("abc");
        QTest::mouseClick(MainForm->bttGoto, Qt::LeftButton);
        QCOMPARE(player().Position(), 1);
        QCOMPARE(field(), QString("1"));
    }

    void leavingTheFrameFieldPutsOneInPlaceOfWhatIsNoNumber() {
        const std::pair<QString, QString> cases[] = {
            {"", "1"},      {"abc", "1"}, {"12abc", "1"}, {"99999999999", "1"},
            {" 12", " 12"}, {"-3", "-3"}, {"$10", "$10"},
        };
        for (const auto& [typed, after] : cases) {
            MainForm->edFrameNumber->setFocus();
            MainForm->edFrameNumber->setText(typed);
            QTest::keyClick(MainForm->edFrameNumber, Qt::Key_Tab);
            QCOMPARE(field(), after);
        }
    }

    void doubleClickGoesToTheLinesStart() {
        loadLines("{40}{}Hello\n{ 60}{}x\n{}{}Hello\n{abc}{}x\n{12a}{}x\n");
        openVideo("h264_2997.mkv");
        trackBar().SetPosition(5);
        select(0);
        MainForm->lbTxtDblClick();
        QCOMPARE(player().Position(), 40);
        QCOMPARE(trackBar().Position(), 40);
        QCOMPARE(field(), QString("40"));
        QCOMPARE(onScreen(), 40);
        select(1);
        MainForm->lbTxtDblClick();
        QCOMPARE(player().Position(), 60);
        for (int quiet : {2, 3, 4}) {
            select(quiet);
            const auto boxes = AnswerBoxes([&] { MainForm->lbTxtDblClick(); });
            QVERIFY(boxes.empty());
            QCOMPARE(player().Position(), 60);
        }
        // While playing the thumb moves at once and the video plays on.
        player().Play();
        select(0);
        MainForm->lbTxtDblClick();
        QCOMPARE(player().PlayState(), MPModes::mpPlaying);
        QCOMPARE(trackBar().Position(), 40);
    }

    // The handler blocks while the user reads its message; the channel's auto-repeat must not fire
    // meanwhile.
    void oneClickInTheTrackBarsChannelStepsOnceAndShowsOneMessage() {
        FormVideo->show();
        QVERIFY(QTest::qWaitForWindowExposed(FormVideo));
        QTest::qWait(100);
        std::vector<QString> boxes;
        QTimer slowReader;
        slowReader.setInterval(800);
        QObject::connect(&slowReader, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back(box->text());
                box->button(QMessageBox::Ok)->click();
            }
        });
        slowReader.start();
        QStyleOptionSlider option;
        option.initFrom(&trackBar());
        option.orientation = Qt::Horizontal;
        option.maximum = trackBar().Max();
        option.tickPosition = trackBar().tickPosition();
        const QRect groove = trackBar().style()->subControlRect(QStyle::CC_Slider, &option,
                                                                QStyle::SC_SliderGroove, &trackBar());
        const QPoint channel = trackBar().mapToGlobal(QPoint(groove.right() - 20, groove.center().y()));
        ClickAt(channel);
        QTest::qWait(2000);
        QCOMPARE(boxes, std::vector<QString>{"No MCI device open."});
        QCOMPARE(trackBar().Position(), 2);
    }

    // After a real click on Step, Space presses Step again: the keyboard goes on from the button pressed.
    void theBarsFocusFollowsTheButtonLastClicked() {
        openVideo("mpeg4.avi");
        auto* bar = player().findChild<ButtonBar*>();
        bar->setFocus();
        Xdotool({"key", "Left"}); // any button but Step has the keyboard's mark
        ClickAt(bar->mapToGlobal(bar->ButtonRect(MPBtnType::btStep).center()));
        QTRY_COMPARE(player().Position(), 10);
        QTRY_VERIFY(bar->hasFocus());
        Xdotool({"key", "space"});
        QTRY_COMPARE(player().Position(), 20);
        QCOMPARE(onScreen(), 20);
    }

    void doubleClickDoesNothingBeforeAVideoWasChosen() {
        loadLines("{40}{}Hello\n");
        select(0);
        const auto boxes = AnswerBoxes([&] { MainForm->lbTxtDblClick(); });
        QVERIFY(boxes.empty());
        MainForm->lbTxt->clearSelection();
        MainForm->lbTxtDblClick();
        QCOMPARE(field(), QString("1"));
    }
};

int main(int argc, char** argv) {
    framequill::Application application(argc, argv);
    VideoCommandTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "VideoCommandTest.moc"
