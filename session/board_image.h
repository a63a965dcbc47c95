#pragma once
// A board image: everything a robot's boards remember (motions, scenarios, transmitter assignments,
// trims, and the home position for reference) in one JSON text, read from and written to the boards
// through the board commands. Widget-free: the command-line tool and the windows run the same code.

#include "protocol/board_facts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvane {

constexpr int kImageVersion = 1;

struct ImageMotionRow {
    std::uint8_t speed = 0;
    std::array<std::uint8_t, kChannelsPerBoard> values{};
    bool operator==(const ImageMotionRow &) const = default;
};

struct ImageAssignment {
    std::uint8_t pattern = 0;
    std::uint8_t target = 0;
    bool operator==(const ImageAssignment &) const = default;
};

// One board. A slot's vector holds exactly the rows or items within its length.
struct ImageBoard {
    std::uint8_t id = 0;
    std::array<std::uint8_t, kChannelsPerBoard> home{};
    std::array<std::uint8_t, kChannelsPerBoard> trims{};
    std::array<std::vector<ImageMotionRow>, kMotionSlotCount> motions;
    std::array<std::vector<std::uint8_t>, kScenarioSlotCount> scenarios;
    std::array<ImageAssignment, kAssignmentEntryCount> assignments{};
    bool operator==(const ImageBoard &) const = default;
};

struct BoardImage {
    std::vector<ImageBoard> boards;  // one or two, distinct IDs
    bool operator==(const BoardImage &) const = default;
};

QByteArray BoardImageToJson(const BoardImage &image);
// Refuses, with one line saying why, anything it does not understand: a cut or edited file never yields
// part of an image.
std::optional<BoardImage> BoardImageFromJson(const QByteArray &json, QString *error);

// How far a long run is, in board commands: done of total.
using ImageProgress = std::function<void(int done, int total)>;

// The commands a whole board takes to read, and to write.
int BoardReadCommands(const ImageBoard &board);
int BoardWriteCommands(const ImageBoard &board);

// Reads everything of board `id`. On a failure `error` names what did not answer.
std::optional<ImageBoard> ReadBoardImage(std::uint8_t id, const ImageProgress &progress, QString *error);

// Puts the board to sleep, writes trims, rows, items and assignments, and the slot lengths last, so that a
// board cut off half way never plays a slot of half-written rows. The home position is not written. On a
// failure `error` names the command that failed and what was written before it; the same image written
// again finishes the job.
bool WriteBoardImage(const ImageBoard &board, const ImageProgress &progress, QString *error);

// Every difference of `found` from `wanted`, one line each: board, area, slot and row. The home position
// takes part only when asked, as a restore does not write it.
QStringList CompareBoardImages(const ImageBoard &wanted, const ImageBoard &found, bool withHome);

// Reads the boards `ids` names, in order, into one image. `progress` counts over all of them.
std::optional<BoardImage> BackupBoards(const std::vector<std::uint8_t> &ids, const ImageProgress &progress,
                                       QString *error);

struct RestoreOutcome {
    bool completed = false;   // every command went through; `differences` says whether the boards match
    QString error;            // when not completed: what failed and what was written before it
    QStringList differences;  // what the boards read back otherwise than the image
};

// Writes every board of the image, then reads each back and compares. With `withHome` each board is then
// driven to the image's home position (the servos move at once, so the caller warns first), takes it as
// its home position and is read back; the boards are left in default mode. Without it they stay asleep.
RestoreOutcome RestoreBoards(const BoardImage &image, bool withHome, const ImageProgress &progress);

// The commands RestoreBoards sends when everything reads back as written.
int RestoreCommands(const BoardImage &image, bool withHome);

}  // namespace orvane
