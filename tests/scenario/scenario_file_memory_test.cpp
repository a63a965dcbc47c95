// Reading a scenario file costs a bounded multiple of the file, whatever it holds: lines are taken
// one at a time, and a refused file stops at its fault.
#include "bounded_reads.h"
#include "scenario/scenario_file.h"

#include <QTemporaryDir>

namespace {

TEST(ScenarioFileMemory, AnyFileCostsUnderFourTimesItsSizePlusFiftyMegabytes)
{
    SKIP_WITHOUT_MEMORY_FIGURES();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qint64 MB = 1 << 20;
    ExpectBoundedReads(
        dir.path(),
        {
            {"line feeds only", "", "\n", 32 * MB, false},
            {"one line without an end", "", "x", 32 * MB, false},
            {"the head, then line feeds", ScenarioFileHead(), "\n", 32 * MB, false},
            {"the head, then a bad row of doubled quotes", ScenarioFileHead() + "M1,\"", "\"\"", 32 * MB, true},
            {"250,000 rows named as their motion", ScenarioFileHead(), "M7,walk7\r\n", 250'000 * 10, true},
            {"rows repeating a name of their own", ScenarioFileHead(), "X7,\xB1\xB2\xB3\xB4\xB5 step\r\n", 4 * MB,
             true},
            // Every row a pair no other row has: the pairs' texts are what costs.
            {"a million rows, each named alone", ScenarioFileHead(), "M7,step\n", 13 * MB, true, true},
        },
        [](const QString &path) { return orvane::LoadScenarioFile(path).ok(); });
}

}  // namespace
