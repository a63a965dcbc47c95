#pragma once
// The motion transfers between the editor's list and a motion slot of the boards: write, read, clear and
// play. Free of widgets: the editor lends its progress bar, its enabling and its refresh through
// TransferView, and the main window's operations come through MainOperations.
//
// The frame of each transfer (guard, disabling, boards in turn, closing question, failure box) is
// BoardTransfer's; the editor disables its window before the boards are put to sleep.

#include "motion/motion_data.h"
#include "session/board_transfer.h"
#include "session/slot_list.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

class MainOperations;

namespace orvane {

class MotionDocument;

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

class MotionTransfer {
public:
    MotionTransfer(MainOperations &main, TransferView &view)
        : main_(main), view_(view), transfer_(main, view, TransferOrder::BusyBeforeSleep)
    {}

    // Each runs one user command to its end, its messages included, on the motion slot `slot` (0 to 39).
    TransferResult Write(const MotionData &data, int slot);
    // Replaces the document's rows (one undo step) only when every row came back.
    TransferResult Read(MotionDocument &document, int slot);
    // Leaves the editor's rows alone, also when the clear fails.
    TransferResult Clear(int slot);
    TransferResult Play(int slot);

    bool Running() const { return transfer_.Running(); }

private:
    MainOperations &main_;
    TransferView &view_;
    BoardTransfer transfer_;
};

}  // namespace orvane
