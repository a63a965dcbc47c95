#pragma once
// The control assignment's transfers to and from the boards: write, read and clear. Free of widgets: the
// window lends its progress bar, its enabling and its redraws through AssignmentView; the main window's
// operations come through MainOperations. All on the user-interface thread; the commands dispatch window
// messages while they wait, so each transfer sends from its own copy of the table.

#include "transmitter/control_assignment.h"

#include "session/prompt.h"

class MainOperations;

namespace orvane {

class AssignmentView {
public:
    virtual ~AssignmentView() = default;
    virtual void SetBusy(bool busy) = 0;  // the window disabled while true
    virtual void SetProgress(int maximum, int value) = 0;
    virtual void RedrawCells() = 0;  // all 160 cells
    virtual void ShowLists() = 0;    // the scenario and motion list controls
};

enum class AssignmentTransferResult {
    Stopped,  // answered No before the boards were touched, or already running
    Succeeded,
    Failed,  // "通信が中断されました" was shown
};

class AssignmentTransfer {
public:
    AssignmentTransfer(MainOperations &main, AssignmentView &view, ControlAssignment &assignment)
        : main_(main), view_(view), assignment_(assignment)
    {}

    AssignmentTransferResult Write();
    // The table is replaced only when all 160 entries came back valid and alike from both boards; each
    // list only when its own read went through.
    AssignmentTransferResult Read();
    // Empties the window's table only when every board took all 160 empty entries.
    AssignmentTransferResult Clear();

    bool Running() const { return running_; }

private:
    // Runs `send` for each present board, the CH1-CH12 board first; false when any failed.
    template <typename Send>
    bool EachBoard(Send send);
    bool SendTable(const AssignmentTable &table);
    // Reads all entries; false on a failed command or boards that disagree. `valid` false when a board
    // held an invalid target (the user was told; the table stays).
    bool ReadTable(bool &valid);
    bool ReadList(SlotList &list, int titleEntry, int promptEntry, bool scenarios);
    bool AskYes(int entry, PromptIcon icon);
    void OfferRelease(int entry);
    void TellFailed();

    MainOperations &main_;
    AssignmentView &view_;
    ControlAssignment &assignment_;
    bool running_ = false;
};

}  // namespace orvane
