// Every window's texts: each entry has a readable text in both languages, and the English row shows
// no Japanese (an English build must not fall back to it).

#include "app/main_messages.h"
#include "app/window_messages.h"
#include "graph/graph_messages.h"
#include "monitor/monitor_messages.h"
#include "motion/motion_messages.h"
#include "session/open_port.h"
#include "session/port_failure.h"
#include "session/port_watch.h"
#include "teaching/teaching_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct TableView {
    std::string name;
    std::size_t size;
    std::function<const char *(int language, int entry)> raw;
};

template <std::size_t N>
TableView View(const char *name, const orvane::MessageTable<N> &table)
{
    return {name, N, [&table](int language, int entry) { return table.Raw(language, entry); }};
}

std::vector<TableView> AllTables()
{
    return {
        View("startup", kStartupMessages),
        View("main", kMainMessages),
        View("board modes", kBoardModeNames),
        View("home files", kHomeFileMessages),
        View("home dialog", kHomeDialogMessages),
        View("label dialog", kLabelMessages),
        View("graph", kGraphMessages),
        View("motion", orvane::kMotionMessages),
        View("port", kPortMessages),
        View("port causes", kPortCauseMessages),
        View("close guard", kCloseGuardMessages),
        View("teaching", orvane::TeachingMessages),
        View("line monitor", kMonitorMessages),
        View("port watch", kPortWatchMessages),
    };
}

bool HasJapanese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Kana, kanji and the full-width forms.
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF01 && u <= 0xFF9F))
            return true;
    }
    return false;
}

TEST(MessageTables, EveryEntryHasAReadableTextInBothLanguages)
{
    for (const TableView &table : AllTables()) {
        ASSERT_GT(table.size, 0u) << table.name;
        for (int language = 0; language < 2; ++language) {
            for (int entry = 0; entry < int(table.size); ++entry) {
                SCOPED_TRACE(table.name + " language " + std::to_string(language) + " entry " + std::to_string(entry));
                const char *raw = table.raw(language, entry);
                ASSERT_NE(raw, nullptr);
                const std::string bytes(raw);
                EXPECT_FALSE(bytes.empty());
                const QString text = QString::fromUtf8(raw);
                EXPECT_FALSE(text.trimmed().isEmpty());
                // Broken UTF-8 would not survive the round trip.
                EXPECT_EQ(text.toUtf8().toStdString(), bytes);
            }
        }
    }
}

TEST(MessageTables, TheJapaneseRowIsJapaneseAndTheEnglishRowIsNot)
{
    for (const TableView &table : AllTables()) {
        bool anyJapanese = false;
        for (int entry = 0; entry < int(table.size); ++entry) {
            anyJapanese = anyJapanese || HasJapanese(QString::fromUtf8(table.raw(0, entry)));
            EXPECT_FALSE(HasJapanese(QString::fromUtf8(table.raw(1, entry))))
                << table.name << " entry " << entry << ": " << table.raw(1, entry);
        }
        EXPECT_TRUE(anyJapanese) << table.name << ": rows swapped?";
    }
}

TEST(MessageTables, AccessorsReadTheTablesInTheBuildLanguage)
{
    EXPECT_EQ(MainMessage(MsgConfirm), QString::fromUtf8(kMainMessages.Raw(LanguageIndex, MsgConfirm)));
    EXPECT_EQ(orvane::MotionMessage(orvane::MotWindowTitle),
              QString::fromUtf8(orvane::kMotionMessages.Raw(LanguageIndex, orvane::MotWindowTitle)));
    EXPECT_EQ(GraphText(GraphTitle), QString::fromUtf8(kGraphMessages.Raw(LanguageIndex, GraphTitle)));
    // Out of range gives no text rather than reading past the table.
    EXPECT_TRUE(orvane::MotionMessage(orvane::MotionEntryCount).isEmpty());
    EXPECT_TRUE(orvane::MotionMessage(-1).isEmpty());
}

}  // namespace
