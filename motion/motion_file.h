#pragma once

#include "motion/motion_data.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

namespace orvane {

// Home position of channels 1 to 24 as channel value codes.
using HomePositions = std::array<int, kChannelCount>;

// Motion files keep positions relative to the home position; a channel whose
// home is a mode code has no position to be relative to, so 90 stands in.
int MotionFileBase(int home);

// The whole file text for these captions and rows: every line joined by the
// comma rule and ended with CR LF, positions stored relative to `home`.
QString MotionFileText(const QStringList &captions, const MotionRows &rows, const HomePositions &home);

// Writes the text under the code page rule, atomically: on failure the old
// file is untouched and `error` (may be null) says why.
bool SaveMotionFile(const QString &path, const QStringList &captions, const MotionRows &rows, const HomePositions &home,
                    QString *error);

enum class MotionFileError {
    None,
    CannotRead,        // the file could not be opened or read (see `detail`)
    Empty,             // no lines at all
    HeaderFieldCount,  // line 1 has not exactly 27 fields
    ShortLine,         // a data line with fewer than 27 fields
    BadSpeed,          // SPEED not an integer from 0 to 7
    BadChannelValue,   // neither -180..180 nor 221..227, or no integer
};

struct MotionFileLoad {
    MotionFileError error = MotionFileError::None;
    int line = 0;    // 1-based line of the fault; 0 when it concerns no line
    int field = 0;   // 1-based field of the fault; 0 when it concerns no field
    QString detail;  // the system's words when the file could not be read
    // The 27 header fields whenever line 1 passed; then the window asks the
    // label question even if a later line rejects the file.
    QStringList header;
    MotionRows rows;  // absolute values; filled only when the whole file passed

    bool ok() const { return error == MotionFileError::None; }
    bool headerValid() const { return header.size() == kMotionFieldCount; }
};

// Parses a whole file's text (CR LF, CR or LF line ends), turning stored values
// back into absolute ones with `home`. Stops at the first fault.
MotionFileLoad ParseMotionText(QStringView text, const HomePositions &home);

// Reads the file under the code page rule and parses it.
MotionFileLoad LoadMotionFile(const QString &path, const HomePositions &home);

// A short English account of a fault for logs and diagnostics; the user sees
// the window's own message.
QString DescribeMotionFileError(const MotionFileLoad &load);

// True when header fields 4 to 27 differ from the channel names (exactly, case
// included): the window then asks whether to renew the labels.
bool ChannelNamesDiffer(const QStringList &header, const QStringList &channelNames);

// The captions a loaded file gives the list: all 27 header fields when the
// labels are renewed, else header fields 1 to 3 and the current channel names.
QStringList CaptionsAfterLoad(const QStringList &header, const QStringList &channelNames, bool renewLabels);

// Hands a passed file's rows to the motion data with the captions the label
// question gave. A rejected file changes nothing and gives false.
bool ApplyMotionLoad(MotionData &data, MotionFileLoad &&load, const QStringList &captions);

// "yy_MM_dd_MOTION.csv", the name both file dialogs start with.
QString MotionStartFileName(const QDate &date);

// ".csv" appended when the file name part has no extension.
QString WithMotionExtension(const QString &path);

}  // namespace orvane
