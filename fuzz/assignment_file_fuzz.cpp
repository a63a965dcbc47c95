// Control assignment files: any bytes are either refused with a line, or load into a table and lists
// that save and load again unchanged.
#include "textfile/code_page.h"
#include "transmitter/assignment_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = orvane::DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    orvane::AssignmentFileLoad load = orvane::ParseAssignmentText(text);
    if (!load.ok()) {
        if (load.line < 0 || load.line > orvane::kAssignmentFileLines)
            __builtin_trap();
        (void)orvane::DescribeAssignmentFileError(load);
        return 0;
    }
    const orvane::AssignmentTable table = load.table;
    orvane::ControlAssignment assignment;
    if (!orvane::ApplyAssignmentLoad(assignment, std::move(load)) || !assignment.CanSave())
        __builtin_trap();
    const orvane::AssignmentFileLoad again = orvane::ParseAssignmentText(orvane::AssignmentFileText(assignment));
    if (!again.ok() || again.table != table || again.scenarios != assignment.Scenarios().Rows()
        || again.motions != assignment.Motions().Rows())
        __builtin_trap();
    return 0;
}
