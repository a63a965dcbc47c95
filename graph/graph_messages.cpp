#include "graph/graph_messages.h"

#include "session/language.h"

namespace {
const char *const GraphMessages[2][3] = {
    {"グラフ", "----", "-------------------"},
    {"Graph", "----", "-------------------"},
};
}  // namespace

QString GraphText(GraphEntry entry) { return QString::fromUtf8(GraphMessages[LanguageIndex][entry]); }
