#include "graph/graph_messages.h"

const orvane::MessageTable<GraphEntryCount> kGraphMessages{
    {"グラフ", "----", "-------------------"},
    {"Graph", "----", "-------------------"},
};

QString GraphText(GraphEntry entry) { return kGraphMessages(entry); }
