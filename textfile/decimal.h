#pragma once
// Decimal numbers in the program's text files.

#include <QString>
#include <QStringView>

#include <optional>

namespace orvane {

// Signed decimal integer: an optional sign and at least one digit, nothing
// else; leading zeros are fine ("07" is 7). Out of int range is no integer.
std::optional<int> ParseDecimal(QStringView text);

// Appends the plain decimal text of a value (no heap block of its own).
void AppendDecimal(QString &text, int value);

}  // namespace orvane
