#include "scenario/scenario_form.h"

#include "widgets/list_editor_frame.h"
#include "widgets/list_keys.h"

#include "scenario/scenario_file.h"
#include "scenario/scenario_messages.h"
#include "scenario/scenario_transfer.h"
#include "widgets/icons.h"
#include "widgets/progress.h"

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
#include <QProgressBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

using namespace orvane;

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 420;
constexpr int kMotListWidth = 250;

QString Text(int entry) { return kScenarioMessages(entry); }

QTableView *ListView(QWidget *parent, const char *name, QAbstractItemModel *model)
{
    QTableView *list = ListEditorFrame::MakeList(parent, name, model);
    list->horizontalHeader()->setStretchLastSection(true);
    list->setDragEnabled(true);
    list->setDefaultDropAction(Qt::CopyAction);
    return list;
}

}  // namespace

// Lends the transfers the window's progress bar, its enabling and its row count display.
class TFileDialog::View : public TransferView {
public:
    explicit View(TFileDialog &form) : form_(form) {}
    void SetBusy(bool busy) override { form_.setEnabled(!busy); }
    void SetProgress(int maximum, int value) override { ShowProgress(form_.COMM_GAUGE, maximum, value); }
    void Refresh() override { form_.ShowRowCount(); }

private:
    TFileDialog &form_;
};

TFileDialog::TFileDialog(QWidget *parent, MainOperations &main, const QString &programFolder, const QDate &today)
    : QDialog(parent), main_(main), folder_(programFolder), doc_(new ScenarioDocument(this)),
      view_(std::make_unique<View>(*this)), transfer_(std::make_unique<ScenarioTransfer>(main, *view_, *doc_))
{
    setObjectName(QStringLiteral("FileDialog"));
    BuildControls();
    ApplyLanguage();

    const QString start = ScenarioStartFileName(today);
    openName_ = folder_.isEmpty() ? start : folder_ + QLatin1Char('/') + start;
    saveName_ = openName_;
    for (int slot = 0; slot < kScenarioSlotCount; ++slot)
        FILE_NUM->addItem(QStringLiteral("S") + QString::number(slot));
    FILE_NUM->setCurrentIndex(0);
    ShowRowCount();
    resize(kDefaultWidth, kDefaultHeight);
}

TFileDialog::~TFileDialog() = default;

QToolButton *TFileDialog::AddButton(const char *name, int hint, const QIcon &icon)
{
    auto *button = new QToolButton(ToolBar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(icon);
    button->setProperty("hint", hint);
    ToolBar->addWidget(button);
    return button;
}

QAction *TFileDialog::AddMenuItem(const char *name, int caption)
{
    QAction *action = Popup1->addAction(QString());
    action->setObjectName(QLatin1String(name));
    action->setProperty("caption", caption);
    return action;
}

void TFileDialog::BuildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(20, 20));
    auto standard = [this](QStyle::StandardPixmap pixmap) { return style()->standardIcon(pixmap); };
    MOT_READ_BTN = AddButton("MOT_READ_BTN", ScnHintMotRead, standard(QStyle::SP_BrowserReload));
    NEW_BTN = AddButton("NEW_BTN", ScnHintNew, standard(QStyle::SP_FileIcon));
    OPEN_BTN = AddButton("OPEN_BTN", ScnOpen, standard(QStyle::SP_DialogOpenButton));
    SAVE_BTN = AddButton("SAVE_BTN", ScnSave, standard(QStyle::SP_DialogSaveButton));
    ToolBar->addSeparator();
    // The motion editor's drawings: one picture per action in both editors.
    COPY_BTN = AddButton("COPY_BTN", ScnCopy, OrvaneIcon(QStringLiteral("COPY_BTN")));
    CUT_BTN = AddButton("CUT_BTN", ScnCut, OrvaneIcon(QStringLiteral("CUT_BTN")));
    PASTE_BTN = AddButton("PASTE_BTN", ScnPaste, OrvaneIcon(QStringLiteral("PASTE_BTN")));
    ToolBar->addSeparator();
    FILE_DOWN_BTN = AddButton("FILE_DOWN_BTN", ScnDown, standard(QStyle::SP_ArrowDown));
    FILE_UP_BTN = AddButton("FILE_UP_BTN", ScnUp, standard(QStyle::SP_ArrowUp));
    DELETE_BTN = AddButton("DELETE_BTN", ScnDelete, standard(QStyle::SP_DialogCancelButton));
    FILE_DOWN_BTN->setProperty("tag", 0);
    FILE_UP_BTN->setProperty("tag", 1);
    auto *gap = new QWidget(ToolBar);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar->addWidget(gap);
    FILE_WRITE_BTN = AddButton("FILE_WRITE_BTN", ScnHintWrite, standard(QStyle::SP_ArrowForward));
    FILE_READ_BTN = AddButton("FILE_READ_BTN", ScnHintRead, standard(QStyle::SP_ArrowBack));
    FILE_FORMAT_BTN = AddButton("FILE_FORMAT_BTN", ScnHintClear, standard(QStyle::SP_TrashIcon));
    FILE_BTN = AddButton("FILE_BTN", ScnHintPlay, standard(QStyle::SP_MediaPlay));
    FILE_NUM = new QComboBox(ToolBar);
    FILE_NUM->setObjectName(QStringLiteral("FILE_NUM"));
    ToolBar->addWidget(FILE_NUM);
    layout->addWidget(ToolBar);

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
    layout->addWidget(labels);

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
    FileList->setContextMenuPolicy(Qt::CustomContextMenu);
    FileList->installEventFilter(this);
    FileList->viewport()->installEventFilter(this);
    listLayout->addWidget(MotList);
    listLayout->addWidget(FileList, 1);
    layout->addWidget(lists, 1);

    Popup1 = new QMenu(this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    MOV_UP_MENU = AddMenuItem("MOV_UP_MENU", ScnUp);
    MOV_DOWN_MENU = AddMenuItem("MOV_DOWN_MENU", ScnDown);
    MOV_UP_MENU->setProperty("tag", 1);
    MOV_DOWN_MENU->setProperty("tag", 0);
    Popup1->addSeparator();
    CUT_MENU = AddMenuItem("CUT_MENU", ScnCut);
    COPY_MENU = AddMenuItem("COPY_MENU", ScnCopy);
    PASTE_MENU = AddMenuItem("PASTE_MENU", ScnPaste);
    Popup1->addSeparator();
    DELETE_MENU = AddMenuItem("DELETE_MENU", ScnDelete);
    Popup1->addSeparator();
    UNDO_MENU = AddMenuItem("UNDO_MENU", ScnUndo);
    REDO_MENU = AddMenuItem("REDO_MENU", ScnRedo);
    UNDO_MENU->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    REDO_MENU->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    UNDO_MENU->setEnabled(false);
    REDO_MENU->setEnabled(false);
    // The keys work anywhere in the window, not only with the menu open.
    addAction(UNDO_MENU);
    addAction(REDO_MENU);
    connect(doc_->UndoStack(), &QUndoStack::canUndoChanged, UNDO_MENU, &QAction::setEnabled);
    connect(doc_->UndoStack(), &QUndoStack::canRedoChanged, REDO_MENU, &QAction::setEnabled);

    auto *bottom = new QWidget(this);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 2, 4, 2);
    COMM_GAUGE = new QProgressBar(bottom);
    COMM_GAUGE->setObjectName(QStringLiteral("COMM_GAUGE"));
    COMM_GAUGE->setTextVisible(false);
    COMM_GAUGE->setRange(0, 100);
    COMM_GAUGE->setValue(0);
    FILE_COUNT_LABEL = new QLabel(bottom);
    FILE_COUNT_LABEL->setObjectName(QStringLiteral("FILE_COUNT_LABEL"));
    FILE_COUNT_LABEL->setMinimumWidth(90);
    bottomLayout->addWidget(COMM_GAUGE, 1);
    bottomLayout->addWidget(FILE_COUNT_LABEL);
    layout->addWidget(bottom);

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
    connect(FileList, &QTableView::customContextMenuRequested, this,
            [this](const QPoint &pos) { Popup1->popup(FileList->viewport()->mapToGlobal(pos)); });
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
    for (QToolButton *button : ToolBar->findChildren<QToolButton *>()) {
        const QVariant hint = button->property("hint");
        if (hint.isValid())
            button->setToolTip(Text(hint.toInt()));
    }
    FILE_NUM->setToolTip(Text(ScnHintFileNum));
    MotListLabel->setText(Text(ScnMotionListLabel));
    FileListLabel->setText(Text(ScnScenarioLabel));
    for (QAction *item : Popup1->actions()) {
        const QVariant caption = item->property("caption");
        if (caption.isValid())
            item->setText(Text(caption.toInt()));
    }
}

bool TFileDialog::TransferRunning() const { return transfer_->Running(); }

void TFileDialog::reject()
{
    if (!TransferRunning())
        QDialog::reject();
}

QList<int> TFileDialog::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : FileList->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

PromptAnswer TFileDialog::Ask(int entry, PromptButtons buttons)
{
    return main_.UserPrompt().Message(PromptIcon::Question, Text(ScnConfirmTitle), Text(entry), buttons);
}

void TFileDialog::Warn(const QString &text)
{
    main_.UserPrompt().Message(PromptIcon::Warning, Text(ScnWarningTitle), text, PromptButtons::Ok);
}

void TFileDialog::ShowRowCount() { FILE_COUNT_LABEL->setText(ScenarioCountText(doc_->RowCount())); }

void TFileDialog::SelectFocusRow()
{
    const QModelIndex current = FileList->currentIndex();
    if (current.isValid())
        FileList->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TFileDialog::NEW_BTNClick()
{
    if (Ask(ScnDataLost, PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    doc_->New();
    ShowRowCount();
}

void TFileDialog::OPEN_BTNClick()
{
    if (doc_->HoldsData() && Ask(ScnDataLost, PromptButtons::YesNo) != PromptAnswer::Yes) {
        ShowRowCount();
        return;
    }
    const QString path = main_.UserPrompt().OpenFile(Text(ScnOpen), Text(ScnFileFilter), openName_);
    if (path.isEmpty()) {
        ShowRowCount();
        return;
    }
    openName_ = path;
    const ScenarioFileLoad load = doc_->LoadFile(path);
    if (load.error == ScenarioFileError::CannotRead)
        Warn(Text(ScnFileRejected) + QStringLiteral("\r\n") + load.detail);
    else if (!load.ok())
        Warn(Text(ScnFileRejected));
    ShowRowCount();
}

void TFileDialog::SAVE_BTNClick()
{
    if (!doc_->CanSave()) {
        Warn(Text(ScnSaveEmpty));
        return;
    }
    QString path = main_.UserPrompt().SaveFile(Text(ScnSave), Text(ScnFileFilter), saveName_);
    if (path.isEmpty())
        return;
    path = WithScenarioExtension(path);
    saveName_ = path;
    QString error;
    if (!doc_->SaveFile(path, &error))
        Warn(Text(ScnSaveFailed) + QStringLiteral("\r\n") + error);
}

void TFileDialog::COPY_BTNClick() { doc_->Copy(SelectedRows()); }

void TFileDialog::CUT_BTNClick()
{
    if (doc_->Cut(SelectedRows()) < 0)
        return;
    SelectFocusRow();
    ShowRowCount();
}

void TFileDialog::PASTE_BTNClick()
{
    doc_->Paste(SelectedRows(), [this] { return Ask(ScnPasteAfterLast, PromptButtons::YesNo) == PromptAnswer::Yes; });
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
    SelectFocusRow();
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

bool TFileDialog::FileListKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    return RunListKey(key, modifiers,
                      {{},
                       [this] { DELETE_BTNClick(); },
                       [this] { COPY_BTNClick(); },
                       [this] { CUT_BTNClick(); },
                       [this] { PASTE_BTNClick(); }});
}

bool TFileDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FileList) {
        if (FilterListKeyEvent(event, false,
                               [this](int key, Qt::KeyboardModifiers m) { return FileListKeyDown(key, m); }))
            return true;
    } else if (watched == FileList->viewport()) {
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
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
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
    if (rows.isEmpty())
        return;
    QItemSelection selection;
    for (const auto &[first, count] : rows)
        if (count > 0)
            selection.select(Scenario()->index(first, 0), Scenario()->index(first + count - 1, 0));
    FileList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const int first = rows.first().first;
    if (first < doc_->RowCount()) {
        FileList->selectionModel()->setCurrentIndex(Scenario()->index(first, 0), QItemSelectionModel::NoUpdate);
        FileList->scrollTo(Scenario()->index(first, 0));
    }
}
