#pragma once

#include "AnchorLayout.h"
#include "FileDialog.h"
#include "playback/PictureFit.h"

#include <QListView>
#include <QWidget>

class QLineEdit;
class QMenu;
class QAction;

namespace framequill {

class GlyphButton;
class IntervalTimer;
class ScriptModel;

// The script list: one selection, a fixed line height, and the "About" menu of its own, opened at the
// pointer or, from the keyboard's menu key, at the list's top-left corner.
class ScriptList : public QListView {
    Q_OBJECT
public:
    ScriptList(QWidget* parent, QMenu* menu);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QMenu* menu_;
};

// The main window: the script list, the two path fields, the frame field and the command buttons.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    TMainForm();
    ~TMainForm() override;

    QLineEdit* edTxtFile;
    FileDialog OpenDialog1{false};
    ScriptList* lbTxt;
    QLineEdit* edVideoFile;
    QLineEdit* edFrameNumber;
    IntervalTimer* Timer1;
    FileDialog SaveDialog1{true};
    GlyphButton* bttTxtFile;
    GlyphButton* bttVideoFile;
    GlyphButton* bttGoto;
    GlyphButton* bttMarkNext;
    GlyphButton* bttSave;
    GlyphButton* bttMarkEnd;
    GlyphButton* bttMarkBeginning;
    QMenu* PopupMenu1;
    QAction* About1;

    void bttTxtFileClick();
    void bttVideoFileClick();
    void Timer1Timer();
    void bttMarkNextClick();
    void bttSaveClick();
    void lbTxtDblClick();
    void bttGotoClick();
    void edFrameNumberExit();
    void bttMarkEndClick();
    void bttMarkBeginningClick();
    void FormActivate();
    void About1Click();

    void DockVideoWindow();

    // The script as the list holds it.
    ScriptModel& Script() const { return *script_; }
    // Tests answer the file dialogs through this.
    void SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }
    // Centres the window on the desktop and shows it.
    void ShowCentred();
    // Writes the frame field; an equal text is left alone, so that the caret and the selection stay.
    void SetFrameText(const std::string& text);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    template <typename Command> void Mark(Command command);
    std::optional<std::size_t> SelectedLine() const;
    PictureSize LargestPictureBesideThisWindow() const;
    void SelectLine(std::size_t line);

    ScriptModel* script_;
    AnchorLayout layout_;
    DialogRunner dialogRunner_ = RunQtFileDialog;
    // Maximising and restoring move the window before it has its new size; the resize that follows
    // docks the video window again.
    bool dockOnNextResize_ = false;
};

// The program's windows, each made once at start-up.
extern TMainForm* MainForm;
// True until the main window is first activated, when the splash is shown.
extern bool FirstActivation;

} // namespace framequill
