#pragma once
// The control assignment file: 207 lines of comma text, CR LF after each. The scenario list (header and
// 4 rows), the motion list (header and 40 rows), then the 160 entries as "number,pattern,target".

#include "transmitter/control_assignment.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace orvane {

constexpr int kAssignmentFileLines = 207;

enum class AssignmentFileError {
    None,
    CannotRead,   // see `detail`
    LineCount,    // not exactly 207 lines
    Header,       // a header line differs from its text
    ShortLine,    // fewer than three fields
    SlotLabel,    // not "S" / "M" followed by the slot of the line's place
    Count,        // COUNT not a number in its range
    EntryNumber,  // entry number not 0 to 200
    Target,       // not a valid target
};

struct AssignmentFileLoad {
    AssignmentFileError error = AssignmentFileError::None;
    int line = 0;  // 1-based line of the fault; 0 when it concerns no line
    QString detail;
    // Filled only when the whole file passed.
    QList<SlotRow> scenarios;
    QList<SlotRow> motions;
    AssignmentTable table{};

    bool ok() const { return error == AssignmentFileError::None; }
};

QString AssignmentFileText(const ControlAssignment &assignment);
// Written under the code page rule, atomically: on failure the old file stays and `error` says why.
bool SaveAssignmentFile(const QString &path, const ControlAssignment &assignment, QString *error);

// A key pattern field: a decimal integer reduced to its low eight bits, 0 when it is no integer.
std::uint8_t KeyPatternOf(QStringView field);

AssignmentFileLoad ParseAssignmentText(QStringView text);
AssignmentFileLoad LoadAssignmentFile(const QString &path);
// Hands a passed file to the assignment; a rejected one changes nothing and gives false.
bool ApplyAssignmentLoad(ControlAssignment &assignment, AssignmentFileLoad &&load);
// A short English account for logs; the user sees the window's message.
QString DescribeAssignmentFileError(const AssignmentFileLoad &load);

}  // namespace orvane
