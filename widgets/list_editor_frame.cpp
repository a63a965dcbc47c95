#include "widgets/list_editor_frame.h"

#include "session/main_operations.h"
#include "widgets/icons.h"
#include "widgets/progress.h"

#include <QAction>
#include <QHBoxLayout>
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

ListEditorFrame::ListEditorFrame(QWidget &window, MainOperations &main, const Texts &texts)
    : QObject(&window), window_(window), main_(main), texts_(texts), layout_(new QVBoxLayout(&window)),
      toolBar_(new QToolBar(&window))
{
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setIconSize(QSize(20, 20));
    layout_->addWidget(toolBar_);
}

QToolButton *ListEditorFrame::AddButton(const char *name, int hint, const QString &picture)
{
    auto *button = new QToolButton(toolBar_);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(OrvaneIcon(picture.isEmpty() ? button->objectName() : picture));
    button->setProperty("hint", hint);
    toolBar_->addWidget(button);
    return button;
}

void ListEditorFrame::AddSeparator() { toolBar_->addSeparator(); }

void ListEditorFrame::AddGap()
{
    auto *gap = new QWidget(toolBar_);
    gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(gap);
}

void ListEditorFrame::AddToolWidget(QWidget *widget) { toolBar_->addWidget(widget); }

QTableView *ListEditorFrame::MakeList(QWidget *parent, const char *name, QAbstractItemModel *model)
{
    auto *list = new QTableView(parent);
    list->setObjectName(QLatin1String(name));
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setCornerButtonEnabled(false);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setHighlightSections(false);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return list;
}

QMenu *ListEditorFrame::AddPopup()
{
    auto *popup = new QMenu(&window_);
    popup->setObjectName(QStringLiteral("Popup1"));
    return popup;
}

QAction *ListEditorFrame::AddMenuItem(QMenu *menu, const char *name, int caption)
{
    QAction *action = menu->addAction(QString());
    action->setObjectName(QLatin1String(name));
    action->setProperty("caption", caption);
    return action;
}

void ListEditorFrame::AttachList(QTableView *list, QMenu *popup, ListKeyActions keys)
{
    list_ = list;
    keys_ = std::move(keys);
    list->installEventFilter(this);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QTableView::customContextMenuRequested, popup,
            [list, popup](const QPoint &pos) { popup->popup(list->viewport()->mapToGlobal(pos)); });
}

void ListEditorFrame::AddUndoRedo(QMenu *popup, QUndoStack *stack)
{
    popup->addSeparator();
    undo_ = AddMenuItem(popup, "UNDO_MENU", texts_.undo);
    redo_ = AddMenuItem(popup, "REDO_MENU", texts_.redo);
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    undo_->setEnabled(stack->canUndo());
    redo_->setEnabled(stack->canRedo());
    // The keys work anywhere in the window, not only with the menu open.
    window_.addAction(undo_);
    window_.addAction(redo_);
    connect(stack, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
}

void ListEditorFrame::AddBottomBar(const char *countName)
{
    auto *bottom = new QWidget(&window_);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 2, 4, 2);
    gauge_ = new QProgressBar(bottom);
    gauge_->setObjectName(QStringLiteral("COMM_GAUGE"));
    gauge_->setTextVisible(false);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    count_ = new QLabel(bottom);
    count_->setObjectName(QLatin1String(countName));
    count_->setMinimumWidth(90);
    bottomLayout->addWidget(gauge_, 1);
    bottomLayout->addWidget(count_);
    layout_->addWidget(bottom);
}

void ListEditorFrame::ApplyTexts(QMenu *popup)
{
    for (QToolButton *button : toolBar_->findChildren<QToolButton *>()) {
        const QVariant hint = button->property("hint");
        if (hint.isValid())
            button->setToolTip(texts_.text(hint.toInt()));
    }
    for (QAction *item : popup->actions()) {
        const QVariant caption = item->property("caption");
        if (caption.isValid())
            item->setText(texts_.text(caption.toInt()));
    }
}

PromptAnswer ListEditorFrame::Ask(int entry, PromptButtons buttons)
{
    return main_.UserPrompt().Message(PromptIcon::Question, texts_.text(texts_.confirmTitle), texts_.text(entry),
                                      buttons);
}

void ListEditorFrame::Warn(const QString &text)
{
    main_.UserPrompt().Message(PromptIcon::Warning, texts_.text(texts_.warningTitle), text, PromptButtons::Ok);
}

void ListEditorFrame::SetStartName(const QString &folder, const QString &name)
{
    openName_ = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
    saveName_ = openName_;
}

QString ListEditorFrame::OpenFile(const QString &title, const QString &filter)
{
    const QString path = main_.UserPrompt().OpenFile(title, filter, openName_);
    if (!path.isEmpty())
        openName_ = path;
    return path;
}

QString ListEditorFrame::SaveFile(const QString &title, const QString &filter,
                                  QString (*withExtension)(const QString &))
{
    QString path = main_.UserPrompt().SaveFile(title, filter, saveName_);
    if (path.isEmpty())
        return path;
    if (withExtension)
        path = withExtension(path);
    saveName_ = path;
    return path;
}

void ListEditorFrame::SetBusy(bool busy) { window_.setEnabled(!busy); }

void ListEditorFrame::SetProgress(int maximum, int value)
{
    if (gauge_)
        ShowProgress(gauge_, maximum, value);
}

void ListEditorFrame::Refresh()
{
    if (refresh_)
        refresh_();
}

QList<int> ListEditorFrame::SelectedRows(const QTableView *list)
{
    QList<int> rows;
    for (const QModelIndex &index : list->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListEditorFrame::SelectFocusRow(QTableView *list)
{
    const QModelIndex current = list->currentIndex();
    if (current.isValid())
        list->selectionModel()->select(current, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ListEditorFrame::ShowRows(QTableView *list, int from, int count) { ShowRows(list, {{from, count}}); }

void ListEditorFrame::ShowRows(QTableView *list, const QList<QPair<int, int>> &runs)
{
    if (runs.isEmpty())
        return;
    QAbstractItemModel *model = list->model();
    QItemSelection selection;
    for (const auto &[from, count] : runs)
        if (count > 0)
            selection.select(model->index(from, 0), model->index(from + count - 1, model->columnCount() - 1));
    list->clearSelection();
    list->selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int from = runs.first().first;
    if (from < model->rowCount()) {
        list->selectionModel()->setCurrentIndex(model->index(from, 0), QItemSelectionModel::NoUpdate);
        list->scrollTo(model->index(from, 0));
    }
}

bool ListEditorFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_ && FilterListKeyEvent(event, bool(keys_.insert), [this](int key, Qt::KeyboardModifiers m) {
            return RunListKey(key, m, keys_);
        }))
        return true;
    return QObject::eventFilter(watched, event);
}
