#pragma once
// The scenario editor's board transfers: read the motion list, write, read, clear and play a scenario slot.
// Free of widgets: the editor lends its progress bar, its enabling and its row count display through
// TransferView, and the main window's sleep operations come through MainOperations.
//
// The frame of each transfer is BoardTransfer's; the editor is disabled as soon as the boards sleep. The
// commands dispatch window messages while they wait, so a transfer works on its own copies and touches the
// document's lists only when it has everything. Each list change a transfer makes is one step of the
// document's history; the frames themselves are never taken back.

#include "scenario/scenario_document.h"
#include "session/board_transfer.h"

#include <QString>

class MainOperations;

namespace orvane {

class ScenarioTransfer {
public:
    ScenarioTransfer(MainOperations &main, TransferView &view, ScenarioDocument &document)
        : main_(main), view_(view), doc_(document), transfer_(main, view, TransferOrder::BusyOnceAsleep)
    {}

    // Each runs one user command to its end, its messages included. `slot` is the scenario number 0 to 3.
    TransferResult ReadMotionList();
    // `slotText` is the chosen item's text ("S2"), which opens the question.
    TransferResult Write(int slot, const QString &slotText);
    // Replaces the scenario only when every row came back alike from both boards.
    TransferResult Read(int slot);
    // Empties the scenario only when the boards took the empty slot, its length included.
    TransferResult Clear(int slot);
    TransferResult Play(int slot);

    bool Running() const { return transfer_.Running(); }

private:
    // The motion list read inside a running transfer; false when it failed (the run's mask says so).
    bool ReadMotionListSteps(BoardTransfer::Run &run);

    MainOperations &main_;
    TransferView &view_;
    ScenarioDocument &doc_;
    BoardTransfer transfer_;
};

}  // namespace orvane
