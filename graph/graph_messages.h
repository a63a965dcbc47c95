#pragma once
// Texts of the graph window, one row per language, picked by LanguageIndex.

#include <QString>

enum GraphEntry { GraphTitle, GraphNoRowNumber, GraphNoRowName };

QString GraphText(GraphEntry entry);
