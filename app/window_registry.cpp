#include "app/window_registry.h"

#include "session/main_operations.h"

#include <QAbstractButton>
#include <QDialog>

#include <algorithm>

WindowRegistry::Joined WindowRegistry::Join(QAbstractButton *button, QWidget *window)
{
    const auto old = std::find_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.button == button; });
    Entry entry{button, window, {}, {}};
    size_t index = entries_.size();
    if (old != entries_.end()) {
        index = size_t(old - entries_.begin());
        *old = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
        QObject::connect(button, &QAbstractButton::clicked, button, [this, button] { Open(button); });
    }
    button->setEnabled(window != nullptr);
    return Joined(*this, index);
}

WindowRegistry::Joined &WindowRegistry::Joined::Opening(std::function<void()> open)
{
    registry_.entries_[index_].open = std::move(open);
    return *this;
}

WindowRegistry::Joined &WindowRegistry::Joined::Looks(ChannelLookListener *listener)
{
    if (listener)
        registry_.main_.AddChannelLookListener(listener);
    return *this;
}

WindowRegistry::Joined &WindowRegistry::Joined::AlsoEnables(QAbstractButton *button)
{
    button->setEnabled(true);
    return *this;
}

WindowRegistry::Joined &WindowRegistry::Joined::KeepSettings(std::function<void(orvane::MainSettings &)> keep)
{
    registry_.entries_[index_].keepSettings = std::move(keep);
    return *this;
}

bool WindowRegistry::Open(QAbstractButton *button)
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.button == button; });
    if (it == entries_.end() || !it->window)
        return false;
    if (it->open) {
        // A copy: the sequence may join windows itself.
        const std::function<void()> open = it->open;
        open();
    } else if (auto *dialog = qobject_cast<QDialog *>(it->window.data())) {
        dialog->exec();
    } else {
        it->window->setVisible(!it->window->isVisible());
    }
    return true;
}

void WindowRegistry::HideAll() const
{
    for (const Entry &e : entries_)
        if (e.window)
            e.window->hide();
}

void WindowRegistry::KeepSettings(orvane::MainSettings &settings) const
{
    for (const Entry &e : entries_)
        if (e.window && e.keepSettings)
            e.keepSettings(settings);
}
