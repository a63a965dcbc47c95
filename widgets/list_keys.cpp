#include "widgets/list_keys.h"

#include <QKeyEvent>

ListKey ListKeyOf(int key, Qt::KeyboardModifiers modifiers, bool withInsert)
{
    modifiers &= ~Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_Insert:
        if (!withInsert)
            return ListKey::None;
        return modifiers == Qt::NoModifier ? ListKey::Insert : ListKey::Swallowed;
    case Qt::Key_Delete: return modifiers == Qt::NoModifier ? ListKey::Delete : ListKey::Swallowed;
    case Qt::Key_C:
    case Qt::Key_X:
    case Qt::Key_V:
        if (!(modifiers & Qt::ControlModifier))
            return ListKey::None;
        if (modifiers != Qt::ControlModifier)
            return ListKey::Swallowed;
        return key == Qt::Key_C ? ListKey::Copy : key == Qt::Key_X ? ListKey::Cut : ListKey::Paste;
    default: return ListKey::None;
    }
}

bool RunListKey(int key, Qt::KeyboardModifiers modifiers, const ListKeyActions &actions)
{
    const auto run = [](const std::function<void()> &action) {
        action();
        return true;
    };
    switch (ListKeyOf(key, modifiers, bool(actions.insert))) {
    case ListKey::Insert: return run(actions.insert);
    case ListKey::Delete: return run(actions.remove);
    case ListKey::Copy: return run(actions.copy);
    case ListKey::Cut: return run(actions.cut);
    case ListKey::Paste: return run(actions.paste);
    case ListKey::Swallowed: return true;
    case ListKey::None: break;
    }
    return false;
}

bool FilterListKeyEvent(QEvent *event, bool withInsert,
                        const std::function<bool(int key, Qt::KeyboardModifiers modifiers)> &keyDown)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        return keyDown(key->key(), key->modifiers());
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (ListClaimsKey(key->key(), key->modifiers(), withInsert)) {
            event->accept();
            return true;
        }
    }
    return false;
}
