#include "scenario/scenario_form.h"

#include "scenario/scenario_file.h"
#include "scenario/scenario_messages.h"
#include "scenario/scenario_transfer.h"
#include "widgets/list_editor_frame.h"

#include <QAction>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

using namespace orvane;

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 420;
constexpr int kMotListWidth = 250;

QString Text(int entry) { return kScenarioMessages(entry); }

// Both lists hand their rows out by dragging; only the scenario takes them in.
QTableView *ListView(QWidget *parent, const char *name, QAbstractItemModel *model)
{
    QTableView *list = ListEditorFrame::MakeList(parent, name, model);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setDragEnabled(true);
    list->setDefaultDropAction(Qt::CopyAction);
    return list;
}

}  // namespace

TFileDialog::TFileDialog(QWidget *parent, MainOperations &main, const QString &programFolder, const QDate &today)
    : QDialog(parent), main_(main), doc_(new ScenarioDocument(this)),
      frame_(new ListEditorFrame(*this, main, {&Text, ScnConfirmTitle, ScnWarningTitle, ScnUndo, ScnRedo})),
      transfer_(std::make_unique<ScenarioTransfer>(main, *frame_, *doc_))
{
    setObjectName(QStringLiteral("FileDialog"));
    BuildControls();
    ApplyLanguage();
    frame_->SetStartName(programFolder, ScenarioStartFileName(today));
    frame_->OnRefresh([this] { ShowRowCount(); });

    for (int slot = 0; slot < kScenarioSlotCount; ++slot)
        FILE_NUM->addItem(QStringLiteral("S") + QString::number(slot));
    FILE_NUM->setCurrentIndex(0);
    ShowRowCount();
    resize(kDefaultWidth, kDefaultHeight);
}

TFileDialog::~TFileDialog() = default;

void TFileDialog::BuildControls()
{
    ToolBar = frame_->ToolBar();
    // Reading the boards' list of motions is not the motion editor's reading of one slot: its own picture.
    MOT_READ_BTN = frame_->AddButton("MOT_READ_BTN", ScnHintMotRead, QStringLiteral("MOTION_LIST_READ"));
    NEW_BTN = frame_->AddButton("NEW_BTN", ScnHintNew);
    OPEN_BTN = frame_->AddButton("OPEN_BTN", ScnOpen);
    SAVE_BTN = frame_->AddButton("SAVE_BTN", ScnSave);
    frame_->AddSeparator();
    COPY_BTN = frame_->AddButton("COPY_BTN", ScnCopy);
    CUT_BTN = frame_->AddButton("CUT_BTN", ScnCut);
    PASTE_BTN = frame_->AddButton("PASTE_BTN", ScnPaste);
    frame_->AddSeparator();
    FILE_DOWN_BTN = frame_->AddButton("FILE_DOWN_BTN", ScnDown);
    FILE_UP_BTN = frame_->AddButton("FILE_UP_BTN", ScnUp);
    DELETE_BTN = frame_->AddButton("DELETE_BTN", ScnDelete);
    FILE_DOWN_BTN->setProperty("tag", 0);
    FILE_UP_BTN->setProperty("tag", 1);
    frame_->AddGap();
    FILE_WRITE_BTN = frame_->AddButton("FILE_WRITE_BTN", ScnHintWrite);
    FILE_READ_BTN = frame_->AddButton("FILE_READ_BTN", ScnHintRead);
    FILE_FORMAT_BTN = frame_->AddButton("FILE_FORMAT_BTN", ScnHintClear);
    FILE_BTN = frame_->AddButton("FILE_BTN", ScnHintPlay);
    FILE_NUM = new QComboBox(ToolBar);
    FILE_NUM->setObjectName(QStringLiteral("FILE_NUM"));
    frame_->AddToolWidget(FILE_NUM);

    auto *labels = new QWidget(this);
    auto *labelLayout = new QHBoxLayout(labels);
    labelLayout->setContentsMargins(4, 2, 4, 2);
    MotListLabel = new QLabel(labels);
    MotListLabel->setObjectName(QStringLiteral("MotListLabel"));
    MotListLabel->setFixedWidth(kMotListWidth);
    FileListLabel = new QLabel(labels);
    FileListLabel->setObjectName(QStringLiteral("FileListLabel"));
    labelLayout->addWidget(MotListLabel);
    labelLayout->addWidget(FileListLabel, 1);
    frame_->Layout()->addWidget(labels);

    auto *lists = new QWidget(this);
    auto *listLayout = new QHBoxLayout(lists);
    listLayout->setContentsMargins(4, 0, 4, 0);
    MotList = ListView(lists, "MotList", doc_->Motions());
    MotList->setSelectionMode(QAbstractItemView::SingleSelection);
    MotList->setDragDropMode(QAbstractItemView::DragOnly);
    MotList->setFixedWidth(kMotListWidth);
    MotList->setColumnWidth(0, 50);
    MotList->setColumnWidth(1, 130);
    FileList = ListView(lists, "FileList", doc_->Scenario());
    FileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileList->setDragDropMode(QAbstractItemView::DragDrop);
    FileList->setAcceptDrops(true);
    FileList->viewport()->setAcceptDrops(true);
    FileList->setColumnWidth(0, 70);
    FileList->setColumnWidth(1, 70);
    // The drops are this window's own; the keys and the popup are the frame's.
    FileList->viewport()->installEventFilter(this);
    listLayout->addWidget(MotList);
    listLayout->addWidget(FileList, 1);
    frame_->Layout()->addWidget(lists, 1);

    Popup1 = frame_->AddPopup();
    MOV_UP_MENU = frame_->AddMenuItem(Popup1, "MOV_UP_MENU", ScnUp);
    MOV_DOWN_MENU = frame_->AddMenuItem(Popup1, "MOV_DOWN_MENU", ScnDown);
    MOV_UP_MENU->setProperty("tag", 1);
    MOV_DOWN_MENU->setProperty("tag", 0);
    Popup1->addSeparator();
    CUT_MENU = frame_->AddMenuItem(Popup1, "CUT_MENU", ScnCut);
    COPY_MENU = frame_->AddMenuItem(Popup1, "COPY_MENU", ScnCopy);
    PASTE_MENU = frame_->AddMenuItem(Popup1, "PASTE_MENU", ScnPaste);
    Popup1->addSeparator();
    DELETE_MENU = frame_->AddMenuItem(Popup1, "DELETE_MENU", ScnDelete);
    frame_->AddUndoRedo(Popup1, doc_->UndoStack());
    UNDO_MENU = frame_->UndoAction();
    REDO_MENU = frame_->RedoAction();
    frame_->AttachList(FileList, Popup1, Keys());

    frame_->AddBottomBar("FILE_COUNT_LABEL");
    COMM_GAUGE = frame_->Gauge();
    FILE_COUNT_LABEL = frame_->CountLabel();

    connect(MOT_READ_BTN, &QToolButton::clicked, this, &TFileDialog::MOT_READ_BTNClick);
    connect(NEW_BTN, &QToolButton::clicked, this, &TFileDialog::NEW_BTNClick);
    connect(OPEN_BTN, &QToolButton::clicked, this, &TFileDialog::OPEN_BTNClick);
    connect(SAVE_BTN, &QToolButton::clicked, this, &TFileDialog::SAVE_BTNClick);
    connect(COPY_BTN, &QToolButton::clicked, this, &TFileDialog::COPY_BTNClick);
    connect(CUT_BTN, &QToolButton::clicked, this, &TFileDialog::CUT_BTNClick);
    connect(PASTE_BTN, &QToolButton::clicked, this, &TFileDialog::PASTE_BTNClick);
    connect(DELETE_BTN, &QToolButton::clicked, this, &TFileDialog::DELETE_BTNClick);
    for (QObject *sender : {static_cast<QObject *>(FILE_UP_BTN), static_cast<QObject *>(FILE_DOWN_BTN)})
        connect(static_cast<QToolButton *>(sender), &QToolButton::clicked, this,
                [this, sender] { FILE_UD_BTNClick(sender); });
    for (QAction *item : {MOV_UP_MENU, MOV_DOWN_MENU})
        connect(item, &QAction::triggered, this, [this, item] { FILE_UD_BTNClick(item); });
    connect(CUT_MENU, &QAction::triggered, this, &TFileDialog::CUT_BTNClick);
    connect(COPY_MENU, &QAction::triggered, this, &TFileDialog::COPY_BTNClick);
    connect(PASTE_MENU, &QAction::triggered, this, &TFileDialog::PASTE_BTNClick);
    connect(DELETE_MENU, &QAction::triggered, this, &TFileDialog::DELETE_BTNClick);
    connect(UNDO_MENU, &QAction::triggered, this, &TFileDialog::UNDO_MENUClick);
    connect(REDO_MENU, &QAction::triggered, this, &TFileDialog::REDO_MENUClick);
    connect(FILE_WRITE_BTN, &QToolButton::clicked, this, &TFileDialog::FILE_WRITE_BTNClick);
    connect(FILE_READ_BTN, &QToolButton::clicked, this, &TFileDialog::FILE_READ_BTNClick);
    connect(FILE_FORMAT_BTN, &QToolButton::clicked, this, &TFileDialog::FILE_FORMAT_BTNClick);
    connect(FILE_BTN, &QToolButton::clicked, this, &TFileDialog::FILE_BTNClick);
    connect(Popup1, &QMenu::aboutToShow, this, &TFileDialog::Popup1Popup);
    connect(MotList, &QTableView::doubleClicked, this, [this] { MotListDblClick(); });
    // The row count display follows the scenario however its rows change.
    ScenarioModel *scenario = doc_->Scenario();
    connect(scenario, &QAbstractItemModel::rowsInserted, this, &TFileDialog::ShowRowCount);
    connect(scenario, &QAbstractItemModel::rowsRemoved, this, &TFileDialog::ShowRowCount);
    connect(scenario, &QAbstractItemModel::modelReset, this, &TFileDialog::ShowRowCount);
    connect(doc_, &ScenarioDocument::StepShown, this, &TFileDialog::ShowStep);
}

void TFileDialog::ApplyLanguage()
{
    setWindowTitle(Text(ScnWindowTitle));
    frame_->ApplyTexts(Popup1);
    FILE_NUM->setToolTip(Text(ScnHintFileNum));
    MotListLabel->setText(Text(ScnMotionListLabel));
    FileListLabel->setText(Text(ScnScenarioLabel));
}

bool TFileDialog::TransferRunning() const { return transfer_->Running(); }

void TFileDialog::reject()
{
    if (!TransferRunning())
        QDialog::reject();
}

QList<int> TFileDialog::SelectedRows() const { return ListEditorFrame::SelectedRows(FileList); }

void TFileDialog::ShowRowCount() { FILE_COUNT_LABEL->setText(ScenarioCountText(doc_->RowCount())); }

void TFileDialog::NEW_BTNClick()
{
    if (frame_->Ask(ScnDataLost, PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    doc_->New();
    ShowRowCount();
}

void TFileDialog::OPEN_BTNClick()
{
    if (doc_->HoldsData() && frame_->Ask(ScnDataLost, PromptButtons::YesNo) != PromptAnswer::Yes) {
        ShowRowCount();
        return;
    }
    const QString path = frame_->OpenFile(Text(ScnOpen), Text(ScnFileFilter));
    if (path.isEmpty()) {
        ShowRowCount();
        return;
    }
    const ScenarioFileLoad load = doc_->LoadFile(path);
    if (load.error == ScenarioFileError::CannotRead)
        frame_->Warn(Text(ScnFileRejected) + QStringLiteral("\r\n") + load.detail);
    else if (!load.ok())
        frame_->Warn(Text(ScnFileRejected));
    ShowRowCount();
}

void TFileDialog::SAVE_BTNClick()
{
    if (!doc_->CanSave()) {
        frame_->Warn(Text(ScnSaveEmpty));
        return;
    }
    const QString path = frame_->SaveFile(Text(ScnSave), Text(ScnFileFilter), &WithScenarioExtension);
    if (path.isEmpty())
        return;
    QString error;
    if (!doc_->SaveFile(path, &error))
        frame_->Warn(Text(ScnSaveFailed) + QStringLiteral("\r\n") + error);
}

void TFileDialog::COPY_BTNClick() { doc_->Copy(SelectedRows()); }

void TFileDialog::CUT_BTNClick()
{
    if (doc_->Cut(SelectedRows()) < 0)
        return;
    ListEditorFrame::SelectFocusRow(FileList);
    ShowRowCount();
}

void TFileDialog::PASTE_BTNClick()
{
    doc_->Paste(SelectedRows(),
                [this] { return frame_->Ask(ScnPasteAfterLast, PromptButtons::YesNo) == PromptAnswer::Yes; });
    ShowRowCount();
}

void TFileDialog::FILE_UD_BTNClick(QObject *sender)
{
    const int partner = doc_->Move(SelectedRows(), sender->property("tag").toInt() == 1);
    if (partner < 0)
        return;
    FileList->selectionModel()->setCurrentIndex(Scenario()->index(partner, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TFileDialog::DELETE_BTNClick()
{
    if (doc_->Delete(SelectedRows()) < 0)
        return;
    ShowRowCount();
    ListEditorFrame::SelectFocusRow(FileList);
}

void TFileDialog::MotListDblClick()
{
    const QModelIndexList selected = MotList->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const int k = selected.first().row();
    if (!doc_->CanRename(k))
        return;
    QString name = Motions()->Row(k).name;
    if (!main_.UserPrompt().Input(Text(ScnInputTitle), Text(ScnRenamePrompt), name))
        return;
    doc_->RenameMotion(k, name);
}

bool TFileDialog::MotListDragOver(QWidget *target, const QMimeData *data) const
{
    return target == FileList && data && data->hasFormat(QLatin1String(kMotListMime));
}

void TFileDialog::MotListDragDrop(QWidget *target, const QMimeData *data, const QPoint &pos)
{
    if (!MotListDragOver(target, data))
        return;
    const QModelIndexList selected = MotList->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return;
    const QModelIndex under = FileList->indexAt(pos);
    doc_->Drop(selected.first().row(), under.isValid() ? under.row() : -1);
    ShowRowCount();
}

void TFileDialog::Popup1Popup()
{
    const qsizetype selected = SelectedRows().size();
    MOV_UP_MENU->setEnabled(selected == 1);
    MOV_DOWN_MENU->setEnabled(selected == 1);
    CUT_MENU->setEnabled(selected > 0);
    COPY_MENU->setEnabled(selected > 0);
    DELETE_MENU->setEnabled(selected > 0);
    PASTE_MENU->setEnabled(true);
    UNDO_MENU->setEnabled(doc_->UndoStack()->canUndo());
    REDO_MENU->setEnabled(doc_->UndoStack()->canRedo());
}

ListKeyActions TFileDialog::Keys()
{
    // The scenario list has no Insert.
    return {{},
            [this] { DELETE_BTNClick(); },
            [this] { COPY_BTNClick(); },
            [this] { CUT_BTNClick(); },
            [this] { PASTE_BTNClick(); }};
}

bool TFileDialog::FileListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return RunListKey(key, modifiers, Keys());
}

bool TFileDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FileList->viewport())
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (MotListDragOver(FileList, drag->mimeData())) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (MotListDragOver(FileList, drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            MotListDragDrop(FileList, drop->mimeData(), drop->position().toPoint());
        } else {
            drop->ignore();
        }
        return true;
    }
    case QEvent::DragLeave: return true;
    default: return QDialog::eventFilter(watched, event);
    }
}

void TFileDialog::MOT_READ_BTNClick() { transfer_->ReadMotionList(); }

void TFileDialog::FILE_WRITE_BTNClick() { transfer_->Write(FILE_NUM->currentIndex(), FILE_NUM->currentText()); }

void TFileDialog::FILE_READ_BTNClick() { transfer_->Read(FILE_NUM->currentIndex()); }

void TFileDialog::FILE_FORMAT_BTNClick() { transfer_->Clear(FILE_NUM->currentIndex()); }

void TFileDialog::FILE_BTNClick() { transfer_->Play(FILE_NUM->currentIndex()); }

void TFileDialog::UNDO_MENUClick()
{
    if (!TransferRunning())
        doc_->Undo();
}

void TFileDialog::REDO_MENUClick()
{
    if (!TransferRunning())
        doc_->Redo();
}

void TFileDialog::ShowStep(const ScenarioDocument::Shown &rows)
{
    ShowRowCount();
    ListEditorFrame::ShowRows(FileList, rows);
}
