#pragma once
// A window's texts: one row per language, picked by LanguageIndex. Every entry must have a text in both
// languages; a missing or empty one does not compile.

#include "session/language.h"

#include <QString>

#include <array>
#include <cstddef>

namespace orvane {

template <std::size_t N>
class MessageTable {
public:
    using Row = std::array<const char *, N>;

    consteval MessageTable(const Row &japanese, const Row &english) : rows_{japanese, english}
    {
        for (const Row &row : rows_)
            for (const char *text : row)
                if (text == nullptr || *text == '\0')
                    throw "every entry needs a text in both languages";
    }

    static constexpr std::size_t Size() { return N; }
    // UTF-8 text of `entry` in `language` (0 Japanese, 1 English).
    constexpr const char *Raw(int language, int entry) const { return rows_[language][entry]; }
    QString Text(int language, int entry) const { return QString::fromUtf8(rows_[language][entry]); }
    QString operator()(int entry) const { return Text(LanguageIndex, entry); }

private:
    std::array<Row, 2> rows_;
};

}  // namespace orvane
