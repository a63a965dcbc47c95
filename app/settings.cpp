#include "app/settings.h"

#include "app/home_file.h"
#include "app/settings_keys.h"
#include "textfile/ini_file.h"

#include <QDir>

namespace orvane {

namespace keys = settings_keys;

namespace detail {

std::array<QString, kChannelCount> DefaultServoNames()
{
    std::array<QString, kChannelCount> names;
    for (int n = 1; n <= kChannelCount; ++n)
        names[n - 1] = QStringLiteral("CH%1").arg(n);
    return names;
}

std::array<QString, kDesktopCount> DefaultPanelNames()
{
    std::array<QString, kDesktopCount> names;
    for (int d = 1; d <= kDesktopCount; ++d)
        names[d - 1] = QStringLiteral("Pattern%1").arg(d);
    return names;
}

}  // namespace detail

namespace {

// The port list offers COM1..COM30, but only these come back from the file.
constexpr int kFirstSavedPort = 1;
constexpr int kLastSavedPort = 10;
constexpr int kPortListSize = 30;

}  // namespace

QString SettingsFilePath(const QString &folder) { return QDir(folder).filePath(keys::kFileName); }

MainSettings LoadSettings(const QString &folder)
{
    MainSettings s;
    IniFile ini;
    if (!ini.Load(SettingsFilePath(folder)))
        return s;

    const QString section = keys::kSection;
    const auto integer = [&](const QString &key, int def) { return ini.ReadInteger(section, key, def); };
    const auto boolean = [&](const QString &key, bool def) { return ini.ReadBool(section, key, def); };

    s.commPort = integer(keys::kCommPort, s.commPort);
    if (s.commPort < kFirstSavedPort || s.commPort > kLastSavedPort)
        s.commPort = 0;
    s.ch1to12Id = integer(keys::kCh1To12Id, s.ch1to12Id);
    s.ch13to24Id = integer(keys::kCh13To24Id, s.ch13to24Id);
    s.mainTop = integer(keys::kMainTop, s.mainTop);
    s.mainLeft = integer(keys::kMainLeft, s.mainLeft);
    s.listView = boolean(keys::kListView, s.listView);
    s.listTop = integer(keys::kListTop, s.listTop);
    s.listLeft = integer(keys::kListLeft, s.listLeft);
    s.listWidth = integer(keys::kListWidth, s.listWidth);
    s.listHeight = integer(keys::kListHeight, s.listHeight);
    s.graphView = boolean(keys::kGraphView, s.graphView);
    s.graphTop = integer(keys::kGraphTop, s.graphTop);
    s.graphLeft = integer(keys::kGraphLeft, s.graphLeft);
    s.graphWidth = integer(keys::kGraphWidth, s.graphWidth);

    for (int n = 1; n <= kChannelCount; ++n) {
        const int i = n - 1;
        s.servoNames[i] = ini.ReadString(section, keys::ServoName(n), s.servoNames[i]);
        s.panelColors[i] = uint32_t(integer(keys::PanelColor(n), int(s.panelColors[i])));
        s.panelViews[i] = boolean(keys::PanelView(n), s.panelViews[i]);
    }

    s.panelList = integer(keys::kPanelList, s.panelList);
    for (int d = 1; d <= kDesktopCount; ++d) {
        s.panelNames[d - 1] = ini.ReadString(section, keys::PanelName(d), s.panelNames[d - 1]);
        DesktopLayout &layout = s.desktops[d - 1];
        for (int p = 0; p < kPanelCount; ++p) {
            layout[p].left = integer(keys::PanelLeft(d, p), layout[p].left);
            layout[p].top = integer(keys::PanelTop(d, p), layout[p].top);
        }
    }

    for (int n = 1; n <= kChannelCount; ++n) {
        const int value = integer(keys::HomePos(n), kDefaultHomeValue);
        s.homePos[n - 1] = IsChannelValueCode(value) ? value : kDefaultHomeValue;
    }
    s.monitorView = boolean(keys::kMonitorView, s.monitorView);
    s.monitorTop = integer(keys::kMonitorTop, s.monitorTop);
    s.monitorLeft = integer(keys::kMonitorLeft, s.monitorLeft);
    s.monitorWidth = integer(keys::kMonitorWidth, s.monitorWidth);
    s.monitorHeight = integer(keys::kMonitorHeight, s.monitorHeight);
    s.hand = HandTeachingSettings{integer(keys::kTeachStillTime, s.hand.stillMs),
                                  integer(keys::kTeachStillDeg, s.hand.stillDeg),
                                  integer(keys::kTeachRecTol, s.hand.tolerance)}
                 .Checked();

    for (int n = 1; n <= kPortListSize; ++n) {
        const QString path = ini.ReadString(keys::kPortsSection, keys::PortPath(n), QString());
        if (!path.isEmpty())
            s.portPaths.insert(n, path);
    }
    return s;
}

bool CheckSettingsWritable(const QString &folder, QString *error)
{
    IniFile ini;
    if (!ini.Load(SettingsFilePath(folder), error))
        return false;
    ini.WriteString(keys::kSection, keys::kCheck, keys::kCheckValue);
    return ini.Flush(error);
}

bool SaveSettings(const QString &folder, const MainSettings &s, QString *error)
{
    IniFile ini;
    if (!ini.Load(SettingsFilePath(folder), error))
        return false;
    const QString section = keys::kSection;
    ini.WriteString(section, keys::kCheck, keys::kCheckValue);
    if (!ini.Flush(error))
        return false;

    const auto integer = [&](const QString &key, int value) { ini.WriteInteger(section, key, value); };
    const auto boolean = [&](const QString &key, bool value) { ini.WriteBool(section, key, value); };

    integer(keys::kCommPort, s.commPort);
    integer(keys::kCh1To12Id, s.ch1to12Id);
    integer(keys::kCh13To24Id, s.ch13to24Id);
    integer(keys::kMainTop, s.mainTop);
    integer(keys::kMainLeft, s.mainLeft);
    boolean(keys::kListView, s.listView);
    integer(keys::kListTop, s.listTop);
    integer(keys::kListLeft, s.listLeft);
    integer(keys::kListWidth, s.listWidth);
    integer(keys::kListHeight, s.listHeight);
    boolean(keys::kGraphView, s.graphView);
    integer(keys::kGraphTop, s.graphTop);
    integer(keys::kGraphLeft, s.graphLeft);
    integer(keys::kGraphWidth, s.graphWidth);
    for (int n = 1; n <= kChannelCount; ++n) {
        ini.WriteString(section, keys::ServoName(n), s.servoNames[n - 1]);
        // Colour numbers are stored signed: the button face is -2147483633.
        integer(keys::PanelColor(n), int(s.panelColors[n - 1]));
        boolean(keys::PanelView(n), s.panelViews[n - 1]);
    }
    integer(keys::kPanelList, s.panelList);
    for (int d = 1; d <= kDesktopCount; ++d) {
        ini.WriteString(section, keys::PanelName(d), s.panelNames[d - 1]);
        for (int p = 0; p < kPanelCount; ++p) {
            integer(keys::PanelLeft(d, p), s.desktops[d - 1][p].left);
            integer(keys::PanelTop(d, p), s.desktops[d - 1][p].top);
        }
    }
    for (int n = 1; n <= kChannelCount; ++n)
        integer(keys::HomePos(n), s.homePos[n - 1]);
    boolean(keys::kMonitorView, s.monitorView);
    integer(keys::kMonitorTop, s.monitorTop);
    integer(keys::kMonitorLeft, s.monitorLeft);
    integer(keys::kMonitorWidth, s.monitorWidth);
    integer(keys::kMonitorHeight, s.monitorHeight);
    integer(keys::kTeachStillTime, s.hand.stillMs);
    integer(keys::kTeachStillDeg, s.hand.stillDeg);
    integer(keys::kTeachRecTol, s.hand.tolerance);
    return ini.Flush(error);
}

}  // namespace orvane
