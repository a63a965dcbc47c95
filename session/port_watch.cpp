#include "session/port_watch.h"

#include "protocol/line_observer.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/open_port.h"

#include <QFileInfo>

const orvane::MessageTable<PortWatchEntryCount> kPortWatchMessages{
    {
        "COM%1 切断",
        "COM%1 再接続",
        "COM%1 (%2) が外れました。つながるのを待っています",
        "COM%1 (%2) が戻ったので開き直しました",
    },
    {
        "COM%1 lost",
        "COM%1 back",
        "COM%1 (%2) was lost; waiting for it to come back",
        "COM%1 (%2) came back and was opened again",
    },
};

QString PortWatchText(PortWatchEntry entry, int portNo, const QString &path)
{
    const QString text = kPortWatchMessages(entry).arg(portNo);
    return entry == PortLostLong || entry == PortBackLong ? text.arg(path) : text;
}

PortWatch::PortWatch(QObject *parent) : QObject(parent)
{
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &PortWatch::LookForDevice);
}

void PortWatch::Chosen()
{
    timer_.stop();
    portNo_ = 0;
    path_.clear();
    if (followed_ != SerialPort) {
        if (followed_)
            disconnect(followed_, nullptr, this, nullptr);
        followed_ = SerialPort;
        if (followed_)
            connect(followed_, &TCustomCommX::DeviceLost, this, &PortWatch::DeviceLost);
    }
}

void PortWatch::DeviceLost()
{
    if (!SerialPort || SerialPort != followed_ || !SerialPort->IsOpen())
        return;
    portNo_ = SerialPort->PortNo();
    path_ = SerialPort->DevicePath();
    qCWarning(lcProtocol).noquote() << "COM" << portNo_ << path_ << "lost; closed and watched";
    SerialPort->Close();
    timer_.start();
    NotifyPortChanged(LinePortEvent::Lost, portNo_, path_);
    emit Lost(portNo_, path_);
}

void PortWatch::LookForDevice()
{
    // The user may have chosen otherwise meanwhile, or the program be closing: then this port is not ours.
    if (!SerialPort || SerialPort != followed_ || SerialPort->IsOpen() || SerialPort->PortNo() != portNo_
        || DevicePathFor(portNo_) != path_) {
        timer_.stop();
        return;
    }
    if (!QFileInfo::exists(path_))
        return;
    try {
        OpenPortQuietly();
    } catch (const ECommError &e) {
        // Present but not yet usable (udev still setting permissions, another program has it): next time.
        qCInfo(lcProtocol).noquote() << "COM" << portNo_ << path_ << "not yet:" << e.Message();
        return;
    }
    timer_.stop();
    qCWarning(lcProtocol).noquote() << "COM" << portNo_ << path_ << "back";
    NotifyPortChanged(LinePortEvent::Back, portNo_, path_);
    emit Back(portNo_, path_);
}
