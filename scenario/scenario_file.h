#pragma once
// The scenario file: the motion list and the scenario data of the editor in one comma-separated text.
//   line 1        "MOTION_NAME","COUNT"
//   lines 2-41    DATA NAME,COUNT of motion slots 0 to 39
//   line 42       "MOTION_NUMBER","FILE_NAME"
//   lines 43-     MOTION,DATA NAME of each scenario row

#include "scenario/scenario_data.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

namespace orvane {

constexpr int kScenarioHeaderLines = 42;

// The whole text: every line joined by the comma rule and ended with CR LF. `motions` holds the 40 slots.
QString ScenarioFileText(const QList<SlotRow> &motions, const ScenarioRows &rows);

// Writes under the code page rule, atomically: on failure the old file is untouched and `error` (may be null)
// says why.
bool SaveScenarioFile(const QString &path, const QList<SlotRow> &motions, const ScenarioRows &rows, QString *error);

enum class ScenarioFileError {
    None,
    CannotRead,      // see `detail`
    TooFewLines,     // fewer than 43
    MotionHeader,    // line 1 not exactly MOTION_NAME, COUNT
    ScenarioHeader,  // line 42 does not begin with MOTION_NUMBER, FILE_NAME
    ShortLine,       // a line with fewer than two fields
    BadCount,        // a COUNT that is no integer from 0 to 100
    BadMotion,       // a MOTION whose number is no integer from 0 to 39
};

struct ScenarioFileLoad {
    ScenarioFileError error = ScenarioFileError::None;
    int line = 0;  // 1-based line of the fault
    QString detail;
    // Filled only when the whole file passed: 40 motion rows labelled M0 to M39, and the scenario rows.
    QList<SlotRow> motions;
    ScenarioRows rows;

    bool ok() const { return error == ScenarioFileError::None; }
};

ScenarioFileLoad ParseScenarioText(QStringView text);
ScenarioFileLoad LoadScenarioFile(const QString &path);

// A short English account of a fault for logs and diagnostics.
QString DescribeScenarioFileError(const ScenarioFileLoad &load);

// "yy_MM_dd_SCENARIO.csv", the name both file dialogs start with.
QString ScenarioStartFileName(const QDate &date);

// ".csv" appended when the file name part has no extension.
QString WithScenarioExtension(const QString &path);

}  // namespace orvane
