#pragma once
// TCommX: the serial port component.
//
// Threads:
//  - user-interface thread: every public operation, and the three events (OnReceive, OnBreak, OnError)
//    are raised on it, i.e. on the thread that owns the component.
//  - transmit thread: takes queued chunks (at most 32, each at most BufLenTrans bytes) and writes them.
//  - receive thread: owns reading from the device; drains it into a ring of BufLenReceive bytes so that a
//    level-triggered poll never spins, and wakes Read.
// Chunks and received bytes pass between threads through owned queues guarded inside the component.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// Why Open could not open the device; None for every other refusal.
enum class TCommOpenCause { None, Missing, InUse, NotPermitted, NotASerialDevice, Other };

class ECommError : public std::runtime_error {
public:
    explicit ECommError(const QString &message, TCommOpenCause cause = TCommOpenCause::None, int systemError = 0);
    QString Message() const { return message_; }
    TCommOpenCause OpenCause() const { return cause_; }
    int SystemError() const { return systemError_; }  // errno of the failed open, 0 when none

private:
    QString message_;
    TCommOpenCause cause_;
    int systemError_;
};

enum TCommParityBits { cpbNone = 0, cpbOdd = 1, cpbEven = 2 };
enum TCommStopBits { csb1 = 0, csb1p5 = 1, csb2 = 2 };
enum TCommFlowCtrls { cfcRtsCts = 0, cfcDtrDsr, cfcXonXoff, cfcHalfHigh, cfcHalfLow, cfcNone };

// The line-state flag word of each flow control value (raw transfer and parity check always set).
uint32_t FlowCtrlFlags(TCommFlowCtrls flow);

// Port number to device path: the overrides set here (from ORV.ini's [Ports], or by tests) first,
// else COM1-10 = /dev/ttyUSB0-9, COM11-20 = /dev/ttyACM0-9, COM21-30 = /dev/ttyS0-9.
QString DevicePathFor(int portNo);
void SetDevicePath(int portNo, const QString &path);
void ClearDevicePaths();

// Serves the user interface's pending events, unless that was done less than a few milliseconds ago:
// a wait on the line and a transfer's progress share one cadence, so quick commands in a row neither
// freeze the window nor pay for serving it after every byte.
// With `now` it serves at once: a window just disabled paints before the commands go on.
void ServeUserInterface(bool now = false);

namespace serial_detail {
struct Port;
class TransmitThread;
class ReceiveThread;
}  // namespace serial_detail

class TCustomCommX : public QObject {
    Q_OBJECT
public:
    static constexpr uintptr_t kInvalidHandle = ~uintptr_t(0);

    explicit TCustomCommX(QObject *owner = nullptr);
    ~TCustomCommX() override;  // closes first when open

    // Published properties. Setters store; when open they apply at once (and may raise ECommError).
    int PortNo() const { return portNo_; }
    void SetPortNo(int value);
    int BitRate() const { return bitRate_; }
    void SetBitRate(int value);
    int CharSize() const { return charSize_; }
    void SetCharSize(int value);
    TCommParityBits ParityBit() const { return parityBit_; }
    void SetParityBit(TCommParityBits value);
    TCommStopBits StopBit() const { return stopBit_; }
    void SetStopBit(TCommStopBits value);
    TCommFlowCtrls FlowCtrl() const { return flowCtrl_; }
    void SetFlowCtrl(TCommFlowCtrls value);
    int TimeOutTrans() const { return timeOutTrans_; }
    void SetTimeOutTrans(int ms);
    int TimeOutReceive() const { return timeOutReceive_; }
    void SetTimeOutReceive(int ms);
    char XonChar() const { return xonChar_; }
    void SetXonChar(char c);
    char XoffChar() const { return xoffChar_; }
    void SetXoffChar(char c);
    int BufLenTrans() const { return bufLenTrans_; }
    void SetBufLenTrans(int bytes);
    int BufLenReceive() const { return bufLenReceive_; }
    void SetBufLenReceive(int bytes);
    uintptr_t Handle() const { return handle_; }

    // The line-state record's XON/XOFF limits (a quarter of BufLenReceive once FlowCtrl is applied).
    int XonLim() const { return xonLim_; }
    int XoffLim() const { return xoffLim_; }
    bool IsOpen() const { return handle_ != kInvalidHandle; }
    // The open device went away (hang-up, EIO): nothing more passes until the port is closed.
    bool IsLost() const;
    QString DevicePath() const;  // the device the component opens (or has open)

    void Open();
    // Drops what the transmit side still holds, as the boards expect of a port that goes away.
    void Close();
    // Waits up to maxWaitMs for the written bytes to leave, then closes without dropping them.
    // (On a pseudo-terminal the output queue always reads empty, and a flush at close also throws
    // away what the other end has not yet taken in.)
    void CloseAfterSending(int maxWaitMs);

    // Queues count bytes for the transmit thread; never waits for the line.
    virtual bool Write(const void *buffer, int count);
    bool Write(const QByteArray &data);
    // Up to count bytes: returns as soon as at least one is there, 0 after TimeOutReceive ms with none,
    // -1 when closed, without receive thread, buffer missing, or a line error ended the read.
    // The user interface keeps being served while it waits.
    virtual int Read(void *buffer, int count);

    void PurgeReceive();
    void FlushTransmit();
    void SetDtr(bool on);
    void SetRts(bool on);
    int InQueueCount();
    // Bytes written but not yet on the line: the transmit thread's queue and the driver's.
    int OutQueueCount();

    // Events (unassigned by default), raised on the component's thread.
    std::function<void(TCustomCommX *sender, int receiveSize)> OnReceive;
    std::function<void(TCustomCommX *sender)> OnBreak;
    std::function<void(TCustomCommX *sender, int errorState)> OnError;

signals:
    // Emitted by Write for every chunk it hands to the transmit thread (size in bytes).
    void ChunkQueued(int size);
    // The open device went away. Once per opening, queued on the component's thread, so a handler may
    // close the port even when the loss was seen in the middle of a Read or Write.
    void DeviceLost();

private:
    // Each applies its stored value to the open port, or raises ECommError with the refusal text.
    void ApplyQueueSizes();
    void ApplyBitRate();
    void ApplyCharSize();
    void ApplyParityBit();
    void ApplyStopBit();
    void ApplyFlowCtrl();
    void ApplyTimeOuts();
    void ApplyXonChar();
    void ApplyXoffChar();
    void StartThreads();
    // Runs on the component's thread, queued by the receive thread; generation_ tells whether the
    // opening that queued it is still the current one.
    void DeliverLineEvents(quint64 generation);
    void NoteLost();

    std::unique_ptr<serial_detail::Port> port_;
    std::unique_ptr<serial_detail::TransmitThread> transmit_;
    std::unique_ptr<serial_detail::ReceiveThread> receive_;
    QString openPath_;
    void CloseOpen(bool dropUnsent);
    quint64 generation_ = 0;  // advances at every Close
    bool lostNoted_ = false;  // DeviceLost queued for this opening

    int portNo_ = 1;
    int bitRate_ = 9600;
    int charSize_ = 8;
    TCommParityBits parityBit_ = cpbNone;
    TCommStopBits stopBit_ = csb1;
    TCommFlowCtrls flowCtrl_ = cfcRtsCts;
    int timeOutTrans_ = 3000;
    int timeOutReceive_ = 3000;
    char xonChar_ = 0x11;
    char xoffChar_ = 0x13;
    int bufLenTrans_ = 2048;
    int bufLenReceive_ = 2048;
    int xonLim_ = 0;
    int xoffLim_ = 0;
    uintptr_t handle_ = kInvalidHandle;
};

class TCommX : public TCustomCommX {
    Q_OBJECT
public:
    using TCustomCommX::TCustomCommX;
};
