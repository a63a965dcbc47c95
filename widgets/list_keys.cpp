#include "widgets/list_keys.h"

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
