#include "PlayerFixture.h"

#include "playback/ButtonBar.h"
#include "playback/FrameIndex.h"
#include "playback/MediaPlayer.h"
#include "playback/TrackBar.h"
#include "playback/Videoform.h"

#include <QFrame>
#include <QTcpServer>
#include <QTest>

#include <clocale>
#include <fstream>
#include <memory>
#include <random>

using namespace framequill;
using namespace framequill::testing;

class PlayerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFormVideo> window_;
    std::string frameText_;
    MediaPlayer* player() { return window_->MediaPlayer1; }
    ButtonBar* bar() { return window_->MediaPlayer1->findChild<ButtonBar*>(); }
    int onScreen() { return FrameOnScreen(window_->Panel1); }

    void clickButton(MPBtnType button) {
        QTest::mouseClick(bar(), Qt::LeftButton, {}, bar()->ButtonRect(button).center());
    }
    QString greying() {
        QString states;
        for (int b = 0; b < ButtonBar::kButtonCount; ++b)
            states += bar()->IsButtonEnabled(static_cast<MPBtnType>(b)) ? '1' : '0';
        return states;
    }
    void open(const std::string& path) {
        player()->SetFileName(path);
        player()->Open();
        if (const auto picture = player()->PictureRect())
            window_->resize(picture->Right + 20, picture->Bottom + 100);
        QTest::qWait(30);
    }

private slots:
    void initTestCase() {
        std::setlocale(LC_NUMERIC, "C");
        MediaFolder();
    }

    void init() {
        window_ = std::make_unique<TFormVideo>([this](const std::string& text) { frameText_ = text; });
        FormVideo = window_.get();
        window_->move(50, 50);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        window_.reset();
        FormVideo = nullptr;
    }

    void seeksShowTheRequestedPicture_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pictures");
        QTest::newRow("MPEG-4 Part 2 AVI, 25 fps") << "mpeg4.avi" << 100;
        QTest::newRow("MJPEG AVI, 23.976 fps") << "mjpeg.avi" << 96;
        QTest::newRow("MPEG-2 program stream, 29.97 fps, B-frames") << "mpeg2.mpg" << 120;
        QTest::newRow("H.264 MP4 with sound, 25 fps, long GOP") << "h264_sound.mp4" << 125;
        QTest::newRow("H.264 MKV, 29.97 fps, B-frames") << "h264_2997.mkv" << 120;
        QTest::newRow("MP4 whose sound outlasts the video") << "audio_longer.mp4" << 100;
        QTest::newRow("H.264 transport stream") << "transport.ts" << 100;
    }

    // In a video that starts at the file's start and keeps one rate, frame n is the n-th picture: the
    // frame the player reports is the picture the user sees, wherever the seek lands.
    void seeksShowTheRequestedPicture() {
        QFETCH(QString, file);
        QFETCH(int, pictures);
        open(Media(file.toUtf8().constData()));
        QCOMPARE(player()->Length(), pictures);
        QCOMPARE(player()->Position(), 0);
        QCOMPARE(onScreen(), 0);

        std::mt19937 random(7);
        std::vector<int> targets{pictures - 1, 1, pictures / 2, 0, pictures - 2};
        for (int i = 0; i < 6; ++i)
            targets.push_back(std::uniform_int_distribution<int>(0, pictures - 1)(random));
        for (const int target : targets) {
            player()->Seek(target);
            QCOMPARE(player()->Position(), target);
            QTRY_COMPARE_WITH_TIMEOUT(onScreen(), target, 500);
            QCOMPARE(player()->PlayState(), MPModes::mpStopped);
        }
    }

    // A video whose pictures start 0.566 s after the file (0.54 s, and the encoder's own delay), at 25 a
    // second: players show frame n (n / 25 s) on the first picture at or after it, 0.566 + 0.04 i s, so
    // frames 0 to 14 show picture 0 and frame n from 15 on shows picture n - 14.
    void aLateVideoCountsFromTheFilesStart() {
        open(Media("video_late.mkv"));
        QCOMPARE(player()->Length(), 113 + 14 + 1);
        for (const int frame : {0, 5, 14, 15, 16, 60, 127, 100, 1}) {
            player()->Seek(frame);
            const int picture = std::max(0, frame - 14);
            QTRY_COMPARE_WITH_TIMEOUT(onScreen(), picture, 500);
            QCOMPARE(player()->Position(), picture == 0 ? 0 : picture + 14);
        }
    }

    void playingReportsThePictureOnScreen_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("H.264 MP4") << "h264_sound.mp4";
        QTest::newRow("MPEG-2 program stream") << "mpeg2.mpg";
        QTest::newRow("sound that stops halfway") << "sound_shorter.mkv";
    }

    // While playing, the picture read from the screen lies between the positions read just before and
    // just after the grab: the video may advance while the grab runs, never go back or run ahead. The
    // screen and the player's clock take a picture change a few milliseconds apart, so a sample that
    // falls into that gap is taken again 8 ms later, when the change is over on both sides; only a
    // disagreement that lasts fails.
    void playingReportsThePictureOnScreen() {
        QFETCH(QString, file);
        open(Media(file.toUtf8().constData()));
        player()->Play();
        QCOMPARE(player()->PlayState(), MPModes::mpPlaying);
        int samples = 0;
        for (int i = 0; i < 28 && player()->PlayState() == MPModes::mpPlaying; ++i) {
            QTest::qWait(120);
            int before = 0, seen = 0, after = 0;
            for (int attempt = 0; attempt < 2; ++attempt) {
                before = player()->Position();
                seen = onScreen();
                after = player()->Position();
                if (before <= seen && seen <= after)
                    break;
                QTest::qWait(8);
            }
            if (after >= player()->Length())
                break;
            QVERIFY2(
                before <= seen && seen <= after,
                qPrintable(QString("before %1, on screen %2, after %3").arg(before).arg(seen).arg(after)));
            ++samples;
        }
        QVERIFY(samples >= 5);
    }

    void seekToTheLengthGoesToTheEndAndPlayRewinds() {
        open(Media("h264_sound.mp4"));
        player()->Seek(player()->Length());
        QCOMPARE(player()->Position(), 125);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 124, 500);
        player()->Play();
        QCOMPARE(player()->PlayState(), MPModes::mpPlaying);
        QVERIFY(player()->Position() < 10);
    }

    void targetsOutsideTheVideoAreClamped() {
        open(Media("mpeg4.avi"));
        player()->Seek(-5);
        QCOMPARE(player()->Position(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 0, 500);
        player()->Seek(100000);
        QCOMPARE(player()->Position(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 99, 500);
    }

    void playingToTheEndStopsAndUngreysPlay() {
        open(Media("large_640x480.mkv"));
        player()->Seek(40);
        clickButton(MPBtnType::btPlay);
        QCOMPARE(greying(), QString("0111111"));
        QTRY_COMPARE_WITH_TIMEOUT(player()->PlayState(), MPModes::mpStopped, 5000);
        QCOMPARE(player()->Position(), 50);
        QTRY_COMPARE_WITH_TIMEOUT(greying(), QString("1001111"), 2000);
    }

    void buttonBarGreysByState() {
        QCOMPARE(greying(), QString("0000000"));
        clickButton(MPBtnType::btPlay);
        QCOMPARE(greying(), QString("0000000"));
        open(Media("h264_sound.mp4"));
        QCOMPARE(greying(), QString("1001111"));
        clickButton(MPBtnType::btPlay);
        QCOMPARE(greying(), QString("0111111"));
        QCOMPARE(player()->PlayState(), MPModes::mpPlaying);
        clickButton(MPBtnType::btPause);
        QCOMPARE(player()->PlayState(), MPModes::mpPaused);
        QCOMPARE(greying(), QString("1111111"));
        clickButton(MPBtnType::btPause);
        QCOMPARE(player()->PlayState(), MPModes::mpPlaying);
        clickButton(MPBtnType::btStop);
        QCOMPARE(player()->PlayState(), MPModes::mpStopped);
        QCOMPARE(greying(), QString("1001111"));
        clickButton(MPBtnType::btNext);
        QCOMPARE(player()->Position(), 125);
        clickButton(MPBtnType::btPrev);
        QCOMPARE(player()->Position(), 0);
        player()->Close();
        QCOMPARE(greying(), QString("0000000"));
    }

    // From the keyboard, Space presses the focused button even when it is greyed.
    void keyboardPressesTheFocusedButtonEvenWhenGreyed() {
        open(Media("h264_sound.mp4"));
        bar()->setFocus();
        QTest::keyClick(bar(), Qt::Key_Right);
        QTest::keyClick(bar(), Qt::Key_Right);
        QVERIFY(!bar()->IsButtonEnabled(MPBtnType::btStop));
        player()->Play();
        QTest::keyClick(bar(), Qt::Key_Space);
        QCOMPARE(player()->PlayState(), MPModes::mpStopped);
        player()->Seek(0);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(bar(), Qt::Key_Right);
        QTest::keyClick(bar(), Qt::Key_Left);
        QTest::keyClick(bar(), Qt::Key_Space);
        QCOMPARE(player()->Position(), 12);
    }

    // The track bar and the frame field show the position from before each step: one press behind.
    void stepAndBackShowThePositionBeforeThePress() {
        open(Media("mpeg4.avi"));
        window_->TrackBar1->SetMax(player()->Length());
        player()->Seek(30);
        clickButton(MPBtnType::btStep);
        QCOMPARE(frameText_, std::string("30"));
        QCOMPARE(window_->TrackBar1->Position(), 30);
        QCOMPARE(player()->Position(), 40);
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 40, 500);
        clickButton(MPBtnType::btStep);
        QCOMPARE(frameText_, std::string("40"));
        QCOMPARE(player()->Position(), 50);
        clickButton(MPBtnType::btBack);
        QCOMPARE(frameText_, std::string("50"));
        QCOMPARE(player()->Position(), 40);
        player()->Seek(100);
        clickButton(MPBtnType::btStep);
        QCOMPARE(frameText_, std::string("100"));
        QCOMPARE(player()->Position(), 10);
    }

    void aFileThatCannotBeOpenedLeavesNothingOpen_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("cut off") << "corrupt.mp4"
                                 << "";
        QTest::newRow("text") << "not_a_video.avi"
                              << "";
        QTest::newRow("missing") << "no_such_file.avi"
                                 << "Cannot open file ";
        QTest::newRow("folder") << "."
                                << "Cannot open file ";
    }

    void aFileThatCannotBeOpenedLeavesNothingOpen() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        open(Media("mpeg4.avi"));
        player()->SetFileName(Media(file.toUtf8().constData()));
        try {
            player()->Open();
            QFAIL("opened");
        } catch (const EMCIDeviceError& error) {
            QVERIFY2(std::string(error.what()).size() > 3, error.what());
            QVERIFY(QString(error.what()).startsWith(message));
        }
        QCOMPARE(player()->FileName(), Media(file.toUtf8().constData()));
        QCOMPARE(player()->PlayState(), MPModes::mpNotReady);
        QCOMPARE(greying(), QString("0000000"));
        for (auto operation : std::initializer_list<std::function<void()>>{
                 [&] { player()->Position(); }, [&] { player()->Seek(3); }, [&] { player()->Play(); },
                 [&] {
                     player()->Length();
                 }}) {
            try {
                operation();
                QFAIL("worked with nothing open");
            } catch (const EMCIDeviceError& error) {
                QCOMPARE(QString(error.what()), QString("No MCI device open"));
            }
        }
        open(Media("mjpeg.avi"));
        QCOMPARE(player()->Length(), 96);
    }

    void aSoundFileHasNoPictureAndCountsMilliseconds() {
        open(Media("sound_only.wav"));
        QVERIFY(!player()->PictureRect());
        QVERIFY(std::abs(player()->Length() - 3000) < 50);
        QCOMPARE(greying(), QString("1001100"));
        player()->Seek(1500);
        QVERIFY(std::abs(player()->Position() - 1500) < 30);
    }

    // Reading the frames of a long file can be stopped; the open then fails and says why.
    void cancellingTheFrameReadingFailsTheOpen() {
        try {
            FrameIndex::Read(Media("h264_sound.mp4"), [](std::int64_t, std::int64_t) { return false; });
            QFAIL("read all frames although cancelled");
        } catch (const Error& error) {
            QCOMPARE(QString(error.what()), QString("Reading the video's frames was cancelled"));
        }
        QCOMPARE(FrameIndex::Read(Media("h264_sound.mp4"), {}).Count(), std::size_t(125));
        QVERIFY(FrameIndex::Read(Media("sound_only.wav"), {}).Empty());
    }

    void pictureRectIsTheVideosSize() {
        open(Media("large_640x480.mkv"));
        const auto picture = player()->PictureRect();
        QVERIFY(picture);
        QCOMPARE(picture->Left, 0);
        QCOMPARE(picture->Top, 0);
        QCOMPARE(picture->Right, 640);
        QCOMPARE(picture->Bottom, 480);
    }

    // A playlist that names an address and another file: nothing is fetched and nothing else plays.
    void aPlaylistOpensNothingElse() {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        const std::string playlist = QDir(MediaFolder()).filePath("list.m3u").toStdString();
        std::ofstream(playlist) << "#EXTM3U\nhttp://127.0.0.1:" << listener.serverPort() << "/video.mp4\n"
                                << Media("mpeg4.avi") << "\n";
        player()->SetFileName(playlist);
        QVERIFY_THROWS_EXCEPTION(EMCIDeviceError, player()->Open());
        QTest::qWait(500);
        QVERIFY(!listener.hasPendingConnections());
        QCOMPARE(player()->PlayState(), MPModes::mpNotReady);
    }

    void trackBarRunsItsChangeEventOnlyOnARealChangeFromCode() {
        TrackBar& bar = *window_->TrackBar1;
        std::vector<int> changes;
        bar.SetOnChange([&] { changes.push_back(bar.Position()); });
        bar.SetPosition(5);
        bar.SetPosition(5);
        bar.SetPosition(50);
        bar.SetPosition(-3);
        bar.SetMax(-1);
        bar.SetMax(4);
        bar.SetMax(4);
        QCOMPARE(changes, (std::vector<int>{5, 10, 0}));
        bar.SetPosition(4);
        QCOMPARE(bar.Max(), 4);
        changes.clear();
        // A key at the end still notifies, although the position cannot move.
        bar.setFocus();
        QTest::keyClick(&bar, Qt::Key_Right);
        QTest::keyClick(&bar, Qt::Key_Left);
        QTest::keyClick(&bar, Qt::Key_PageDown);
        QCOMPARE(changes, (std::vector<int>{4, 3, 1}));
        bar.SetFrequency(0);
        QCOMPARE(bar.tickPosition(), QSlider::NoTicks);
    }

    void trackBarSeeksAVideoThatIsNotPlaying() {
        open(Media("h264_2997.mkv"));
        window_->TrackBar1->SetMax(player()->Length());
        window_->TrackBar1->SetPosition(77);
        QCOMPARE(player()->Position(), 77);
        QCOMPARE(frameText_, std::string("77"));
        QTRY_COMPARE_WITH_TIMEOUT(onScreen(), 77, 500);
        player()->Play();
        window_->TrackBar1->SetPosition(10);
        QCOMPARE(player()->PlayState(), MPModes::mpPlaying);
        QVERIFY(player()->Position() >= 77);
    }

    void theWindowCannotBeClosed() {
        window_->close();
        QVERIFY(window_->isVisible());
    }
};

QTEST_MAIN(PlayerTest)
#include "PlayerTest.moc"
