#pragma once

#include <QLatin1String>
#include <QString>

// Every key of ORV.ini. n is a channel 1..24, d a desktop 1..10, p a panel
// 0..24 (0 is the separator bar); numbers carry no leading zeros.
namespace orvane::settings_keys {

inline constexpr QLatin1String kFileName{"ORV.ini"};
inline constexpr QLatin1String kSection{"Orvane"};

inline constexpr QLatin1String kCheck{"Check"};
inline constexpr QLatin1String kCheckValue{"OK"};
inline constexpr QLatin1String kCommPort{"CommPort"};
inline constexpr QLatin1String kCh1To12Id{"CH1-12ID"};
inline constexpr QLatin1String kCh13To24Id{"CH13-24ID"};
inline constexpr QLatin1String kMainTop{"MainTop"};
inline constexpr QLatin1String kMainLeft{"MainLeft"};
inline constexpr QLatin1String kListView{"ListView"};
inline constexpr QLatin1String kListTop{"ListTop"};
inline constexpr QLatin1String kListLeft{"ListLeft"};
inline constexpr QLatin1String kListWidth{"ListWidth"};
inline constexpr QLatin1String kListHeight{"ListHeight"};
inline constexpr QLatin1String kGraphView{"GraphView"};
inline constexpr QLatin1String kGraphTop{"GraphTop"};
inline constexpr QLatin1String kGraphLeft{"GraphLeft"};
inline constexpr QLatin1String kGraphWidth{"GraphWidth"};
inline constexpr QLatin1String kPanelList{"PanelList"};
// The line monitor's place, written after every key above.
inline constexpr QLatin1String kMonitorView{"MonitorView"};
inline constexpr QLatin1String kMonitorTop{"MonitorTop"};
inline constexpr QLatin1String kMonitorLeft{"MonitorLeft"};
inline constexpr QLatin1String kMonitorWidth{"MonitorWidth"};
inline constexpr QLatin1String kMonitorHeight{"MonitorHeight"};
// Teaching by hand, after the monitor: the still time in milliseconds, then whole degrees.
inline constexpr QLatin1String kTeachStillTime{"TeachStillTime"};
inline constexpr QLatin1String kTeachStillDeg{"TeachStillDeg"};
inline constexpr QLatin1String kTeachRecTol{"TeachRecTol"};

inline QString ServoName(int n) { return QStringLiteral("ServoName%1").arg(n); }
inline QString PanelColor(int n) { return QStringLiteral("PanelColor%1").arg(n); }
inline QString PanelView(int n) { return QStringLiteral("PanelView%1").arg(n); }
inline QString PanelName(int d) { return QStringLiteral("PanelName%1").arg(d); }
inline QString PanelLeft(int d, int p) { return QStringLiteral("PanelLeft%1_%2").arg(d).arg(p); }
inline QString PanelTop(int d, int p) { return QStringLiteral("PanelTop%1_%2").arg(d).arg(p); }
inline QString HomePos(int n) { return QStringLiteral("HomePos_%1").arg(n); }

// Device path overrides of the port list; the settings writer leaves the
// section alone, so the user's entries survive every save.
inline constexpr QLatin1String kPortsSection{"Ports"};
inline QString PortPath(int n) { return QStringLiteral("COM%1").arg(n); }

}  // namespace orvane::settings_keys
