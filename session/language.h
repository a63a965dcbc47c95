#pragma once
// 0 Japanese, 1 English; fixed when the program is built.
#ifndef ORVANE_LANGUAGE_INDEX
#define ORVANE_LANGUAGE_INDEX 0
#endif
constexpr int LanguageIndex = ORVANE_LANGUAGE_INDEX;
