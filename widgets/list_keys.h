#pragma once
// The keys of the editing lists (motion rows, scenario rows): Insert and Delete alone, Ctrl+C, Ctrl+X and
// Ctrl+V with exactly that modifier. Other chords on these keys are swallowed, so that none of them reaches
// the system clipboard or a window shortcut while the list has the focus.

#include <Qt>

#include <functional>

class QEvent;

enum class ListKey { None, Insert, Delete, Copy, Cut, Paste, Swallowed };

// `withInsert`: whether the list takes Insert at all.
ListKey ListKeyOf(int key, Qt::KeyboardModifiers modifiers, bool withInsert);

// Whether the list claims the key ahead of the window's shortcuts.
inline bool ListClaimsKey(int key, Qt::KeyboardModifiers modifiers, bool withInsert)
{
    return ListKeyOf(key, modifiers, withInsert) != ListKey::None;
}

// What a list does on its keys; a list without Insert leaves `insert` empty.
struct ListKeyActions {
    std::function<void()> insert, remove, copy, cut, paste;
};

// Runs the action the key stands for. True when the list took the key, also a swallowed chord.
bool RunListKey(int key, Qt::KeyboardModifiers modifiers, const ListKeyActions &actions);

// For the list's event filter: a key press goes to `keyDown`, and the list's keys are claimed ahead of the
// window's shortcuts while the list has the focus. True when the event was taken.
bool FilterListKeyEvent(QEvent *event, bool withInsert,
                        const std::function<bool(int key, Qt::KeyboardModifiers modifiers)> &keyDown);
