#pragma once
// The keys of the editing lists (motion rows, scenario rows): Insert and Delete alone, Ctrl+C, Ctrl+X and
// Ctrl+V with exactly that modifier. Other chords on these keys are swallowed, so that none of them reaches
// the system clipboard or a window shortcut while the list has the focus.

#include <Qt>

enum class ListKey { None, Insert, Delete, Copy, Cut, Paste, Swallowed };

// `withInsert`: whether the list takes Insert at all.
ListKey ListKeyOf(int key, Qt::KeyboardModifiers modifiers, bool withInsert);

// Whether the list claims the key ahead of the window's shortcuts.
inline bool ListClaimsKey(int key, Qt::KeyboardModifiers modifiers, bool withInsert)
{
    return ListKeyOf(key, modifiers, withInsert) != ListKey::None;
}
