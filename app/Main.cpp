#include "Main.h"

#include "About.h"
#include "ButtonImages.h"
#include "GlyphButton.h"
#include "IntervalTimer.h"
#include "ScriptModel.h"
#include "playback/MediaPlayer.h"
#include "playback/TrackBar.h"
#include "playback/Videoform.h"
#include "script/IntegerConversion.h"
#include "script/Marking.h"
#include "script/ScriptFile.h"
#include "script/TimingLine.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace framequill {

TMainForm* MainForm = nullptr;
bool FirstActivation = true;

namespace {

constexpr int kBorder = 4;
const QSize kInnerSize(387, 437);
// The frame the window's outer sizes were designed with: 8 pixels across and 27 down.
const QSize kDesignFrame(8, 27);
const QSize kMinimumOuterSize(403, 200);
constexpr int kLineHeight = 13;

class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kLineHeight};
    }
};

QLineEdit* MakeEdit(QWidget* parent, const char* name, bool readOnly) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace

ScriptList::ScriptList(QWidget* parent, QMenu* menu) : QListView(parent), menu_(menu) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this));
    // The scroll bars are part of the list: a right-click on them opens its menu too.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        bar->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(bar, &QWidget::customContextMenuRequested, this,
                [this, bar](const QPoint& at) { menu_->popup(bar->mapToGlobal(at)); });
    }
}

// With no line selected, the first Down or Space selects the first line, not the one after the list's
// current item.
void ScriptList::keyPressEvent(QKeyEvent* event) {
    const bool selects = event->key() == Qt::Key_Down || event->key() == Qt::Key_Space;
    if (selects && event->modifiers() == Qt::NoModifier && model()->rowCount() > 0 &&
        !selectionModel()->hasSelection()) {
        const QModelIndex first = model()->index(0, 0);
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        scrollTo(first);
        return;
    }
    QListView::keyPressEvent(event);
}

void ScriptList::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at =
        event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(0, 0)) : event->globalPos();
    menu_->popup(at);
}

TMainForm::TMainForm() : layout_(kInnerSize) {
    setObjectName("MainForm");
    setWindowTitle("Framequill");
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    script_ = new ScriptModel(this);
    PopupMenu1 = new QMenu(this);
    About1 = PopupMenu1->addAction("About");
    connect(About1, &QAction::triggered, this, [this] { About1Click(); });

    edTxtFile = MakeEdit(this, "edTxtFile", true);
    lbTxt = new ScriptList(this, PopupMenu1);
    lbTxt->setObjectName("lbTxt");
    lbTxt->setModel(script_);
    edVideoFile = MakeEdit(this, "edVideoFile", true);
    edFrameNumber = MakeEdit(this, "edFrameNumber", false);
    edFrameNumber->setText("1");
    edFrameNumber->installEventFilter(this);
    Timer1 = new IntervalTimer(this, 250, false, [this] { Timer1Timer(); });

    const ButtonImage folder = FolderImage();
    const ButtonImage floppy = FloppyImage();
    auto button = [this](const char* name, const char* caption, const QPixmap& image, const QPixmap& disabled,
                         int gap, void (TMainForm::*handler)()) {
        auto* made = new GlyphButton(caption, image, disabled, gap, this);
        made->setObjectName(name);
        connect(made, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return made;
    };
    bttTxtFile =
        button("bttTxtFile", "&Text File", folder.normal, folder.disabled, 14, &TMainForm::bttTxtFileClick);
    bttVideoFile = button("bttVideoFile", "&Video File", folder.normal, folder.disabled, 8,
                          &TMainForm::bttVideoFileClick);
    bttGoto = button("bttGoto", "&Goto", MagnifierImage(), {}, 4, &TMainForm::bttGotoClick);
    bttMarkNext = button("bttMarkNext", "&Next", NextWedgesImage(), {}, 4, &TMainForm::bttMarkNextClick);
    bttSave = button("bttSave", "&Save", floppy.normal, floppy.disabled, 4, &TMainForm::bttSaveClick);
    bttMarkEnd = button("bttMarkEnd", "&End", EndWedgeImage(), {}, 4, &TMainForm::bttMarkEndClick);
    bttMarkBeginning =
        button("bttMarkBeginning", "&Begin", BeginWedgeImage(), {}, 4, &TMainForm::bttMarkBeginningClick);
    for (auto* disabled : {bttGoto, bttMarkNext, bttMarkEnd, bttMarkBeginning})
        disabled->setEnabled(false);
    connect(lbTxt, &QAbstractItemView::doubleClicked, this, [this] { lbTxtDblClick(); });

    layout_.Add(edTxtFile, {104, 2, 209, 21}, AnchorLeft | AnchorTop | AnchorRight);
    layout_.Add(lbTxt, {0, 64, 385, 341}, AnchorLeft | AnchorTop | AnchorRight | AnchorBottom);
    layout_.Add(edVideoFile, {104, 34, 281, 21}, AnchorLeft | AnchorTop | AnchorRight);
    layout_.Add(edFrameNumber, {0, 414, 89, 21}, AnchorLeft | AnchorBottom);
    layout_.Add(bttTxtFile, {0, 0, 97, 25}, AnchorLeft | AnchorTop);
    layout_.Add(bttVideoFile, {0, 32, 97, 25}, AnchorLeft | AnchorTop);
    layout_.Add(bttGoto, {96, 412, 57, 25}, AnchorLeft | AnchorBottom);
    layout_.Add(bttMarkNext, {248, 412, 65, 25}, AnchorRight | AnchorBottom);
    layout_.Add(bttSave, {320, 0, 67, 25}, AnchorTop | AnchorRight);
    layout_.Add(bttMarkEnd, {320, 412, 65, 25}, AnchorRight | AnchorBottom);
    layout_.Add(bttMarkBeginning, {176, 412, 65, 25}, AnchorRight | AnchorBottom);

    QWidget* const tabOrder[] = {edTxtFile,  lbTxt,        edVideoFile,     edFrameNumber,
                                 bttTxtFile, bttVideoFile, bttGoto,         bttMarkNext,
                                 bttSave,    bttMarkEnd,   bttMarkBeginning};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    for (QWidget* control : tabOrder)
        control->setFocusPolicy(Qt::StrongFocus);

    const QSize client = kInnerSize + QSize(2 * kBorder, 2 * kBorder);
    resize(client);
    setMinimumSize(client.width(), kMinimumOuterSize.height() - kDesignFrame.height());
    edTxtFile->setFocus();
}

TMainForm::~TMainForm() = default;

void TMainForm::ShowCentred() {
    // The area that all monitors span together.
    QRect desktop;
    for (const QScreen* screen : QGuiApplication::screens())
        desktop = desktop.united(screen->geometry());
    const QSize outer = size() + kDesignFrame;
    move(std::max(0, (desktop.width() - outer.width()) / 2),
         std::max(0, (desktop.height() - outer.height()) / 2));
    show();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layout_.Apply(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
    if (dockOnNextResize_) {
        dockOnNextResize_ = false;
        DockVideoWindow();
    }
}

void TMainForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        dockOnNextResize_ = true;
        DockVideoWindow();
    }
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Once the window manager has framed the window, the lowest outer height can be kept exactly.
    const int frameHeight = frameGeometry().height() - height();
    if (frameHeight > 0)
        setMinimumHeight(std::max(0, kMinimumOuterSize.height() - frameHeight));
    DockVideoWindow();
}

// The main window is the program: the video window, which cannot be closed, must not keep it running.
// exit, not quit: quit asks every window to close first, and the video window refuses.
void TMainForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    QCoreApplication::exit(0);
}

bool TMainForm::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // Only focus passing to another control counts: not a menu, a dialog or another window taking it.
    if (watched == edFrameNumber && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            edFrameNumberExit();
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::DockVideoWindow() {
    if (!FormVideo)
        return;
    const QRect outer = frameGeometry();
    FormVideo->move(outer.left() + outer.width(), outer.top());
}

void TMainForm::FormActivate() {
    if (!FirstActivation)
        return;
    FormAbout->Timer1->SetInterval(2000);
    FormAbout->ShowModal();
    FirstActivation = false;
    FormVideo->show();
    FormVideo->activateWindow();
}

void TMainForm::About1Click() {
    FormAbout->Timer1->SetInterval(6000);
    FormAbout->ShowModal();
}

std::optional<std::size_t> TMainForm::SelectedLine() const {
    const QModelIndexList selected = lbTxt->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(selected.front().row());
}

void TMainForm::SelectLine(std::size_t line) {
    const QModelIndex index = script_->index(static_cast<int>(line));
    lbTxt->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lbTxt->scrollTo(index);
}

void TMainForm::SetFrameText(const std::string& text) {
    if (edFrameNumber->text().toStdString() != text)
        edFrameNumber->setText(QString::fromStdString(text));
}

void TMainForm::bttTxtFileClick() {
    OpenDialog1.Filter = "Text files (*.txt, *.sub)|*.TXT;*.SUB;";
    if (!OpenDialog1.Execute(this, dialogRunner_))
        return;
    edTxtFile->setText(QString::fromStdString(OpenDialog1.FileName));
    framequill::Script lines = LoadScriptFile(edTxtFile->text().toStdString());
    NormaliseScript(lines);
    script_->SetLines(std::move(lines));
}

void TMainForm::bttSaveClick() {
    SaveDialog1.FileName = ProposeSaveName(edTxtFile->text().toStdString());
    if (!SaveDialog1.Execute(this, dialogRunner_))
        return;
    SaveScriptFile(SaveDialog1.FileName, script_->Lines());
}

template <typename Command> void TMainForm::Mark(Command command) {
    const auto selected = SelectedLine();
    if (!selected)
        return;
    const std::int32_t frame = FormVideo->MediaPlayer1->Position();
    const Selection next = command(script_->EditableLines(), selected, frame);
    script_->RowsChanged(*selected, *selected + 1);
    if (next)
        SelectLine(*next);
}

void TMainForm::bttMarkBeginningClick() {
    Mark(MarkBeginning);
}
void TMainForm::bttMarkEndClick() {
    Mark(MarkEnd);
}
void TMainForm::bttMarkNextClick() {
    Mark(MarkNext);
}

void TMainForm::bttVideoFileClick() {
    OpenDialog1.Filter = "Video files (*.avi, *.mpg)|*.AVI;*.MPG;";
    if (!OpenDialog1.Execute(this, dialogRunner_))
        return;
    // In front, but the keys stay with the main window, where Begin, Next and End are.
    FormVideo->show();
    FormVideo->raise();
    FormVideo->WaitUntilFramed();
    MediaPlayer& player = *FormVideo->MediaPlayer1;
    player.Close();
    player.SetLargestPicture(LargestPictureBesideThisWindow());
    edVideoFile->setText(QString::fromStdString(OpenDialog1.FileName));
    player.SetFileName(OpenDialog1.FileName);
    player.Open();
    // A medium without a picture leaves the window as it is.
    // Width and height in one resize: the window manager answers each resize later, and its answer to a
    // width alone could undo a height sent meanwhile. What the frame, the border and the lower panel take
    // does not depend on the window's size, so it is the same read before either is set.
    if (const auto picture = player.PictureRect()) {
        const int width =
            (picture->Right - picture->Left) + (FormVideo->OuterWidth() - FormVideo->Panel1->width()) + 1;
        const auto again = player.PictureRect();
        const int height =
            (again->Bottom - again->Top) + (FormVideo->OuterHeight() - FormVideo->Panel1->height()) + 1;
        FormVideo->SetOuterSize(width, height);
    }
    DockVideoWindow();
    player.SetFrameTimeFormat();
    FormVideo->TrackBar1->SetMax(player.Length());
    FormVideo->TrackBar1->SetFrequency(player.Length() / 100);
    Timer1->SetEnabled(true);
    for (auto* button : {bttMarkBeginning, bttMarkEnd, bttMarkNext, bttGoto})
        button->setEnabled(true);
}

// A picture at its own size may make a window larger than the screen, with the player's controls out of
// reach: the picture may take what the screen leaves the video window where it is docked.
PictureSize TMainForm::LargestPictureBesideThisWindow() const {
    const QRect available = screen()->availableGeometry();
    const QRect outer = frameGeometry();
    const int aroundWidth = FormVideo->OuterWidth() - FormVideo->Panel1->width() + 1;
    const int aroundHeight = FormVideo->OuterHeight() - FormVideo->Panel1->height() + 1;
    return {available.right() + 1 - (outer.left() + outer.width()) - aroundWidth,
            available.bottom() + 1 - outer.top() - aroundHeight};
}

void TMainForm::Timer1Timer() {
    MediaPlayer& player = *FormVideo->MediaPlayer1;
    if (player.PlayState() != MPModes::mpPlaying)
        return;
    SetFrameText(std::to_string(player.Position()));
    FormVideo->TrackBar1->SetPosition(player.Position());
}

void TMainForm::bttGotoClick() {
    MediaPlayer& player = *FormVideo->MediaPlayer1;
    const bool wasPlaying = player.PlayState() == MPModes::mpPlaying;
    const std::int32_t target = TryStrToInt(edFrameNumber->text().toStdString()).value_or(0);
    player.Seek(target);
    if (wasPlaying)
        player.Play();
    else
        FormVideo->TrackBar1->SetPosition(target);
}

void TMainForm::lbTxtDblClick() {
    const auto selected = SelectedLine();
    MediaPlayer& player = *FormVideo->MediaPlayer1;
    if (!selected || player.FileName().empty())
        return;
    const std::string line = script_->Lines()[*selected];
    const bool wasPlaying = player.PlayState() == MPModes::mpPlaying;
    const auto target = TryStrToInt(StartFrameText(line));
    if (!target)
        return;
    player.Seek(*target);
    if (wasPlaying)
        player.Play();
    FormVideo->TrackBar1->SetPosition(*target);
}

void TMainForm::edFrameNumberExit() {
    if (edFrameNumber->text().isEmpty() || !TryStrToInt(edFrameNumber->text().toStdString()))
        edFrameNumber->setText("1");
}

} // namespace framequill
