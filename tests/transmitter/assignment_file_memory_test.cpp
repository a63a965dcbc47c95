// Reading a control assignment file costs a bounded multiple of the file, whatever it holds: no more
// than the 208 lines that decide it are looked at.
#include "bounded_reads.h"
#include "transmitter/assignment_file.h"

#include <QTemporaryDir>

namespace {

TEST(AssignmentFileMemory, AnyFileCostsUnderFourTimesItsSizePlusFiftyMegabytes)
{
    SKIP_WITHOUT_MEMORY_FIGURES();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qint64 MB = 1 << 20;
    QByteArray head = "INDEX,SCENARIO,COUNT\r\n";
    for (int k = 0; k < 4; ++k)
        head += "S" + QByteArray::number(k) + ",None,0\r\n";
    head += "INDEX,MOTION,COUNT\r\n";
    for (int k = 0; k < 40; ++k)
        head += "M" + QByteArray::number(k) + ",None,0\r\n";
    head += "INDEX,KEY,MOTION\r\n";
    for (int e = 0; e < 159; ++e)
        head += QByteArray::number(e) + ",0,200\r\n";
    ExpectBoundedReads(dir.path(),
                       {
                           {"line feeds only", "", "\n", 32 * MB, false},
                           {"one line without an end", "", "x", 32 * MB, false},
                           {"a whole file, then line feeds", head + "159,0,200\r\n", "\n", 32 * MB, false},
                           {"a last entry line of doubled quotes", head + "159,\"", "\"\"", 32 * MB, false},
                           {"a last entry line of blanks", head + "159,0,200", " ", 32 * MB, true},
                       },
                       [](const QString &path) { return orvane::LoadAssignmentFile(path).ok(); });
}

}  // namespace
