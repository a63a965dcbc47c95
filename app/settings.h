#pragma once

#include "app/panel_layout.h"
#include "protocol/board_facts.h"
#include "teaching/hand_settings.h"

#include <QMap>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

namespace detail {
template <std::size_t N, typename T>
std::array<T, N> Filled(const T &value)
{
    std::array<T, N> a;
    a.fill(value);
    return a;
}
std::array<QString, kChannelCount> DefaultServoNames();  // "CH1".."CH24"
std::array<QString, kDesktopCount> DefaultPanelNames();  // "Pattern1".."Pattern10"
}  // namespace detail

// Every value ORV.ini keeps, with the defaults a missing file or key gives.
// Per-channel arrays are indexed by channel - 1, per-desktop arrays by
// desktop - 1, layouts by panel (0 the separator bar, n channel n).
struct MainSettings {
    int commPort = 0;  // 0 "OFF", n "COM" n
    int ch1to12Id = 0;
    int ch13to24Id = kNoBoard;
    int mainTop = -1;
    int mainLeft = -1;
    bool listView = false;
    int listTop = -1;
    int listLeft = -1;
    int listWidth = -1;
    int listHeight = -1;
    bool graphView = false;
    int graphTop = -1;
    int graphLeft = -1;
    int graphWidth = 700;
    std::array<QString, kChannelCount> servoNames = detail::DefaultServoNames();
    std::array<uint32_t, kChannelCount> panelColors = detail::Filled<kChannelCount>(kButtonFace);
    std::array<bool, kChannelCount> panelViews = detail::Filled<kChannelCount>(true);
    // 0 "Standard", 1..10 a named desktop; any other value selects none.
    int panelList = 0;
    std::array<QString, kDesktopCount> panelNames = detail::DefaultPanelNames();
    std::array<DesktopLayout, kDesktopCount> desktops = detail::Filled<kDesktopCount>(BuiltInLayout());
    std::array<int, kChannelCount> homePos = detail::Filled<kChannelCount>(90);
    bool monitorView = false;
    int monitorTop = -1;
    int monitorLeft = -1;
    int monitorWidth = -1;
    int monitorHeight = -1;
    HandTeachingSettings hand;  // a value out of its range reads as its default
    // [Ports] COM n: the device path of port n, only where the file names one.
    // Read only: the section is never written, so the user's entries survive.
    QMap<int, QString> portPaths;

    friend bool operator==(const MainSettings &, const MainSettings &) = default;
};

QString SettingsFilePath(const QString &folder);

// A missing or unreadable ORV.ini gives every default. A saved port outside
// 1..10 reads as 0 ("OFF"); a home value that is no channel value code
// (0..180, 221..227) reads as 90.
MainSettings LoadSettings(const QString &folder);

// Writes "Check" = "OK" as a test that the file can be written; the window
// warns when it cannot. Everything else in the file is kept.
bool CheckSettingsWritable(const QString &folder, QString *error);

// Writes "Check" first and, only if that succeeded, every key in the order of
// the key table. Keys and sections the program does not know stay in place.
// Returns false (with `error`, may be null) when the file cannot be written;
// an existing file that cannot be read is left alone as well.
bool SaveSettings(const QString &folder, const MainSettings &settings, QString *error);

}  // namespace orvane
