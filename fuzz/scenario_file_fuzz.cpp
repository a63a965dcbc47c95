// Scenario files: any bytes are either refused with a line, or load into lists that save and load
// again unchanged.
#include "scenario/scenario_file.h"
#include "textfile/code_page.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = orvane::DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const orvane::ScenarioFileLoad load = orvane::ParseScenarioText(text);
    if (!load.ok()) {
        if (load.line < 0 || load.line > text.size() + 1)
            __builtin_trap();
        (void)orvane::DescribeScenarioFileError(load);
        return 0;
    }
    if (load.motions.size() != orvane::kMotionSlotCount || load.rows.isEmpty())
        __builtin_trap();
    const orvane::ScenarioFileLoad again = orvane::ParseScenarioText(orvane::ScenarioFileText(load.motions, load.rows));
    if (!again.ok() || again.motions != load.motions || again.rows != load.rows)
        __builtin_trap();
    return 0;
}
