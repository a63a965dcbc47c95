#pragma once
// The frame the list editors share (the motion editor, the scenario editor): a tool bar of flat picture
// buttons with hints, lists set up alike, the list keys (Insert, Delete, Ctrl+C/X/V with exactly that
// modifier) and the popup on a right click, undo and redo as popup items and window actions, the progress
// bar and the count display at the bottom, questions and warnings under the window's two titles, an open
// and a save dialog that each keep the name last chosen in it, and the transfer hooks (the window disabled
// while the boards are busy, the progress bar, the refresh).
//
// The window keeps its own controls and rules: it lays out what stands between the tool bar and the bottom
// bar, fills the tool bar and the popup in its order, and says what each command does.

#include "session/board_transfer.h"
#include "session/prompt.h"
#include "widgets/list_keys.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>

class MainOperations;
class QAbstractItemModel;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTableView;
class QToolBar;
class QToolButton;
class QUndoStack;
class QVBoxLayout;
class QWidget;

class ListEditorFrame : public QObject, public orvane::TransferView {
public:
    // The window's message table and the entries the frame takes from it.
    struct Texts {
        QString (*text)(int entry);
        int confirmTitle;  // title of questions
        int warningTitle;  // title of warnings and errors
        int undo;          // caption of UNDO_MENU
        int redo;          // caption of REDO_MENU
    };

    // Lays the tool bar ("ToolBar") into a new vertical layout of `window`.
    ListEditorFrame(QWidget &window, MainOperations &main, const Texts &texts);

    QVBoxLayout *Layout() const { return layout_; }
    QToolBar *ToolBar() const { return toolBar_; }

    // A flat button named `name` with the hint `hint` and the picture of `picture` (the name when empty).
    QToolButton *AddButton(const char *name, int hint, const QString &picture = {});
    void AddSeparator();
    // Pushes what follows to the right end of the tool bar.
    void AddGap();
    void AddToolWidget(QWidget *widget);

    // A list as the editors show theirs: whole rows selected, no editing in place, no sorting, no grid,
    // headers that do nothing on a click.
    static QTableView *MakeList(QWidget *parent, const char *name, QAbstractItemModel *model);
    // The popup "Popup1" of the window.
    QMenu *AddPopup();
    QAction *AddMenuItem(QMenu *menu, const char *name, int caption);
    // `list` takes the list keys (a list without Insert leaves keys.insert empty) and opens `popup` on a right
    // click.
    void AttachList(QTableView *list, QMenu *popup, ListKeyActions keys);
    // Appends a separator, UNDO_MENU (Ctrl+Z) and REDO_MENU (Ctrl+Shift+Z, Ctrl+Y) to `popup`, also as window
    // actions so the keys work with the popup closed, enabled as `stack` can undo and redo. The window
    // connects their triggers.
    void AddUndoRedo(QMenu *popup, QUndoStack *stack);
    QAction *UndoAction() const { return undo_; }
    QAction *RedoAction() const { return redo_; }

    // The bottom bar: COMM_GAUGE and the count display named `countName`.
    void AddBottomBar(const char *countName);
    QProgressBar *Gauge() const { return gauge_; }
    QLabel *CountLabel() const { return count_; }

    // Hints of the tool buttons and captions of `popup`'s items, from the message table.
    void ApplyTexts(QMenu *popup);

    PromptAnswer Ask(int entry, PromptButtons buttons);
    void Warn(const QString &text);

    // Both dialogs start with `folder`/`name` (just `name` without a folder).
    void SetStartName(const QString &folder, const QString &name);
    // Empty when cancelled; otherwise the dialog's next start.
    QString OpenFile(const QString &title, const QString &filter);
    // The chosen name with `withExtension` applied (when given) becomes the dialog's next start.
    QString SaveFile(const QString &title, const QString &filter, QString (*withExtension)(const QString &) = nullptr);

    // Transfer hooks: the window disabled while busy, the progress bar, and `refresh` (set by the window).
    void SetBusy(bool busy) override;
    void SetProgress(int maximum, int value) override;
    void Refresh() override;
    void OnRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }

    // Selected rows of `list`, ascending.
    static QList<int> SelectedRows(const QTableView *list);
    // Selects the row holding the keyboard focus, if any, as well.
    static void SelectFocusRow(QTableView *list);
    // Selects exactly rows [from, from + count) and brings `from` into view: what an undo or redo touched.
    static void ShowRows(QTableView *list, int from, int count);
    // The same for several runs of rows (from, count); the first run's start comes into view. No runs leaves
    // the selection as it is: the step touched no rows of this list.
    static void ShowRows(QTableView *list, const QList<QPair<int, int>> &runs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &window_;
    MainOperations &main_;
    Texts texts_;
    QVBoxLayout *layout_;
    QToolBar *toolBar_;
    QProgressBar *gauge_ = nullptr;
    QLabel *count_ = nullptr;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    QTableView *list_ = nullptr;
    ListKeyActions keys_;
    std::function<void()> refresh_;
    QString openName_;
    QString saveName_;
};
