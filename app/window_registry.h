#pragma once
// The windows the main window opens from its buttons, kept in one list. A window joins once, where it is
// created (MainWindows in app/main_windows.cpp), in a line or two:
//
//   windows.Join(main.OPTION_BTN, &options);                                // a dialog, run modally
//   windows.Join(main.SHOT_BTN, &teaching).Opening([this] { teaching.Start(); });  // an opening sequence
//   windows.Join(main.OptionMenu3, &propo).Looks(&propo);                  // follows channel names, colours
//
// Without an opening sequence a QDialog runs modally and any other window is shown or hidden. Until a
// window joins on it a button stays disabled; afterwards a click, or Open(button), opens the window.

#include "app/settings.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class ChannelLookListener;
class MainOperations;
class QAbstractButton;

class WindowRegistry {
public:
    explicit WindowRegistry(MainOperations &main) : main_(main) {}

    // What a window brings besides its button, added right after Join.
    class Joined {
    public:
        Joined(WindowRegistry &registry, size_t index) : registry_(registry), index_(index) {}
        // The opening sequence, instead of the modal run or showing and hiding.
        Joined &Opening(std::function<void()> open);
        // Told every channel's name and colours now and at every change.
        Joined &Looks(ChannelLookListener *listener);
        // A button of the main window that works on this window; enabled now.
        Joined &AlsoEnables(QAbstractButton *button);
        // The window's own keys of ORV.ini, written into the settings at every save while it lives.
        Joined &KeepSettings(std::function<void(orvane::MainSettings &)> keep);

    private:
        WindowRegistry &registry_;
        size_t index_;
    };

    // A second window on the same button takes the first one's place.
    Joined Join(QAbstractButton *button, QWidget *window);
    // Opens the window joined on `button`; false when there is none.
    bool Open(QAbstractButton *button);
    // The joined window of type W, or null (also once it is destroyed).
    template <class W>
    W *Find() const
    {
        for (const Entry &e : entries_)
            if (W *w = qobject_cast<W *>(e.window.data()))
                return w;
        return nullptr;
    }
    // Each living window writes its keys.
    void KeepSettings(orvane::MainSettings &settings) const;
    // Hides every living window: they show the main window's data and go with it.
    void HideAll() const;

private:
    struct Entry {
        QAbstractButton *button;
        QPointer<QWidget> window;
        std::function<void()> open;
        std::function<void(orvane::MainSettings &)> keepSettings;
    };

    MainOperations &main_;
    std::vector<Entry> entries_;
};
