#pragma once
// Texts of the graph window, one row per language, picked by LanguageIndex.

#include "session/message_table.h"

#include <QString>

enum GraphEntry { GraphTitle, GraphNoRowNumber, GraphNoRowName, GraphEntryCount };

extern const orvane::MessageTable<GraphEntryCount> kGraphMessages;

QString GraphText(GraphEntry entry);
