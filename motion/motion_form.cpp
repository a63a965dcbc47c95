#include "motion/motion_form.h"

#include "motion/motion_data.h"
#include "motion/motion_document.h"
#include "motion/motion_file.h"
#include "motion/motion_messages.h"
#include "motion/motion_transfer.h"
#include "session/window_place.h"
#include "widgets/list_editor_frame.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

using namespace orvane;

namespace {

constexpr int kNoWidth = 30;
constexpr int kNameWidth = 150;
constexpr int kSpeedWidth = 50;
constexpr int kChannelWidth = 40;
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 360;

const char *const kSpeedCaptions[8] = {"0  (FAST)", "1", "2", "3", "4", "5", "6", "7  (SLOW)"};

QString Text(int entry) { return MotionMessage(entry); }

QString FileFilter() { return Text(MotCaption) + QStringLiteral(" (*.csv)|*.csv"); }

// Motion files keep positions relative to the home position in force when they are written or read.
HomePositions HomeInForce(const MainOperations &main)
{
    HomePositions home;
    for (int n = 1; n <= kChannelCount; ++n)
        home[size_t(n - 1)] = main.HomeValue(n);
    return home;
}

}  // namespace

// While a command of this window changes the document, the window refreshes as that command says, not on
// the document's signal.
class TMotionForm::OwnEdit {
public:
    explicit OwnEdit(TMotionForm &form) : form_(form), was_(form.ownEdit_) { form_.ownEdit_ = true; }
    ~OwnEdit() { form_.ownEdit_ = was_; }
    OwnEdit(const OwnEdit &) = delete;
    OwnEdit &operator=(const OwnEdit &) = delete;

private:
    TMotionForm &form_;
    bool was_;
};

TMotionForm::TMotionForm(QWidget *parent, MainOperations &main, const QString &programFolder,
                         const MotionFormPlacement &placement, const QDate &today)
    : QWidget(parent, Qt::Window), main_(main), doc_(new MotionDocument(this)),
      frame_(new ListEditorFrame(*this, main, {&Text, MotConfirmTitle, MotWarningTitle, MotUndo, MotRedo})),
      transfer_(std::make_unique<MotionTransfer>(main, *frame_))
{
    setObjectName(QStringLiteral("MotionForm"));
    for (int n = 1; n <= kChannelCount; ++n)
        doc_->SetChannelCaption(n, main_.ChannelName(n));
    BuildControls();
    ApplyLanguage();
    frame_->SetStartName(programFolder, MotionStartFileName(today));
    frame_->OnRefresh([this] { Refresh(); });

    for (int speed = 0; speed < 8; ++speed)
        SP[size_t(speed)]->setProperty("tag", speed);
    ShowRowCount();
    for (int slot = 0; slot < kMotionSlotCount; ++slot)
        MOTION_NUM->addItem(QStringLiteral("M") + QString::number(slot));
    MOTION_NUM->setCurrentIndex(0);

    connect(doc_, &MotionDocument::Edited, this, &TMotionForm::DocumentEdited);
    connect(doc_, &MotionDocument::HistoryApplied, this, &TMotionForm::ShowUndoStep);
    main_.AddChannelLookListener(this);
    PlaceWindow(placement);
}

TMotionForm::~TMotionForm() = default;

void TMotionForm::BuildControls()
{
    ToolBar = frame_->ToolBar();
    NEW_BTN = frame_->AddButton("NEW_BTN", MotHintNew);
    OPEN_BTN = frame_->AddButton("OPEN_BTN", MotHintOpen);
    SAVE_BTN = frame_->AddButton("SAVE_BTN", MotHintSave);
    DEF_SCR_BTN = frame_->AddButton("DEF_SCR_BTN", MotHintDefScr);
    frame_->AddSeparator();
    COPY_BTN = frame_->AddButton("COPY_BTN", MotCopy);
    CUT_BTN = frame_->AddButton("CUT_BTN", MotCut);
    PASTE_BTN = frame_->AddButton("PASTE_BTN", MotPaste);
    frame_->AddSeparator();
    MOT_WRITE_BTN = frame_->AddButton("MOT_WRITE_BTN", MotHintWrite);
    MOT_READ_BTN = frame_->AddButton("MOT_READ_BTN", MotHintRead);
    MOT_FORMAT_BTN = frame_->AddButton("MOT_FORMAT_BTN", MotHintClear);
    RUN_BTN = frame_->AddButton("RUN_BTN", MotHintRun);
    MOTION_NUM = new QComboBox(ToolBar);
    MOTION_NUM->setObjectName(QStringLiteral("MOTION_NUM"));
    MOTION_NUM->setMaxVisibleItems(20);
    frame_->AddToolWidget(MOTION_NUM);
    frame_->AddSeparator();
    EDITION_BTN = frame_->AddButton("EDITION_BTN", MotEdit);
    INSERT_BTN = frame_->AddButton("INSERT_BTN", MotInsert);
    DELETE_BTN = frame_->AddButton("DELETE_BTN", MotDelete);

    CaptionLine = new QLabel(this);
    CaptionLine->setObjectName(QStringLiteral("CaptionLine"));
    CaptionLine->setContentsMargins(4, 2, 4, 2);
    frame_->Layout()->addWidget(CaptionLine);

    PosList = ListEditorFrame::MakeList(this, "PosList", doc_->Model());
    PosList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    frame_->Layout()->addWidget(PosList, 1);
    DEF_SCR_BTNClick();

    Popup1 = frame_->AddPopup();
    SPEED_MENU = Popup1->addMenu(QString());
    SPEED_MENU->setObjectName(QStringLiteral("SPEED_MENU"));
    for (int speed = 0; speed < 8; ++speed) {
        QAction *item = SPEED_MENU->addAction(QString::fromLatin1(kSpeedCaptions[speed]));
        item->setObjectName(QStringLiteral("SP_%1").arg(speed));
        item->setCheckable(true);
        SP[size_t(speed)] = item;
        connect(item, &QAction::triggered, this, [this, item] { SP_0Click(item); });
    }
    RENAME_MENU = frame_->AddMenuItem(Popup1, "RENAME_MENU", MotRenameMenu);
    Popup1->addSeparator();
    EDITION_MENU = frame_->AddMenuItem(Popup1, "EDITION_MENU", MotEdit);
    INSERT_MENU = frame_->AddMenuItem(Popup1, "INSERT_MENU", MotInsert);
    Popup1->addSeparator();
    CUT_MENU = frame_->AddMenuItem(Popup1, "CUT_MENU", MotCut);
    COPY_MENU = frame_->AddMenuItem(Popup1, "COPY_MENU", MotCopy);
    PASTE_MENU = frame_->AddMenuItem(Popup1, "PASTE_MENU", MotPaste);
    Popup1->addSeparator();
    DELETE_MENU = frame_->AddMenuItem(Popup1, "DELETE_MENU", MotDelete);
    frame_->AddUndoRedo(Popup1, doc_->UndoStack());
    UNDO_MENU = frame_->UndoAction();
    REDO_MENU = frame_->RedoAction();
    frame_->AttachList(PosList, Popup1, Keys());

    frame_->AddBottomBar("POS_COUNT_LABEL");
    COMM_GAUGE = frame_->Gauge();
    POS_COUNT_LABEL = frame_->CountLabel();

    connect(NEW_BTN, &QToolButton::clicked, this, &TMotionForm::NEW_BTNClick);
    connect(OPEN_BTN, &QToolButton::clicked, this, &TMotionForm::OPEN_BTNClick);
    connect(SAVE_BTN, &QToolButton::clicked, this, &TMotionForm::SAVE_BTNClick);
    connect(DEF_SCR_BTN, &QToolButton::clicked, this, &TMotionForm::DEF_SCR_BTNClick);
    connect(COPY_BTN, &QToolButton::clicked, this, &TMotionForm::COPY_BTNClick);
    connect(CUT_BTN, &QToolButton::clicked, this, &TMotionForm::CUT_BTNClick);
    connect(PASTE_BTN, &QToolButton::clicked, this, &TMotionForm::PASTE_BTNClick);
    connect(MOT_WRITE_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_WRITE_BTNClick);
    connect(MOT_READ_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_READ_BTNClick);
    connect(MOT_FORMAT_BTN, &QToolButton::clicked, this, &TMotionForm::MOT_FORMAT_BTNClick);
    connect(RUN_BTN, &QToolButton::clicked, this, &TMotionForm::RUN_BTNClick);
    connect(EDITION_BTN, &QToolButton::clicked, this, &TMotionForm::EDITION_BTNClick);
    connect(INSERT_BTN, &QToolButton::clicked, this, &TMotionForm::INSERT_BTNClick);
    connect(DELETE_BTN, &QToolButton::clicked, this, &TMotionForm::DELETE_BTNClick);
    connect(RENAME_MENU, &QAction::triggered, this, &TMotionForm::RENAME_MENUClick);
    connect(EDITION_MENU, &QAction::triggered, this, &TMotionForm::EDITION_BTNClick);
    connect(INSERT_MENU, &QAction::triggered, this, &TMotionForm::INSERT_BTNClick);
    connect(CUT_MENU, &QAction::triggered, this, &TMotionForm::CUT_BTNClick);
    connect(COPY_MENU, &QAction::triggered, this, &TMotionForm::COPY_BTNClick);
    connect(PASTE_MENU, &QAction::triggered, this, &TMotionForm::PASTE_BTNClick);
    connect(DELETE_MENU, &QAction::triggered, this, &TMotionForm::DELETE_BTNClick);
    connect(UNDO_MENU, &QAction::triggered, this, &TMotionForm::UNDO_MENUClick);
    connect(REDO_MENU, &QAction::triggered, this, &TMotionForm::REDO_MENUClick);
    connect(Popup1, &QMenu::aboutToShow, this, &TMotionForm::Popup1Popup);
    connect(SPEED_MENU, &QMenu::aboutToShow, this, &TMotionForm::SPEED_MENUPopup);
    connect(PosList, &QTableView::doubleClicked, this, [this] { EDITION_BTNClick(); });
}

void TMotionForm::ApplyLanguage()
{
    setWindowTitle(Text(MotWindowTitle));
    frame_->ApplyTexts(Popup1);
    MOTION_NUM->setToolTip(Text(MotHintMotionNum));
    CaptionLine->setText(Text(MotCaption));
    SPEED_MENU->setTitle(Text(MotSpeedMenu));
}

void TMotionForm::PlaceWindow(const MotionFormPlacement &placement)
{
    if (SavedPlaceOnScreen(placement.top, placement.left)) {
        move(placement.left, placement.top);
        resize(placement.width > 0 ? placement.width : kDefaultWidth,
               placement.height > 0 ? placement.height : kDefaultHeight);
        if (placement.visible)
            show();
        return;
    }
    resize(kDefaultWidth, kDefaultHeight);
    move(CentredOnScreen(QSize(kDefaultWidth, kDefaultHeight)));
}

MotionFormPlacement TMotionForm::Placement() const
{
    return {PlacementVisible(), PlacementTop(), PlacementLeft(), PlacementWidth(), PlacementHeight()};
}

MotionData *TMotionForm::model() const { return doc_->Model(); }

const QList<QStringList> &TMotionForm::ClipboardRows() const { return doc_->ClipboardRows(); }

QUndoStack *TMotionForm::UndoStack() const { return doc_->UndoStack(); }

bool TMotionForm::HasRows() const { return doc_->Count() > 0; }

int TMotionForm::RowCount() const { return doc_->Count(); }

bool TMotionForm::TransferRunning() const { return transfer_->Running(); }

QList<int> TMotionForm::SelectedRows() const { return ListEditorFrame::SelectedRows(PosList); }

QString TMotionForm::Field(int row, int column) const { return doc_->Model()->Field(row, column); }

PromptAnswer TMotionForm::Ask(int entry, PromptButtons buttons) { return frame_->Ask(entry, buttons); }

void TMotionForm::Warn(const QString &text) { frame_->Warn(text); }

void TMotionForm::ShowRowCount()
{
    POS_COUNT_LABEL->setText(QStringLiteral("DATA > ") + QString::number(doc_->Count()));
}

void TMotionForm::RedrawGraph() { emit GraphRedrawRequested(doc_->Count()); }

void TMotionForm::Refresh()
{
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::SelectFocusRow() { ListEditorFrame::SelectFocusRow(PosList); }

void TMotionForm::ChannelLookChanged(int channel, const QString &name, uint32_t, uint32_t)
{
    doc_->SetChannelCaption(channel, name);
}

void TMotionForm::DocumentEdited()
{
    if (!ownEdit_)
        Refresh();
}

void TMotionForm::AppendPosition(const QString &name, const QString &speed, const QStringList &values)
{
    OwnEdit own(*this);
    doc_->AppendPosition({name, speed, values});
    Refresh();
}

void TMotionForm::OverwriteSelected(const QString &name, const QString &speed, const QStringList &values)
{
    OwnEdit own(*this);
    doc_->OverwriteRows(SelectedRows(), {name, speed, values});
    RedrawGraph();
}

void TMotionForm::NEW_BTNClick()
{
    if (Ask(MotDataLost, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    OwnEdit own(*this);
    doc_->New();
    Refresh();
}

void TMotionForm::OPEN_BTNClick()
{
    OwnEdit own(*this);
    if (HasRows() && Ask(MotDataLost, PromptButtons::OkCancel) != PromptAnswer::Ok) {
        Refresh();
        return;
    }
    const QString path = frame_->OpenFile(QString(), FileFilter());
    if (path.isEmpty()) {
        Refresh();
        return;
    }
    MotionFileLoad load = LoadMotionFile(path, HomeInForce(main_));
    if (load.error == MotionFileError::CannotRead) {
        Warn(Text(MotOpenFailed) + QStringLiteral("\r\n") + load.detail);
        Refresh();
        return;
    }
    QStringList names;
    for (int n = 1; n <= kChannelCount; ++n)
        names << main_.ChannelName(n);
    const QStringList header = load.header;
    // OK renames the channels at once; the captions follow through the look listener.
    const auto renewLabels = [&] {
        if (Ask(MotRenewLabel, PromptButtons::OkCancel) != PromptAnswer::Ok)
            return false;
        for (int n = 1; n <= kChannelCount; ++n)
            main_.SetChannelLook(n, header[kFirstChannelColumn + n - 1], main_.PanelColor(n), main_.NameColor(n),
                                 main_.PanelVisible(n));
        return true;
    };
    if (!doc_->Load(std::move(load), names, renewLabels))
        Warn(Text(MotFileRejected));
    Refresh();
}

bool TMotionForm::Save()
{
    if (!HasRows()) {
        Warn(Text(MotSaveEmpty));
        return false;
    }
    const QString path = frame_->SaveFile(QString(), FileFilter(), &WithMotionExtension);
    if (path.isEmpty())
        return false;
    QString error;
    if (!SaveMotionFile(path, doc_->Captions(), doc_->Rows(), HomeInForce(main_), &error)) {
        Warn(Text(MotSaveFailed) + QStringLiteral("\r\n") + error);
        return false;
    }
    return true;
}

void TMotionForm::DEF_SCR_BTNClick()
{
    PosList->setColumnWidth(kNoColumn, kNoWidth);
    PosList->setColumnWidth(kNameColumn, kNameWidth);
    PosList->setColumnWidth(kSpeedColumn, kSpeedWidth);
    for (int n = 0; n < kChannelCount; ++n)
        PosList->setColumnWidth(kFirstChannelColumn + n, kChannelWidth);
}

void TMotionForm::COPY_BTNClick()
{
    if (doc_->Copy(SelectedRows()))
        SelectFocusRow();
}

void TMotionForm::CUT_BTNClick()
{
    OwnEdit own(*this);
    if (doc_->Cut(SelectedRows()) < 0)
        return;
    SelectFocusRow();
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::PASTE_BTNClick()
{
    OwnEdit own(*this);
    const QList<int> selected = SelectedRows();
    const bool pasted = doc_->Paste(selected.isEmpty() ? -1 : selected.first(), [this] {
        return Ask(MotPasteAfterLast, PromptButtons::YesNo) == PromptAnswer::Yes;
    });
    if (!pasted)
        return;
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::INSERT_BTNClick()
{
    OwnEdit own(*this);
    const QList<int> selected = SelectedRows();
    doc_->Insert(selected.isEmpty() ? -1 : selected.first());
    SelectFocusRow();
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::DELETE_BTNClick()
{
    OwnEdit own(*this);
    if (doc_->Delete(SelectedRows()) < 0)
        return;
    SelectFocusRow();
    ShowRowCount();
    RedrawGraph();
}

void TMotionForm::EDITION_BTNClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    const int row = selected.first();
    emit DataNameHandedOver(Field(row, kNameColumn));
    const std::optional<int> parsed = ParseDecimal(Field(row, kSpeedColumn));
    const bool speedValid = parsed && *parsed >= 0 && *parsed <= 7;
    if (speedValid)
        emit SpeedHandedOver(*parsed);
    for (int n = 1; n <= kChannelCount; ++n) {
        if (const std::optional<int> v = ParseDecimal(Field(row, kFirstChannelColumn + n - 1)))
            main_.SetChannel(n, *v, ChannelSource::Editor);
    }
    if (main_.SyncMode()) {
        const int speed = speedValid ? *parsed : main_.Speed();
        main_.SendBoardPositions(0, speed);
        main_.SendBoardPositions(1, speed);
    }
}

void TMotionForm::RENAME_MENUClick()
{
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    QString name = Field(selected.first(), kNameColumn);
    if (!main_.UserPrompt().Input(Text(MotRenameTitle), Text(MotRenamePrompt), name))
        return;
    OwnEdit own(*this);
    doc_->Rename(selected.first(), name);
}

void TMotionForm::SP_0Click(QAction *sender)
{
    OwnEdit own(*this);
    doc_->SetSpeed(SelectedRows(), sender->property("tag").toInt());
    RedrawGraph();
}

void TMotionForm::SPEED_MENUPopup()
{
    const QList<int> selected = SelectedRows();
    const std::optional<int> speed =
        selected.isEmpty() ? std::nullopt : ParseDecimal(Field(selected.first(), kSpeedColumn));
    for (QAction *item : SP)
        item->setChecked(speed && item->property("tag").toInt() == *speed);
}

void TMotionForm::Popup1Popup()
{
    const qsizetype selected = SelectedRows().size();
    EDITION_MENU->setEnabled(selected == 1);
    CUT_MENU->setEnabled(selected > 0);
    COPY_MENU->setEnabled(selected > 0);
    SPEED_MENU->menuAction()->setEnabled(selected > 0);
}

ListKeyActions TMotionForm::Keys()
{
    return {[this] { INSERT_BTNClick(); }, [this] { DELETE_BTNClick(); }, [this] { COPY_BTNClick(); },
            [this] { CUT_BTNClick(); }, [this] { PASTE_BTNClick(); }};
}

bool TMotionForm::PosListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return RunListKey(key, modifiers, Keys());
}

void TMotionForm::MOT_WRITE_BTNClick() { transfer_->Write(*doc_->Model(), MOTION_NUM->currentIndex()); }

void TMotionForm::MOT_READ_BTNClick()
{
    OwnEdit own(*this);
    transfer_->Read(*doc_, MOTION_NUM->currentIndex());
}

void TMotionForm::MOT_FORMAT_BTNClick() { transfer_->Clear(MOTION_NUM->currentIndex()); }

void TMotionForm::RUN_BTNClick() { transfer_->Play(MOTION_NUM->currentIndex()); }

void TMotionForm::ShowUndoStep(int from, int count)
{
    ShowRowCount();
    RedrawGraph();
    ListEditorFrame::ShowRows(PosList, from, count);
}

void TMotionForm::UNDO_MENUClick()
{
    if (!TransferRunning())
        doc_->Undo();
}

void TMotionForm::REDO_MENUClick()
{
    if (!TransferRunning())
        doc_->Redo();
}
