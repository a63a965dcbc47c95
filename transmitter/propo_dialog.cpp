#include "transmitter/propo_dialog.h"

#include "session/language.h"
#include "session/main_operations.h"
#include "session/prompt.h"
#include "textfile/file_io.h"
#include "transmitter/assignment_file.h"
#include "transmitter/button_dialog.h"
#include "transmitter/propo_messages.h"
#include "widgets/progress.h"

#include <QAction>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace orvane;

const QString TPropoDialog::SceneRowMimeType = QStringLiteral("application/x-orvane-scelist-row");
const QString TPropoDialog::MotionRowMimeType = QStringLiteral("application/x-orvane-motlist-row");

namespace {

constexpr int kNumberColumnWidth = 32;
constexpr int kCellColumnWidth = 80;
constexpr int kRowHeight = 15;
constexpr int kSceneListHeight = 96;
constexpr std::array<int, 3> kListColumnWidths{50, 80, 55};

// The list's own drag type, so that the grid knows where a row comes from without asking the drag.
QString DragType(const QMimeData *data)
{
    if (data == nullptr)
        return {};
    if (data->hasFormat(TPropoDialog::SceneRowMimeType))
        return TPropoDialog::SceneRowMimeType;
    if (data->hasFormat(TPropoDialog::MotionRowMimeType))
        return TPropoDialog::MotionRowMimeType;
    return {};
}

class SlotListWidget : public QTreeWidget {
public:
    SlotListWidget(const QString &mimeType, QWidget *parent) : QTreeWidget(parent), mimeType_(mimeType) {}

protected:
    QStringList mimeTypes() const override { return {mimeType_}; }
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override
    {
        auto *data = new QMimeData;
        data->setData(mimeType_, QByteArray::number(items.isEmpty() ? -1 : indexOfTopLevelItem(items.first())));
        return data;
    }
    // A row always copies: with Shift held Qt would propose a move and take the row out of the list.
    void startDrag(Qt::DropActions) override
    {
        const QList<QTreeWidgetItem *> items = selectedItems();
        if (items.isEmpty())
            return;
        auto *drag = new QDrag(this);
        drag->setMimeData(mimeData(items));
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    }

private:
    QString mimeType_;
};

// A drop takes a copy of the row whatever the modifier keys propose.
void AcceptCopy(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

// The grid keeps its first row and column in place: two header strips and a corner lie over them, so they
// stay when the cells scroll, take no selection, and the top strip lets the user resize the columns. The
// cells beneath them are still the grid's own.
class AssignmentGrid : public QTableWidget {
public:
    AssignmentGrid(TPropoDialog *owner, QWidget *parent)
        : QTableWidget(TPropoDialog::kGridRows, TPropoDialog::kGridColumns, parent), owner_(owner)
    {
        setHorizontalScrollMode(ScrollPerPixel);
        setVerticalScrollMode(ScrollPerPixel);
        fixedColumn_ = new QHeaderView(Qt::Vertical, this);
        fixedColumn_->setObjectName(QStringLiteral("FixedColumn"));
        fixedRow_ = new QHeaderView(Qt::Horizontal, this);
        fixedRow_->setObjectName(QStringLiteral("FixedRow"));
        for (QHeaderView *strip : {fixedColumn_, fixedRow_}) {
            strip->setModel(model());
            strip->setSectionsClickable(false);
            strip->setHighlightSections(false);
            strip->setDefaultAlignment(Qt::AlignCenter);
            strip->setFocusPolicy(Qt::NoFocus);
        }
        fixedRow_->setSectionResizeMode(QHeaderView::Interactive);
        fixedRow_->setMinimumSectionSize(8);
        fixedColumn_->setSectionResizeMode(QHeaderView::Fixed);
        // The style's least section is taller than a grid row.
        fixedColumn_->setMinimumSectionSize(1);
        corner_ = new QLabel(this);
        corner_->setObjectName(QStringLiteral("FixedCorner"));
        corner_->setAlignment(Qt::AlignCenter);
        corner_->setFrameStyle(QFrame::Panel | QFrame::Raised);
        corner_->setAutoFillBackground(true);
        corner_->setBackgroundRole(QPalette::Button);

        connect(horizontalScrollBar(), &QScrollBar::valueChanged, fixedRow_, &QHeaderView::setOffset);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, fixedColumn_, &QHeaderView::setOffset);
        connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
            fixedRow_->resizeSection(column, size);
            PlaceFixedCells();
        });
        connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
            fixedColumn_->resizeSection(row, size);
            PlaceFixedCells();
        });
        connect(fixedRow_, &QHeaderView::sectionResized, this,
                [this](int column, int, int size) { setColumnWidth(column, size); });
    }

    // Captions of the fixed cells, once the grid holds them.
    void ShowFixedCells()
    {
        QStringList columns;
        for (int c = 0; c < columnCount(); ++c)
            columns << item(0, c)->text();
        QStringList rows;
        for (int r = 0; r < rowCount(); ++r)
            rows << item(r, 0)->text();
        setHorizontalHeaderLabels(columns);
        setVerticalHeaderLabels(rows);
        corner_->setText(item(0, 0)->text());
        for (int c = 0; c < columnCount(); ++c)
            fixedRow_->resizeSection(c, columnWidth(c));
        for (int r = 0; r < rowCount(); ++r)
            fixedColumn_->resizeSection(r, rowHeight(r));
        PlaceFixedCells();
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (DragType(event->mimeData()).isEmpty())
            event->ignore();
        else
            AcceptCopy(event);
    }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (owner_->KeyListDragOver(DragType(event->mimeData()), event->position().toPoint()))
            AcceptCopy(event);
        else
            event->ignore();
    }
    void dropEvent(QDropEvent *event) override
    {
        const QString type = DragType(event->mimeData());
        if (type.isEmpty()) {
            event->ignore();
            return;
        }
        owner_->KeyListDragDrop(type, event->position().toPoint());
        AcceptCopy(event);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!owner_->KeyListKeyDown(event->key()))
            QTableWidget::keyPressEvent(event);
    }
    // The cursor keys never move onto the fixed row or column.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const QModelIndex to = QTableWidget::moveCursor(action, modifiers);
        if (!to.isValid())
            return to;
        return model()->index(std::max(to.row(), 1), std::max(to.column(), 1));
    }
    // A cell brought into view comes out from under the fixed row and column.
    void scrollTo(const QModelIndex &index, ScrollHint hint) override
    {
        QTableWidget::scrollTo(index, hint);
        if (!index.isValid())
            return;
        const int left = columnViewportPosition(index.column());
        if (index.column() > 0 && left < columnWidth(0))
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (columnWidth(0) - left));
        const int top = rowViewportPosition(index.row());
        if (index.row() > 0 && top < rowHeight(0))
            verticalScrollBar()->setValue(verticalScrollBar()->value() - (rowHeight(0) - top));
    }
    void updateGeometries() override
    {
        QTableWidget::updateGeometries();
        PlaceFixedCells();
    }

private:
    void PlaceFixedCells()
    {
        if (fixedRow_ == nullptr)
            return;
        const QRect area = viewport()->geometry();
        fixedColumn_->setGeometry(area.x(), area.y(), columnWidth(0), area.height());
        fixedRow_->setGeometry(area.x(), area.y(), area.width(), rowHeight(0));
        corner_->setGeometry(area.x(), area.y(), columnWidth(0), rowHeight(0));
        fixedColumn_->setOffset(verticalScrollBar()->value());
        fixedRow_->setOffset(horizontalScrollBar()->value());
    }

    TPropoDialog *owner_;
    QHeaderView *fixedColumn_ = nullptr;
    QHeaderView *fixedRow_ = nullptr;
    QLabel *corner_ = nullptr;
};

}  // namespace

class TPropoDialog::View : public AssignmentView {
public:
    explicit View(TPropoDialog &form) : form_(form) {}
    void SetBusy(bool busy) override { form_.setEnabled(!busy); }
    void SetProgress(int maximum, int value) override { ShowProgress(form_.COMM_GAUGE, maximum, value); }
    void Refresh() override { form_.RedrawCells(); }
    void ShowLists() override { form_.ShowLists(); }

private:
    TPropoDialog &form_;
};

TPropoDialog::TPropoDialog(QWidget *parent, MainOperations &main)
    : QDialog(parent), main_(main), view_(std::make_unique<View>(*this))
{
    transfer_ = std::make_unique<AssignmentTransfer>(main_, *view_, document_);
    BuildControls();
    FormCreate();
    connect(&document_, &AssignmentDocument::EntryChanged, this, [this](int entry) { RedrawCell(entry); });
    connect(&document_, &AssignmentDocument::TableChanged, this, [this] { RedrawCells(); });
    connect(&document_, &AssignmentDocument::ListsChanged, this, [this] {
        ShowLists();
        RedrawCells();
    });
}

TPropoDialog::~TPropoDialog() = default;

QToolButton *TPropoDialog::AddButton(const char *name, int hint, int icon)
{
    auto *button = new QToolButton(ToolBar);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    button->setToolTip(kPropoMessages(hint));
    ToolBar->addWidget(button);
    return button;
}

QAction *TPropoDialog::AddAction(const char *name, int caption, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(kPropoMessages(caption), this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

QTreeWidget *TPropoDialog::AddList(const char *name, const QString &caption, const QString &mimeType)
{
    auto *list = new SlotListWidget(mimeType, ListSplitter);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setDragEnabled(true);
    list->setDragDropMode(QAbstractItemView::DragOnly);
    list->header()->setStretchLastSection(false);
    list->setHeaderLabels({QStringLiteral("INDEX"), caption, QStringLiteral("COUNT")});
    for (int c = 0; c < 3; ++c)
        list->setColumnWidth(c, kListColumnWidths[size_t(c)]);
    ListSplitter->addWidget(list);
    return list;
}

void TPropoDialog::BuildControls()
{
    setObjectName(QStringLiteral("TPropoDialog"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setIconSize(QSize(20, 20));
    OPEN_BTN = AddButton("OPEN_BTN", PrpHintOpen, QStyle::SP_DialogOpenButton);
    SAVE_BTN = AddButton("SAVE_BTN", PrpHintSave, QStyle::SP_DialogSaveButton);
    DEF_SCR_BTN = AddButton("DEF_SCR_BTN", PrpHintDefScr, QStyle::SP_FileDialogDetailedView);
    ToolBar->addSeparator();
    PCM_WRITE_BTN = AddButton("PCM_WRITE_BTN", PrpHintWrite, QStyle::SP_ArrowUp);
    PCM_READ_BTN = AddButton("PCM_READ_BTN", PrpHintRead, QStyle::SP_ArrowDown);
    PCM_FORMAT_BTN = AddButton("PCM_FORMAT_BTN", PrpHintClear, QStyle::SP_TrashIcon);
    DELETE_BTN = AddButton("DELETE_BTN", PrpHintDelete, QStyle::SP_DialogCancelButton);
    layout->addWidget(ToolBar);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(2, 0, 2, 0);
    auto *left = new QVBoxLayout;
    ListsLabel = new QLabel(kPropoMessages(PrpListsLabel), this);
    ListsLabel->setObjectName(QStringLiteral("ListsLabel"));
    left->addWidget(ListsLabel);
    ListSplitter = new QSplitter(Qt::Vertical, this);
    ListSplitter->setObjectName(QStringLiteral("ListSplitter"));
    ListSplitter->setChildrenCollapsible(false);
    // Wide enough for the three columns as organised, so the grid keeps the rest.
    ListSplitter->setFixedWidth(kListColumnWidths[0] + kListColumnWidths[1] + kListColumnWidths[2] + 8);
    // The column captions are the file's own words, the same in both languages.
    SceList = AddList("SceList", QStringLiteral("SCENARIO"), SceneRowMimeType);
    MotList = AddList("MotList", QStringLiteral("MOTION"), MotionRowMimeType);
    left->addWidget(ListSplitter, 1);
    body->addLayout(left);

    auto *right = new QVBoxLayout;
    GridLabel = new QLabel(kPropoMessages(PrpGridLabel), this);
    GridLabel->setObjectName(QStringLiteral("GridLabel"));
    right->addWidget(GridLabel);
    auto *grid = new AssignmentGrid(this, this);
    KeyList = grid;
    KeyList->setObjectName(QStringLiteral("KeyList"));
    KeyList->horizontalHeader()->hide();
    KeyList->verticalHeader()->hide();
    KeyList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    KeyList->verticalHeader()->setMinimumSectionSize(kRowHeight);
    KeyList->verticalHeader()->setDefaultSectionSize(kRowHeight);
    KeyList->setSelectionMode(QAbstractItemView::SingleSelection);
    KeyList->setSelectionBehavior(QAbstractItemView::SelectItems);
    KeyList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    KeyList->setDragDropMode(QAbstractItemView::DropOnly);
    KeyList->setAcceptDrops(true);
    KeyList->viewport()->setAcceptDrops(true);
    KeyList->setWordWrap(false);
    // The whole grid at its organised widths, so the window opens without scrolling.
    KeyList->setMinimumSize(kNumberColumnWidth + kCellColumnWidth * kShiftStates + 2 * KeyList->frameWidth(),
                            kRowHeight * kGridRows + 2 * KeyList->frameWidth());
    right->addWidget(KeyList, 1);
    body->addLayout(right, 1);
    layout->addLayout(body, 1);

    COMM_GAUGE = new QProgressBar(this);
    COMM_GAUGE->setObjectName(QStringLiteral("COMM_GAUGE"));
    COMM_GAUGE->setTextVisible(false);
    COMM_GAUGE->setMaximumHeight(14);
    layout->addWidget(COMM_GAUGE);

    connect(OPEN_BTN, &QToolButton::clicked, this, [this] { OPEN_BTNClick(); });
    connect(SAVE_BTN, &QToolButton::clicked, this, [this] { SAVE_BTNClick(); });
    connect(DEF_SCR_BTN, &QToolButton::clicked, this, [this] { DEF_SCR_BTNClick(); });
    connect(PCM_WRITE_BTN, &QToolButton::clicked, this, [this] { PCM_WRITE_BTNClick(); });
    connect(PCM_READ_BTN, &QToolButton::clicked, this, [this] { PCM_READ_BTNClick(); });
    connect(PCM_FORMAT_BTN, &QToolButton::clicked, this, [this] { PCM_FORMAT_BTNClick(); });
    connect(DELETE_BTN, &QToolButton::clicked, this, [this] { DELETE_BTNClick(); });
    connect(SceList, &QTreeWidget::itemDoubleClicked, this, [this] { SceListDblClick(); });
    connect(MotList, &QTreeWidget::itemDoubleClicked, this, [this] { MotListDblClick(); });
    connect(KeyList, &QTableWidget::cellDoubleClicked, this, [this] { KeyListDblClick(); });

    UNDO_MENU = AddAction("UNDO_MENU", PrpUndo, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    REDO_MENU = AddAction("REDO_MENU", PrpRedo,
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(UNDO_MENU, &QAction::triggered, this, [this] { UNDO_MENUClick(); });
    connect(REDO_MENU, &QAction::triggered, this, [this] { REDO_MENUClick(); });
    UNDO_MENU->setEnabled(false);
    REDO_MENU->setEnabled(false);
    connect(&document_.UndoStack(), &QUndoStack::canUndoChanged, UNDO_MENU, &QAction::setEnabled);
    connect(&document_.UndoStack(), &QUndoStack::canRedoChanged, REDO_MENU, &QAction::setEnabled);
    resize(680, 600);
}

void TPropoDialog::FormCreate()
{
    setWindowTitle(kPropoMessages(PrpWindowTitle));
    const QColor fixed = palette().color(QPalette::Button);
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kGridColumns; ++c) {
            auto *item = new QTableWidgetItem;
            if (r == 0 || c == 0) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixed);
                item->setTextAlignment(Qt::AlignCenter);
                if (r == 0)
                    item->setText(kPropoMessages(PrpHeaderNo + c));
                else
                    item->setText(QString::number(r));
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled);
            }
            KeyList->setItem(r, c, item);
        }
    }
    KeyList->setColumnWidth(0, kNumberColumnWidth);
    for (int c = 1; c < kGridColumns; ++c)
        KeyList->setColumnWidth(c, kCellColumnWidth);
    static_cast<AssignmentGrid *>(KeyList)->ShowFixedCells();
    KeyList->setCurrentCell(1, 1);
    ListSplitter->setSizes({kSceneListHeight, 400});
    // The document starts with every entry empty.
    RedrawCells();
}

KeyNames TPropoDialog::Names() const
{
    return buttonDialog_ != nullptr ? buttonDialog_->KeyCaptions() : KeyNamesOf(LanguageIndex);
}

void TPropoDialog::RedrawCell(int entry)
{
    KeyList->item(RowOfEntry(entry), ColumnOfEntry(entry))->setText(Assignment().CellText(entry, Names()));
}

void TPropoDialog::RedrawCells()
{
    const KeyNames names = Names();
    for (int e = 0; e < kAssignmentEntryCount; ++e)
        KeyList->item(RowOfEntry(e), ColumnOfEntry(e))->setText(Assignment().CellText(e, names));
}

void TPropoDialog::FillList(QTreeWidget *list, const SlotList &rows)
{
    // Keep the selected row: a rename refills the list the user is working in.
    const int selected = list->currentIndex().row();
    list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.Size());
    for (const SlotRow &row : rows.Rows())
        items.append(new QTreeWidgetItem(QStringList{row.label, row.name, row.count}));
    list->addTopLevelItems(items);
    if (selected >= 0 && selected < items.size())
        list->setCurrentItem(items[selected]);
}

void TPropoDialog::ShowLists()
{
    FillList(SceList, Assignment().Scenarios());
    FillList(MotList, Assignment().Motions());
}

bool TPropoDialog::TransferRunning() const { return transfer_->Running(); }

void TPropoDialog::reject()
{
    if (!TransferRunning())
        QDialog::reject();
}

void TPropoDialog::Tell(PromptIcon icon, int entry, const QString &detail)
{
    QString text = kPropoMessages(entry);
    if (!detail.isEmpty())
        text += QStringLiteral("\r\n") + detail;
    main_.UserPrompt().Message(icon, kPropoMessages(PrpWarningTitle), text, PromptButtons::Ok);
}

void TPropoDialog::OPEN_BTNClick()
{
    const QString path =
        main_.UserPrompt().OpenFile(kPropoMessages(PrpOpenTitle), kPropoMessages(PrpFileFilter), openName_);
    if (!path.isEmpty()) {
        openName_ = path;
        if (!document_.Load(LoadAssignmentFile(path)))
            Tell(PromptIcon::Warning, PrpFileRejected);
    }
    RedrawCells();
}

void TPropoDialog::SAVE_BTNClick()
{
    if (!Assignment().CanSave()) {
        Tell(PromptIcon::Error, PrpSaveEmpty);
        return;
    }
    QString path =
        main_.UserPrompt().SaveFileReplacing(kPropoMessages(PrpSaveTitle), kPropoMessages(PrpFileFilter), saveName_);
    if (path.isEmpty())
        return;
    path = WithDefaultExtension(path, QStringLiteral(".csv"));
    saveName_ = path;
    QString error;
    if (!SaveAssignmentFile(path, Assignment(), &error))
        Tell(PromptIcon::Error, PrpSaveFailed, error);
}

void TPropoDialog::DEF_SCR_BTNClick()
{
    for (QTreeWidget *list : {SceList, MotList})
        for (int c = 0; c < 3; ++c)
            list->setColumnWidth(c, kListColumnWidths[size_t(c)]);
    KeyList->setColumnWidth(0, kNumberColumnWidth);
    for (int c = 1; c < kGridColumns; ++c)
        KeyList->setColumnWidth(c, kCellColumnWidth);
}

void TPropoDialog::PCM_WRITE_BTNClick() { transfer_->Write(); }
void TPropoDialog::PCM_READ_BTNClick() { transfer_->Read(); }
void TPropoDialog::PCM_FORMAT_BTNClick() { transfer_->Clear(); }

int TPropoDialog::SelectedEntry() const
{
    const QTableWidgetItem *item = KeyList->currentItem();
    if (item == nullptr || !item->isSelected())
        return -1;
    return EntryOfCell(KeyList->currentColumn(), KeyList->currentRow());
}

void TPropoDialog::DELETE_BTNClick()
{
    const int entry = SelectedEntry();
    if (entry >= 0)
        document_.EmptyEntry(entry);
}

bool TPropoDialog::KeyListKeyDown(int key)
{
    if (key != Qt::Key_Delete)
        return false;
    DELETE_BTNClick();
    return true;
}

void TPropoDialog::KeyListDblClick()
{
    const int entry = SelectedEntry();
    if (entry < 0 || buttonDialog_ == nullptr)
        return;
    buttonDialog_->SetPattern(Assignment().Entry(entry).pattern);
    if (buttonDialog_->exec() != QDialog::Accepted)
        return;
    document_.SetPattern(entry, buttonDialog_->GetPattern());
}

int TPropoDialog::EntryAt(const QPoint &viewportPos, int *row, int *column) const
{
    const QModelIndex index = KeyList->indexAt(viewportPos);
    if (!index.isValid())
        return -1;
    *row = index.row();
    *column = index.column();
    return EntryOfCell(*column, *row);
}

bool TPropoDialog::KeyListDragOver(const QString &mimeType, const QPoint &viewportPos)
{
    if (mimeType != SceneRowMimeType && mimeType != MotionRowMimeType)
        return false;
    int row = 0;
    int column = 0;
    if (EntryAt(viewportPos, &row, &column) < 0)
        return false;
    KeyList->setCurrentCell(row, column);
    return true;
}

void TPropoDialog::KeyListDragDrop(const QString &mimeType, const QPoint &viewportPos)
{
    int row = 0;
    int column = 0;
    const int entry = EntryAt(viewportPos, &row, &column);
    if (entry < 0)
        return;
    KeyList->setCurrentCell(row, column);
    const bool scene = mimeType == SceneRowMimeType;
    if (!scene && mimeType != MotionRowMimeType)
        return;
    const QTreeWidget *source = scene ? SceList : MotList;
    QTreeWidgetItem *item = source->currentItem();
    if (item == nullptr || !item->isSelected())
        return;
    document_.DropSlot(entry, scene ? SlotListKind::Scenarios : SlotListKind::Motions,
                       source->indexOfTopLevelItem(item));
}

void TPropoDialog::Rename(QTreeWidget *list, SlotListKind kind, int promptEntry)
{
    QTreeWidgetItem *item = list->currentItem();
    if (item == nullptr || !item->isSelected())
        return;
    const int row = list->indexOfTopLevelItem(item);
    if (!document_.CanRename(kind, row))
        return;
    QString name = document_.List(kind).Row(row).name;
    if (!main_.UserPrompt().Input(kPropoMessages(PrpRenameTitle), kPropoMessages(promptEntry), name))
        return;
    document_.Rename(kind, row, name);
}

void TPropoDialog::SceListDblClick() { Rename(SceList, SlotListKind::Scenarios, PrpRenameScenario); }
void TPropoDialog::MotListDblClick() { Rename(MotList, SlotListKind::Motions, PrpRenameMotion); }

// A transfer's frames are not undone, and its list change is undone only once it has ended.
void TPropoDialog::UNDO_MENUClick()
{
    if (!TransferRunning())
        document_.UndoStack().undo();
}

void TPropoDialog::REDO_MENUClick()
{
    if (!TransferRunning())
        document_.UndoStack().redo();
}
