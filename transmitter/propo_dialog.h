#pragma once
// TPropoDialog: the transmitter assignment window. It shows the assignment document (the control assignment
// with its own scenario and motion lists), routes the user's edits to it, asks the described questions, keeps
// the data in files and transfers the table to and from the boards. Created once at start and shown modally
// by the main window; the data and its history stay between openings.

#include "transmitter/assignment_document.h"
#include "transmitter/assignment_transfer.h"

#include <QDialog>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <memory>

class MainOperations;
class QAction;
class QDragMoveEvent;
class QLabel;
class QProgressBar;
class QSplitter;
class QTableWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TButtonDialog;

class TPropoDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kGridColumns = 6;
    static constexpr int kGridRows = 33;
    // A row dragged from SceList or MotList travels under its list's own type.
    static const QString SceneRowMimeType;
    static const QString MotionRowMimeType;

    TPropoDialog(QWidget *parent, MainOperations &main);
    ~TPropoDialog() override;

    // The key pattern dialog is created after this window; until it is set, keys are named by the table.
    void SetButtonDialog(TButtonDialog *dialog) { buttonDialog_ = dialog; }

    const orvane::ControlAssignment &Assignment() const { return document_.Assignment(); }
    orvane::AssignmentDocument &Document() { return document_; }
    // Refill the list controls and every cell from the data (the window also follows the document's signals).
    void ShowLists();
    void RedrawCells();
    void RedrawCell(int entry);
    bool TransferRunning() const;

    // Event handlers, named after their controls.
    void FormCreate();
    void OPEN_BTNClick();
    void SAVE_BTNClick();
    void DEF_SCR_BTNClick();
    void PCM_WRITE_BTNClick();
    void PCM_READ_BTNClick();
    void PCM_FORMAT_BTNClick();
    void DELETE_BTNClick();
    void SceListDblClick();
    void MotListDblClick();
    void KeyListDblClick();
    // True when the drop would be taken; the selected cell follows the cell under the mouse.
    bool KeyListDragOver(const QString &mimeType, const QPoint &viewportPos);
    void KeyListDragDrop(const QString &mimeType, const QPoint &viewportPos);
    // True when the key was acted on.
    bool KeyListKeyDown(int key);
    // Nothing happens while a transfer runs.
    void UNDO_MENUClick();
    void REDO_MENUClick();

    // Controls, by their names.
    QToolBar *ToolBar;
    QToolButton *OPEN_BTN, *SAVE_BTN, *DEF_SCR_BTN;
    QToolButton *PCM_WRITE_BTN, *PCM_READ_BTN, *PCM_FORMAT_BTN, *DELETE_BTN;
    QLabel *ListsLabel, *GridLabel;
    QSplitter *ListSplitter;
    QTreeWidget *SceList, *MotList;
    QTableWidget *KeyList;
    QProgressBar *COMM_GAUGE;
    QAction *UNDO_MENU, *REDO_MENU;

    // Escape and the close box wait until a transfer has ended.
    void reject() override;

private:
    class View;

    void BuildControls();
    QToolButton *AddButton(const char *name, int hint, int icon);
    QTreeWidget *AddList(const char *name, const QString &caption, const QString &mimeType);
    QAction *AddAction(const char *name, int caption, const QList<QKeySequence> &keys);
    void FillList(QTreeWidget *list, const orvane::SlotList &rows);
    void Rename(QTreeWidget *list, orvane::SlotListKind kind, int promptEntry);
    orvane::KeyNames Names() const;
    int SelectedEntry() const;
    // The grid cell under a point of its viewport, or -1 outside the assignment cells.
    int EntryAt(const QPoint &viewportPos, int *row, int *column) const;
    void Tell(PromptIcon icon, int entry, const QString &detail = {});

    MainOperations &main_;
    TButtonDialog *buttonDialog_ = nullptr;
    orvane::AssignmentDocument document_;
    std::unique_ptr<View> view_;
    std::unique_ptr<orvane::AssignmentTransfer> transfer_;
    // Each dialog keeps the name last chosen in it.
    QString openName_;
    QString saveName_;
};
