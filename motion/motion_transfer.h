#pragma once
// The motion transfers between the editor's list and a motion slot of the boards: write, read, clear and
// play. Free of widgets: the editor lends its progress bar, its enabling and its refresh through
// TransferView, and the main window's operations come through MainOperations.
//
// Everything runs on the user-interface thread; the commands dispatch window messages while they wait,
// which is why a transfer keeps its own copy of the rows it sends.

#include "motion/motion_data.h"
#include "session/slot_list.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

class MainOperations;

namespace orvane {

constexpr int kSlotRowLimit = 100;
constexpr int kBoardChannels = kChannelsPerBoard;

// One row as the boards take it: the speed and the 24 channel value codes.
struct BoardRow {
    std::uint8_t speed = 0;
    std::array<std::uint8_t, kChannelCount> values{};
};

// The speed and the 24 channel fields of a row; nothing when any of them is no byte (0 to 255), which the
// board frames could not carry without changing it.
std::optional<BoardRow> RowForBoards(const MotionRows &rows, qsizetype row);

// The 27 fields of row `row` (0-based) read back from the boards: NO row + 1, "DATA", speed, values.
QStringList RowFromBoards(int row, const BoardRow &boardRow);

class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void SetBusy(bool busy) = 0;  // the editor window disabled while true
    virtual void SetProgress(int maximum, int value) = 0;
    virtual void Refresh() = 0;  // row count display and graph
};

enum class TransferResult {
    Stopped,  // refused or answered No/Cancel before the boards were touched, or nothing to do
    Succeeded,
    Failed,  // "通信が中断されました" was shown
};

class MotionTransfer {
public:
    MotionTransfer(MainOperations &main, TransferView &view) : main_(main), view_(view) {}

    // Each runs one user command to its end, its messages included, on the motion slot `slot` (0 to 39).
    TransferResult Write(const MotionData &data, int slot);
    // Replaces the rows of `data` only when every row came back.
    TransferResult Read(MotionData &data, int slot);
    // Leaves the editor's rows alone, also when the clear fails.
    TransferResult Clear(int slot);
    TransferResult Play(int slot);

    bool Running() const { return running_; }

private:
    int Id(int group) const;
    // Runs `send` for each present board, the CH1-CH12 board first; the bits of the boards that failed.
    template <typename Send>
    int EachBoard(Send send);
    int SetLength(int slot, int rows, int tries);

    MainOperations &main_;
    TransferView &view_;
    bool running_ = false;
};

}  // namespace orvane
