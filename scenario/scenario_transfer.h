#pragma once
// The scenario editor's board transfers: read the motion list, write, read, clear and play a scenario slot.
// Free of widgets: the editor lends its progress bar, its enabling and its row count display through
// ScenarioTransferView, and the main window's sleep operations come through MainOperations.
//
// Everything runs on the user-interface thread. The commands dispatch window messages while they wait, so a
// transfer works on its own copies and touches the window's lists only when it has everything.

#include "scenario/scenario_data.h"

#include <QString>

class MainOperations;

namespace orvane {

class ScenarioTransferView {
public:
    virtual ~ScenarioTransferView() = default;
    virtual void SetBusy(bool busy) = 0;  // the window disabled while true
    virtual void SetProgress(int maximum, int value) = 0;
    virtual void ShowRowCount() = 0;
};

enum class ScenarioResult {
    Stopped,  // refused or answered No/Cancel, or nothing to do
    Succeeded,
    Failed,  // a message said what went wrong
};

class ScenarioTransfer {
public:
    ScenarioTransfer(MainOperations &main, ScenarioTransferView &view, MotionListModel &motions,
                     ScenarioModel &scenario)
        : main_(main), view_(view), motions_(motions), scenario_(scenario)
    {}

    // Each runs one user command to its end, its messages included. `slot` is the scenario number 0 to 3.
    ScenarioResult ReadMotionList();
    // `slotText` is the chosen item's text ("S2"), which opens the question.
    ScenarioResult Write(int slot, const QString &slotText);
    ScenarioResult Read(int slot);
    ScenarioResult Clear(int slot);
    ScenarioResult Play(int slot);

    bool Running() const { return running_; }

private:
    class Busy;
    template <typename Send>
    int EachBoard(Send send);
    ScenarioResult ReadMotionListSteps();
    int SetLength(int slot, int rows);

    MainOperations &main_;
    ScenarioTransferView &view_;
    MotionListModel &motions_;
    ScenarioModel &scenario_;
    bool running_ = false;
    int busyDepth_ = 0;
};

}  // namespace orvane
