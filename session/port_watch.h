#pragma once
// Keeps the port the user chose when its device comes and goes (a USB adapter pulled and plugged in again).
// When the device goes away the port is closed at once (an adapter that finds its old device still open
// comes back under another name), and every half second the same device path is looked for; once it is
// there the port is opened again with the settings it had. Only the port the user chose is ever reopened:
// choosing a port or OFF ends the watch. Nothing is sent to the boards.
//
// User-interface thread only.

#include "session/message_table.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class TCustomCommX;

enum PortWatchEntry { PortLostShort, PortBackShort, PortLostLong, PortBackLong, PortWatchEntryCount };
extern const orvane::MessageTable<PortWatchEntryCount> kPortWatchMessages;

// The status texts: short ("COM3 切断") for the status bar, long with the device path for hints and logs.
QString PortWatchText(PortWatchEntry entry, int portNo, const QString &path);

class PortWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 500;

    explicit PortWatch(QObject *parent = nullptr);

    // The user chose an entry of the port list: any lost port is forgotten, and the one SerialPort now
    // stands for is followed. Call it before the port is opened.
    void Chosen();
    // A lost port is being waited for.
    bool Waiting() const { return timer_.isActive(); }

signals:
    void Lost(int portNo, const QString &path);
    void Back(int portNo, const QString &path);

private:
    void DeviceLost();
    void LookForDevice();

    QTimer timer_;
    QPointer<TCustomCommX> followed_;
    int portNo_ = 0;
    QString path_;
};
