#include "AppFixture.h"

#include "app/Application.h"
#include "app/ErrorDisplay.h"
#include "app/IntervalTimer.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <sys/resource.h>

using namespace framequill;
using namespace framequill::testing;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QRect InnerGeometry(QWidget* control) {
    return control->geometry().translated(-4, -4);
}

} // namespace

// The splash runs in a nested event loop; a timer watches the windows from inside it.
struct StartWatch {
    QElapsedTimer clock;
    qint64 aboutShown = -1, aboutGone = -1, videoShown = -1;
    bool videoWhileSplash = false, splashWasModal = false;
    QTimer poll;
    StartWatch() {
        clock.start();
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            const bool about = FormAbout && FormAbout->isVisible();
            const bool video = FormVideo && FormVideo->isVisible();
            if (about && aboutShown < 0) {
                aboutShown = clock.elapsed();
                splashWasModal = QApplication::activeModalWidget() == FormAbout;
            }
            if (!about && aboutShown >= 0 && aboutGone < 0)
                aboutGone = clock.elapsed();
            if (video && videoShown < 0)
                videoShown = clock.elapsed();
            videoWhileSplash |= about && video;
        });
        poll.start();
    }
};

// Records the addresses that the about window asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Program> program_;
    ScriptedDialogs dialogs_;
    QTemporaryDir folder_;

    std::string path(const char* name) const { return folder_.filePath(name).toStdString(); }

    // The program as the user finds it once the splash is over.
    void startWithoutSplash() {
        program_ = std::make_unique<Program>();
        FirstActivation = false;
        MainForm->SetDialogRunner(dialogs_.Runner());
        program_->Show();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
    }

    void load(const std::string& file) {
        dialogs_.answers.push_back(file);
        QTest::mouseClick(MainForm->bttTxtFile, Qt::LeftButton);
    }

private slots:
    void init() { dialogs_ = {}; }
    void cleanup() { program_.reset(); }

    void startUpShowsTheSplashThenTheVideoWindowDocked() {
        program_ = std::make_unique<Program>();
        QVERIFY(!MainForm->isVisible() && !FormVideo->isVisible() && !FormAbout->isVisible());
        StartWatch watch;
        program_->Show();
        // The splash stays until its timer ends it, however long that takes here.
        QTRY_VERIFY_WITH_TIMEOUT(FormVideo->isVisible(), 30000);
        QTRY_VERIFY(watch.aboutGone >= 0);
        QVERIFY(watch.aboutShown >= 0);
        QVERIFY(watch.splashWasModal);
        QVERIFY(!watch.videoWhileSplash);
        QVERIFY2(watch.aboutGone - watch.aboutShown >= 1900,
                 qPrintable(QString::number(watch.aboutGone - watch.aboutShown)));
        QVERIFY(!FirstActivation);

        const QRect main = MainForm->frameGeometry();
        QTRY_COMPARE(FormVideo->frameGeometry().topLeft(), QPoint(main.left() + main.width(), main.top()));
        // Centred on the desktop, by its outer size.
        const QRect desktop = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(std::abs(main.center().x() - desktop.center().x()) <= 8);
        QVERIFY(std::abs(main.center().y() - desktop.center().y()) <= 20);

        // Going to the video window and back shows no second splash.
        FormVideo->activateWindow();
        QTRY_VERIFY(FormVideo->isActiveWindow());
        MainForm->activateWindow();
        QTRY_VERIFY(MainForm->isActiveWindow());
        QTest::qWait(100);
        QVERIFY(!FormAbout->isVisible());
    }

    void clickingTheSplashPictureEndsItAtOnce() {
        program_ = std::make_unique<Program>();
        StartWatch watch;
        QTimer click;
        QObject::connect(&click, &QTimer::timeout, [&] {
            if (FormAbout->isVisible()) {
                QTest::mouseClick(FormAbout->Image1, Qt::LeftButton, {}, QPoint(150, 150));
                click.stop();
            }
        });
        click.start(50);
        program_->Show();
        QTRY_VERIFY(FormVideo->isVisible());
        QTRY_VERIFY(watch.aboutGone >= 0);
        QVERIFY2(watch.aboutGone - watch.aboutShown < 1000,
                 qPrintable(QString::number(watch.aboutGone - watch.aboutShown)));
    }

    void controlsStartWhereDesignedAndFollowTheirAnchors() {
        startWithoutSplash();
        struct Place {
            QWidget* control;
            QRect start;
            int growsRight; // 1 when its right side follows the window's width, 0 when it stays
            int movesRight; // 1 when it moves with the right edge
            int growsDown;
            int movesDown;
        };
        const Place places[] = {
            {MainForm->edTxtFile, {104, 2, 209, 21}, 1, 0, 0, 0},
            {MainForm->lbTxt, {0, 64, 385, 341}, 1, 0, 1, 0},
            {MainForm->edVideoFile, {104, 34, 281, 21}, 1, 0, 0, 0},
            {MainForm->edFrameNumber, {0, 414, 89, 21}, 0, 0, 0, 1},
            {MainForm->bttTxtFile, {0, 0, 97, 25}, 0, 0, 0, 0},
            {MainForm->bttVideoFile, {0, 32, 97, 25}, 0, 0, 0, 0},
            {MainForm->bttGoto, {96, 412, 57, 25}, 0, 0, 0, 1},
            {MainForm->bttMarkNext, {248, 412, 65, 25}, 0, 1, 0, 1},
            {MainForm->bttSave, {320, 0, 67, 25}, 0, 1, 0, 0},
            {MainForm->bttMarkEnd, {320, 412, 65, 25}, 0, 1, 0, 1},
            {MainForm->bttMarkBeginning, {176, 412, 65, 25}, 0, 1, 0, 1},
        };
        QCOMPARE(MainForm->size(), QSize(395, 445));
        for (const auto& place : places)
            QCOMPARE(InnerGeometry(place.control), place.start);

        for (const QSize change : {QSize(100, 50), QSize(30, -200)}) {
            MainForm->resize(QSize(395, 445) + change);
            QTRY_COMPARE(MainForm->size(), QSize(395, 445) + change);
            for (const auto& place : places) {
                const QRect expected(place.start.x() + place.movesRight * change.width(),
                                     place.start.y() + place.movesDown * change.height(),
                                     place.start.width() + place.growsRight * change.width(),
                                     place.start.height() + place.growsDown * change.height());
                QCOMPARE(InnerGeometry(place.control), expected);
            }
        }
        // Never narrower than it starts, never lower than 200 pixels with its frame.
        QCOMPARE(MainForm->minimumWidth(), 395);
        QCOMPARE(MainForm->minimumHeight() + MainForm->frameGeometry().height() - MainForm->height(), 200);
    }

    void tabGoesThroughTheControlsInTheirOrderSkippingDisabledOnes() {
        startWithoutSplash();
        QTRY_COMPARE(QApplication::focusWidget(), MainForm->edTxtFile);
        const QWidget* expected[] = {MainForm->lbTxt,      MainForm->edVideoFile,  MainForm->edFrameNumber,
                                     MainForm->bttTxtFile, MainForm->bttVideoFile, MainForm->bttSave,
                                     MainForm->edTxtFile};
        for (const QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void acceleratorsClickEnabledButtonsOnly() {
        startWithoutSplash();
        dialogs_.answers = {std::nullopt, std::nullopt, std::nullopt};
        QTest::keyClick(MainForm, Qt::Key_T, Qt::AltModifier);
        QTRY_COMPARE(dialogs_.requests.size(), std::size_t(1));
        QCOMPARE(dialogs_.requests.back().filter, std::string("Text files (*.txt, *.sub)|*.TXT;*.SUB;"));
        QTest::keyClick(MainForm, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(dialogs_.requests.size(), std::size_t(2));
        QCOMPARE(dialogs_.requests.back().filter, std::string("Video files (*.avi, *.mpg)|*.AVI;*.MPG;"));
        QTest::keyClick(MainForm, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(dialogs_.requests.size(), std::size_t(3));
        QVERIFY(dialogs_.requests.back().save);
        QCOMPARE(dialogs_.requests.back().fileName, std::string(".sub"));
        for (const auto key : {Qt::Key_G, Qt::Key_B, Qt::Key_N, Qt::Key_E}) {
            QTest::keyClick(MainForm, key, Qt::AltModifier);
            QTest::qWait(150);
        }
        QCOMPARE(dialogs_.requests.size(), std::size_t(3));
        QVERIFY(!MainForm->bttGoto->isEnabled() && !MainForm->bttMarkBeginning->isEnabled());
    }

    void loadingNormalisesAndSavingWritesCrLfUnderTheProposedName() {
        startWithoutSplash();
        const std::string text = path("movie.txt");
        std::ofstream(text, std::ios::binary) << "Hello\r\n{10}{20}World\n\n {x\rlast";
        load(text);
        QCOMPARE(MainForm->edTxtFile->text().toStdString(), text);
        QCOMPARE(MainForm->Script().Lines(),
                 (Script{"{}{}Hello", "{10}{20}World", "{}{}", "{}{} {x", "{}{}last"}));
        QVERIFY(!MainForm->lbTxt->selectionModel()->hasSelection());

        const std::string saved = path("elsewhere.sub");
        dialogs_.answers.push_back(saved);
        QTest::mouseClick(MainForm->bttSave, Qt::LeftButton);
        QCOMPARE(dialogs_.requests.back().fileName, text + ".sub");
        QCOMPARE(ReadFile(saved),
                 std::string("{}{}Hello\r\n{10}{20}World\r\n{}{}\r\n{}{} {x\r\n{}{}last\r\n"));

        // The proposal stays with the loaded file, not the name saved under; a cancelled save writes nothing.
        dialogs_.answers.push_back(std::nullopt);
        QTest::mouseClick(MainForm->bttSave, Qt::LeftButton);
        QCOMPARE(dialogs_.requests.back().fileName, text + ".sub");
        // The open dialog starts with the name chosen last.
        dialogs_.answers.push_back(std::nullopt);
        QTest::mouseClick(MainForm->bttTxtFile, Qt::LeftButton);
        QCOMPARE(dialogs_.requests.back().fileName, text);
        QCOMPARE(MainForm->Script().Lines().size(), std::size_t(5));
    }

    void aFailedLoadKeepsTheLinesAndShowsTheError() {
        startWithoutSplash();
        const std::string good = path("good.txt");
        std::ofstream(good) << "one\ntwo\n";
        load(good);
        const std::string missing = path("missing.txt");
        const auto boxes = AnswerBoxes([&] { load(missing); });
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].title, QString("Framequill"));
        QCOMPARE(boxes[0].text, QString::fromStdString("Cannot open file " + missing + "."));
        QCOMPARE(boxes[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes[0].buttonCount, 1);
        QCOMPARE(MainForm->edTxtFile->text().toStdString(), missing);
        QCOMPARE(MainForm->Script().Lines(), (Script{"{}{}one", "{}{}two"}));
        // The program carries on: the next load works.
        load(good);
        QCOMPARE(MainForm->edTxtFile->text().toStdString(), good);
    }

    void aFailedSaveShowsTheErrorAndLeavesTheOldFile() {
        startWithoutSplash();
        const std::string folderTarget = folder_.path().toStdString();
        dialogs_.answers.push_back(folderTarget);
        const auto boxes = AnswerBoxes([&] { QTest::mouseClick(MainForm->bttSave, Qt::LeftButton); });
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].text, QString::fromStdString("Cannot create file " + folderTarget + "."));

        // A file-size limit stops the save, not the program.
        const std::string text = path("long.txt"), target = path("long.sub");
        std::ofstream(text) << std::string(100000, 'x');
        std::ofstream(target) << "precious\r\n";
        load(text);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit small{4096, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        dialogs_.answers.push_back(target);
        const auto limited = AnswerBoxes([&] { QTest::mouseClick(MainForm->bttSave, Qt::LeftButton); });
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(limited.size(), std::size_t(1));
        QCOMPARE(limited[0].text, QString("Stream write error."));
        QCOMPARE(ReadFile(target), std::string("precious\r\n"));
        QCOMPARE(MainForm->Script().Lines().front().size(), std::size_t(100004));
        QVERIFY(QDir(folder_.path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
    }

    void errorTextsGetOneFinalFullStop() {
        const std::pair<std::string, std::string> cases[] = {
            {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
            {"Stream write error", "Stream write error."},
            {"Ends in a stop.", "Ends in a stop."},
            {"Ends in a comma,", "Ends in a comma,"},
            {"Ends in a space ", "Ends in a space "},
            {"Ends in a slash/", "Ends in a slash/."},
            {"", ""},
        };
        for (const auto& [message, shown] : cases)
            QCOMPARE(WithFinalFullStop(message), shown);
    }

    void theVideoWindowFollowsTheMainWindow() {
        startWithoutSplash();
        MainForm->move(40, 60);
        QTRY_COMPARE(MainForm->frameGeometry().topLeft(), QPoint(40, 60));
        const QRect main = MainForm->frameGeometry();
        QTRY_COMPARE(FormVideo->frameGeometry().topLeft(), QPoint(main.left() + main.width(), main.top()));
        // Moved on its own, it stays where it was put until the main window moves again.
        FormVideo->move(700, 300);
        QTRY_COMPARE(FormVideo->frameGeometry().topLeft(), QPoint(700, 300));
        MainForm->resize(MainForm->width() + 50, MainForm->height());
        QTest::qWait(100);
        QCOMPARE(FormVideo->frameGeometry().topLeft(), QPoint(700, 300));
        MainForm->move(80, 70);
        QTRY_COMPARE(FormVideo->frameGeometry().topLeft(),
                     QPoint(80 + MainForm->frameGeometry().width(), 70));
    }

    void theListAloneHasTheAboutMenu() {
        startWithoutSplash();
        QTest::mouseClick(MainForm->lbTxt->viewport(), Qt::RightButton, {}, QPoint(30, 30));
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(30, 30),
                                     MainForm->lbTxt->viewport()->mapToGlobal(QPoint(30, 30)));
        QApplication::sendEvent(MainForm->lbTxt->viewport(), &rightClick);
        QTRY_VERIFY(MainForm->PopupMenu1->isVisible());
        QCOMPARE(MainForm->PopupMenu1->actions().size(), 1);
        QCOMPARE(MainForm->PopupMenu1->actions().front()->text(), QString("About"));
        MainForm->PopupMenu1->close();
        // From the keyboard the menu opens at the list's corner.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                  MainForm->lbTxt->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(MainForm->lbTxt->viewport(), &menuKey);
        QTRY_VERIFY(MainForm->PopupMenu1->isVisible());
        QCOMPARE(MainForm->PopupMenu1->pos(), MainForm->lbTxt->mapToGlobal(QPoint(0, 0)));
        MainForm->PopupMenu1->close();

        // A real right-click on the list's scroll bar.
        std::ofstream(path("many.txt")) << std::string(200, '\n');
        load(path("many.txt"));
        QScrollBar* bar = MainForm->lbTxt->verticalScrollBar();
        QTRY_VERIFY(bar->isVisible());
        ClickAt(bar->mapToGlobal(QPoint(bar->width() / 2, bar->height() / 2)), 3);
        QTRY_VERIFY(MainForm->PopupMenu1->isVisible());
        MainForm->PopupMenu1->close();
    }

    // With nothing selected after a load, the first Down or Space selects the first line; Down then
    // goes on from there.
    void theFirstDownOrSpaceSelectsTheFirstLine() {
        startWithoutSplash();
        std::ofstream(path("three.txt")) << "one\ntwo\nthree\n";
        for (const char* key : {"Down", "space"}) {
            load(path("three.txt"));
            MainForm->lbTxt->setFocus();
            QTRY_VERIFY(MainForm->lbTxt->hasFocus());
            QVERIFY(!MainForm->lbTxt->selectionModel()->hasSelection());
            Xdotool({"key", key});
            QTRY_COMPARE(MainForm->lbTxt->selectionModel()->selectedRows().value(0).row(), 0);
            Xdotool({"key", "Down"});
            QTRY_COMPARE(MainForm->lbTxt->selectionModel()->selectedRows().value(0).row(), 1);
        }
    }

    // Escape, pressed as a user does, leaves the splash and the about window up.
    void escapeDoesNotCloseTheAboutWindow() {
        startWithoutSplash();
        bool upAfterEscape = false;
        QTimer::singleShot(400, [&] {
            Xdotool({"key", "Escape"});
            QTest::qWait(300);
            upAfterEscape = FormAbout->isVisible();
            FormAbout->FormClick();
        });
        MainForm->About1Click();
        QVERIFY(upAfterEscape);
    }

    // Clicks on the link, the labels and the outer ring leave the window up; the picture closes it.
    void aboutWindowClicks() {
        startWithoutSplash();
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "open");
        QTimer::singleShot(0, [] { QTest::mouseClick(FormAbout->Label2, Qt::LeftButton); });
        QTimer::singleShot(50, [] { QTest::mouseClick(FormAbout->Label1, Qt::LeftButton); });
        QTimer::singleShot(100, [] { QTest::mouseClick(FormAbout->Label3, Qt::LeftButton); });
        QTimer::singleShot(150, [] { QTest::mouseClick(FormAbout, Qt::LeftButton, {}, QPoint(0, 100)); });
        bool upAfterClicks = false;
        QTimer::singleShot(300, [&] {
            upAfterClicks = FormAbout->isVisible();
            QTest::mouseClick(FormAbout->Image1, Qt::LeftButton, {}, QPoint(100, 100));
        });
        QElapsedTimer shown;
        shown.start();
        MainForm->About1Click();
        QVERIFY(shown.elapsed() < 3000);
        QVERIFY(upAfterClicks);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(recorder.opened.size(), 1);
        QVERIFY(recorder.opened.front().toLocalFile().endsWith("index.html"));
        QCOMPARE(FormAbout->size(), QSize(341, 224));
        QCOMPARE(FormAbout->Label3->text(), QString("v0.8"));
    }

    // A second showing soon after a first one that a click ended closes when the first countdown ends.
    void aboutShownAgainSoonAfterAClickEndsWithTheFirstCountdown() {
        startWithoutSplash();
        QTimer::singleShot(300, [] { FormAbout->FormClick(); });
        QElapsedTimer sinceFirst;
        sinceFirst.start();
        MainForm->About1Click();
        MainForm->About1Click();
        const qint64 total = sinceFirst.elapsed();
        QVERIFY2(total >= 5900 && total < 6000 + 1500, qPrintable(QString::number(total)));
    }

    void aboutStaysInThePlaceOfItsFirstShowing() {
        startWithoutSplash();
        QTimer::singleShot(100, [] { FormAbout->FormClick(); });
        MainForm->About1Click();
        const QPoint first = FormAbout->pos();
        MainForm->move(MainForm->x() + 120, MainForm->y() + 40);
        QTimer::singleShot(100, [] { FormAbout->FormClick(); });
        MainForm->About1Click();
        QCOMPARE(FormAbout->pos(), first);
    }

    // The timer rules the countdowns rest on, at short intervals.
    void timerIntervalsRestartOnlyWhenTheyChange() {
        int ticks = 0;
        IntervalTimer timer(nullptr, 300, true, [&] { ++ticks; });
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(200);
        timer.SetInterval(300); // the same: the countdown goes on
        timer.SetEnabled(true); // already enabled: nothing
        QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 2000);
        QVERIFY2(clock.elapsed() < 450, qPrintable(QString::number(clock.elapsed())));
        timer.SetEnabled(false);
        QTest::qWait(400);
        QCOMPARE(ticks, 1);
        timer.SetEnabled(true);
        clock.restart();
        QTest::qWait(200);
        timer.SetInterval(500); // a new interval restarts the countdown
        QTRY_COMPARE_WITH_TIMEOUT(ticks, 2, 2000);
        QVERIFY2(clock.elapsed() >= 690, qPrintable(QString::number(clock.elapsed())));
    }

    // The platform's open dialog takes a typed name of a file that does not exist; the save dialog offers
    // no file types.
    void theOpenDialogAcceptsANameThatDoesNotExist() {
        const std::string typed = path("not-there.txt");
        QTimer::singleShot(300, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->nameFilters().size(), 1);
            QCOMPARE(dialog->findChild<QComboBox*>("fileTypeCombo")->currentText(),
                     QString("Text files (*.txt, *.sub)"));
            const QString filter = dialog->nameFilters().front();
            const QStringList patterns =
                filter.mid(filter.lastIndexOf('(') + 1).chopped(1).split(' ', Qt::SkipEmptyParts);
            for (const char* name : {"a.txt", "b.TXT", "c.Txt", "d.sub", "e.SuB"})
                QVERIFY2(QDir::match(patterns, name), name);
            for (const char* name : {"f.avi", "g.txt.bak", "htxt"})
                QVERIFY2(!QDir::match(patterns, name), name);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(name);
            name->setText(QString::fromStdString(typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto chosen =
            RunQtFileDialog(DialogRequest{false, "Text files (*.txt, *.sub)|*.TXT;*.SUB;", "", nullptr});
        QCOMPARE(chosen, std::optional<std::string>(typed));
    }

    void linesShowAsUtf8OrWindows1252() {
        QCOMPARE(DecodeForDisplay("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
        QCOMPARE(DecodeForDisplay("caf\xe9 \x80\x93"),
                 QString::fromUtf8("caf\xc3\xa9 \xe2\x82\xac\xe2\x80\x9c"));
    }
};

int main(int argc, char** argv) {
    framequill::Application application(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"
