#pragma once
// TPropoDialog: the transmitter assignment window. It owns the control assignment and its own scenario and
// motion lists, edits them, keeps them in files and transfers the table to and from the boards. Created
// once at start and shown modally by the main window; the data stays between openings.

#include "transmitter/assignment_transfer.h"
#include "transmitter/control_assignment.h"

#include <QDialog>
#include <QString>

#include <memory>

class MainOperations;
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

    const orvane::ControlAssignment &Assignment() const { return assignment_; }
    orvane::ControlAssignment &Assignment() { return assignment_; }
    // Refill the list controls and every cell from the data.
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

    // Controls, by their names.
    QToolBar *ToolBar;
    QToolButton *OPEN_BTN, *SAVE_BTN, *DEF_SCR_BTN;
    QToolButton *PCM_WRITE_BTN, *PCM_READ_BTN, *PCM_FORMAT_BTN, *DELETE_BTN;
    QLabel *ListsLabel, *GridLabel;
    QSplitter *ListSplitter;
    QTreeWidget *SceList, *MotList;
    QTableWidget *KeyList;
    QProgressBar *COMM_GAUGE;

    // Escape and the close box wait until a transfer has ended.
    void reject() override;

private:
    class View;

    void BuildControls();
    QToolButton *AddButton(const char *name, int hint, int icon);
    QTreeWidget *AddList(const char *name, const QString &caption, const QString &mimeType);
    void FillList(QTreeWidget *list, const orvane::SlotList &rows);
    void Rename(QTreeWidget *list, orvane::SlotList &rows, int promptEntry);
    orvane::KeyNames Names() const;
    int SelectedEntry() const;
    // The grid cell under a point of its viewport, or -1 outside the assignment cells.
    int EntryAt(const QPoint &viewportPos, int *row, int *column) const;
    void Tell(PromptIcon icon, int entry, const QString &detail = {});

    MainOperations &main_;
    TButtonDialog *buttonDialog_ = nullptr;
    orvane::ControlAssignment assignment_;
    std::unique_ptr<View> view_;
    std::unique_ptr<orvane::AssignmentTransfer> transfer_;
    QString fileName_;
};
