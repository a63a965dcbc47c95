#pragma once
// The control assignment's transfers to and from the boards: write, read and clear. Free of widgets: the
// window lends its progress bar, its enabling and its redraws through AssignmentView; the main window's
// operations come through MainOperations. The frame of each transfer is BoardTransfer's; the window is
// disabled as soon as the boards sleep. Each entry and each slot goes to every present board before the
// answers are judged. What a transfer changes in the document is one undo step; its frames are not.

#include "transmitter/assignment_document.h"

#include "session/board_transfer.h"

class MainOperations;

namespace orvane {

// Refresh redraws all 160 cells.
class AssignmentView : public TransferView {
public:
    virtual void ShowLists() = 0;  // the scenario and motion list controls
};

class AssignmentTransfer {
public:
    AssignmentTransfer(MainOperations &main, AssignmentView &view, AssignmentDocument &document)
        : main_(main), view_(view), document_(document), transfer_(main, view, TransferOrder::BusyOnceAsleep)
    {}

    TransferResult Write();
    // The table is replaced only when all 160 entries came back valid and alike from both boards; each
    // list only when its own read went through.
    TransferResult Read();
    // Empties the window's table only when every board took all 160 empty entries.
    TransferResult Clear();

    bool Running() const { return transfer_.Running(); }

private:
    // The write of `table`, asked by `question` with `icon`, closed by `done`.
    RowWrite TableWrite(const AssignmentTable &table, int question, PromptIcon icon, int done) const;
    // Reads all entries; false on a failed command or boards that disagree. A board holding an invalid
    // target leaves the table as it was, the user told so.
    bool ReadTable(BoardTransfer::Run &run);
    bool ReadList(BoardTransfer::Run &run, SlotListKind kind, int titleEntry, int promptEntry);

    MainOperations &main_;
    AssignmentView &view_;
    AssignmentDocument &document_;
    BoardTransfer transfer_;
};

}  // namespace orvane
