#include "serial/comm_x.h"

#include "serial/comm_threads.h"
#include "serial/port_linux.h"
#include "serial/serial_log.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMetaObject>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcSerial, "orvane.serial", QtCriticalMsg)

using serial_detail::Clock;
using serial_detail::OpenFailure;
using serial_detail::Port;
using serial_detail::ReceiveThread;
using serial_detail::TransmitThread;

namespace {

const char kAlreadyOpen[] = "ポートは、すでにオープンされています";
const char kCannotOpen[] = "ポートをオープンできませんでした";
const char kNoTransmitThread[] = "送信用スレッドを生成できませんでした";
const char kNoReceiveThread[] = "受信用スレッドを生成できませんでした";
const char kBitRateRefused[] = "通信速度の設定でエラーが発生しました";
const char kCharSizeRefused[] = "通信ビット数の設定でエラーが発生しました";
const char kParityRefused[] = "通信パリティチェックの設定でエラーが発生しました";
const char kStopBitRefused[] = "通信ストップビット数の設定でエラーが発生しました";
const char kFlowCtrlRefused[] = "通信フロー制御の設定で失敗しました";
const char kTimeOutsRefused[] = "通信タイムアウト時間の設定で失敗しました";
const char kXonRefused[] = "Ｘｏｎ文字の設定でエラーが発生しました";
const char kXoffRefused[] = "Ｘｏｆｆ文字の設定でエラーが発生しました";
const char kQueueSizesRefused[] = "通信用ポートのバッファを準備できませんでした";

constexpr int kLargestQueue = 16 * 1024 * 1024;

[[noreturn]] void Refuse(const char *text)
{
    const QString message = QString::fromUtf8(text);
    qCDebug(lcSerial).noquote() << "refused:" << message;
    throw ECommError(message);
}

void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ProcessEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// Well inside a frame of the display, and long enough that serving costs little against the commands.
constexpr auto kServeInterval = std::chrono::milliseconds(4);

std::mutex &PathLock()
{
    static std::mutex lock;
    return lock;
}

QHash<int, QString> &PathOverrides()
{
    static QHash<int, QString> overrides;
    return overrides;
}

}  // namespace

void ServeUserInterface(bool now)
{
    // Only the user-interface thread serves; the time is its own.
    static std::chrono::steady_clock::time_point served;
    if (!now && std::chrono::steady_clock::now() - served < kServeInterval)
        return;
    ProcessEvents();
    served = std::chrono::steady_clock::now();
}

ECommError::ECommError(const QString &message, TCommOpenCause cause, int systemError)
    : std::runtime_error(message.toStdString()), message_(message), cause_(cause), systemError_(systemError)
{}

uint32_t FlowCtrlFlags(TCommFlowCtrls flow)
{
    switch (flow) {
    case cfcRtsCts: return 0x2017;
    case cfcDtrDsr: return 0x102B;
    case cfcXonXoff: return 0x1313;
    case cfcHalfHigh: return 0x0013;
    case cfcHalfLow: return 0x1013;
    case cfcNone: return 0x1013;
    }
    return 0;
}

QString DevicePathFor(int portNo)
{
    {
        std::lock_guard lock(PathLock());
        const auto it = PathOverrides().constFind(portNo);
        if (it != PathOverrides().constEnd())
            return *it;
    }
    if (portNo >= 1 && portNo <= 10)
        return QStringLiteral("/dev/ttyUSB%1").arg(portNo - 1);
    if (portNo >= 11 && portNo <= 20)
        return QStringLiteral("/dev/ttyACM%1").arg(portNo - 11);
    if (portNo >= 21 && portNo <= 30)
        return QStringLiteral("/dev/ttyS%1").arg(portNo - 21);
    return QString();
}

void SetDevicePath(int portNo, const QString &path)
{
    std::lock_guard lock(PathLock());
    if (path.isEmpty())
        PathOverrides().remove(portNo);
    else
        PathOverrides().insert(portNo, path);
}

void ClearDevicePaths()
{
    std::lock_guard lock(PathLock());
    PathOverrides().clear();
}

TCustomCommX::TCustomCommX(QObject *owner) : QObject(owner) {}

TCustomCommX::~TCustomCommX() { Close(); }

bool TCustomCommX::IsLost() const { return IsOpen() && port_ && port_->IsLost(); }

void TCustomCommX::NoteLost()
{
    if (lostNoted_ || !IsOpen())
        return;
    lostNoted_ = true;
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (IsOpen() && generation == generation_)
                emit DeviceLost();
        },
        Qt::QueuedConnection);
}

QString TCustomCommX::DevicePath() const { return IsOpen() ? openPath_ : DevicePathFor(portNo_); }

void TCustomCommX::SetPortNo(int value)
{
    portNo_ = value;
    if (IsOpen()) {
        Close();
        Open();
    }
}

void TCustomCommX::SetBitRate(int value)
{
    bitRate_ = value;
    if (IsOpen())
        ApplyBitRate();
}

void TCustomCommX::SetCharSize(int value)
{
    charSize_ = value;
    if (IsOpen())
        ApplyCharSize();
}

void TCustomCommX::SetParityBit(TCommParityBits value)
{
    parityBit_ = value;
    if (IsOpen())
        ApplyParityBit();
}

void TCustomCommX::SetStopBit(TCommStopBits value)
{
    stopBit_ = value;
    if (IsOpen())
        ApplyStopBit();
}

void TCustomCommX::SetFlowCtrl(TCommFlowCtrls value)
{
    flowCtrl_ = value;
    if (IsOpen())
        ApplyFlowCtrl();
}

void TCustomCommX::SetTimeOutTrans(int ms)
{
    timeOutTrans_ = ms;
    if (IsOpen())
        ApplyTimeOuts();
}

void TCustomCommX::SetTimeOutReceive(int ms)
{
    timeOutReceive_ = ms;
    if (IsOpen())
        ApplyTimeOuts();
}

void TCustomCommX::SetXonChar(char c)
{
    xonChar_ = c;
    if (IsOpen())
        ApplyXonChar();
}

void TCustomCommX::SetXoffChar(char c)
{
    xoffChar_ = c;
    if (IsOpen())
        ApplyXoffChar();
}

void TCustomCommX::SetBufLenTrans(int bytes)
{
    bufLenTrans_ = bytes;
    if (IsOpen())
        ApplyQueueSizes();
}

void TCustomCommX::SetBufLenReceive(int bytes)
{
    bufLenReceive_ = bytes;
    if (IsOpen()) {
        ApplyQueueSizes();
        ApplyFlowCtrl();  // the XON/XOFF limits follow the size
    }
}

void TCustomCommX::ApplyQueueSizes()
{
    if (bufLenReceive_ < 1 || bufLenReceive_ > kLargestQueue || bufLenTrans_ < 1 || bufLenTrans_ > kLargestQueue)
        Refuse(kQueueSizesRefused);
    if (receive_)
        receive_->SetCapacity(bufLenReceive_);
}

void TCustomCommX::ApplyBitRate()
{
    if (!port_->SetBitRate(bitRate_))
        Refuse(kBitRateRefused);
    if (transmit_)
        transmit_->SetBitRate(bitRate_);
}

void TCustomCommX::ApplyCharSize()
{
    if (!port_->SetCharSize(charSize_))
        Refuse(kCharSizeRefused);
}

void TCustomCommX::ApplyParityBit()
{
    const bool taken = port_->SetParity(parityBit_);
    if (receive_)
        receive_->SetParityEnabled(port_->ParityEnabled());
    if (!taken)
        Refuse(kParityRefused);
}

void TCustomCommX::ApplyStopBit()
{
    if (!port_->SetStopBits(stopBit_))
        Refuse(kStopBitRefused);
}

void TCustomCommX::ApplyFlowCtrl()
{
    xonLim_ = bufLenReceive_ / 4;
    xoffLim_ = bufLenReceive_ / 4;
    // Linux has no DSR/DTR handshake; refusing is better than a line that silently lacks it.
    const bool known = flowCtrl_ >= cfcRtsCts && flowCtrl_ <= cfcNone && flowCtrl_ != cfcDtrDsr;
    const bool rtsCts = flowCtrl_ == cfcRtsCts;
    const bool xonXoff = flowCtrl_ == cfcXonXoff;
    if (!known || !port_->SetFlowControl(rtsCts, xonXoff))
        Refuse(kFlowCtrlRefused);
    port_->SetDtr(true);
    port_->SetRts(flowCtrl_ != cfcHalfHigh);  // under CRTSCTS the driver takes RTS over
    if (transmit_)
        transmit_->SetFlowCtrl(flowCtrl_);
    if (receive_)
        receive_->SetHoldWhenFull(rtsCts || xonXoff);
}

void TCustomCommX::ApplyTimeOuts()
{
    if (timeOutTrans_ < 0 || timeOutReceive_ < 0)
        Refuse(kTimeOutsRefused);
    if (transmit_)
        transmit_->SetTimeOut(timeOutTrans_);
}

void TCustomCommX::ApplyXonChar()
{
    if (!port_->SetXonChar(xonChar_))
        Refuse(kXonRefused);
}

void TCustomCommX::ApplyXoffChar()
{
    if (!port_->SetXoffChar(xoffChar_))
        Refuse(kXoffRefused);
}

void TCustomCommX::StartThreads()
{
    try {
        transmit_ = std::make_unique<TransmitThread>(*port_, timeOutTrans_, bitRate_, flowCtrl_);
        transmit_->Start();
    } catch (const std::exception &e) {
        qCWarning(lcSerial) << "transmit thread:" << e.what();
        transmit_.reset();
        Refuse(kNoTransmitThread);
    }
    const quint64 generation = generation_;
    auto notify = [this, generation] {
        QMetaObject::invokeMethod(
            this, [this, generation] { DeliverLineEvents(generation); }, Qt::QueuedConnection);
    };
    try {
        receive_ = std::make_unique<ReceiveThread>(*port_, bufLenReceive_, notify);
        receive_->SetParityEnabled(port_->ParityEnabled());
        receive_->SetHoldWhenFull(flowCtrl_ == cfcRtsCts || flowCtrl_ == cfcXonXoff);
        receive_->Start();
    } catch (const std::exception &e) {
        qCWarning(lcSerial) << "receive thread:" << e.what();
        receive_.reset();
        Refuse(kNoReceiveThread);
    }
}

namespace {
TCommOpenCause OpenCauseOf(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::None: return TCommOpenCause::None;
    case OpenFailure::Missing: return TCommOpenCause::Missing;
    case OpenFailure::InUse: return TCommOpenCause::InUse;
    case OpenFailure::NotPermitted: return TCommOpenCause::NotPermitted;
    case OpenFailure::NotATerminal: return TCommOpenCause::NotASerialDevice;
    case OpenFailure::Other: break;
    }
    return TCommOpenCause::Other;
}
}  // namespace

void TCustomCommX::Open()
{
    if (IsOpen())
        Refuse(kAlreadyOpen);
    const QString path = DevicePathFor(portNo_);
    OpenFailure failure = OpenFailure::Missing;
    int error = 0;
    std::unique_ptr<Port> port;
    if (!path.isEmpty())
        port = Port::Open(QFile::encodeName(path).toStdString(), failure, error);
    if (!port) {
        qCInfo(lcSerial).nospace() << "cannot open COM" << portNo_ << " (" << path
                                   << "): " << serial_detail::OpenFailureText(failure) << (error ? ", " : "")
                                   << (error ? std::strerror(error) : "");
        throw ECommError(QString::fromUtf8(kCannotOpen), OpenCauseOf(failure), error);
    }
    port_ = std::move(port);
    handle_ = static_cast<uintptr_t>(port_->Fd());
    lostNoted_ = false;
    openPath_ = path;
    try {
        ApplyQueueSizes();
        port_->PurgeOutput();
        port_->PurgeInput();
        ApplyBitRate();
        ApplyCharSize();
        ApplyParityBit();
        ApplyStopBit();
        ApplyFlowCtrl();
        ApplyTimeOuts();
        ApplyXonChar();
        ApplyXoffChar();
        StartThreads();
        qCDebug(lcSerial) << "opened COM" << portNo_ << path << bitRate_;
        Wait(100);
    } catch (...) {
        Close();
        throw;
    }
}

void TCustomCommX::Close() { CloseOpen(true); }

void TCustomCommX::CloseAfterSending(int maxWaitMs)
{
    if (!IsOpen())
        return;
    QElapsedTimer waited;
    waited.start();
    while (OutQueueCount() > 0 && !IsLost() && waited.elapsed() < maxWaitMs)
        Wait(1);
    CloseOpen(false);
}

void TCustomCommX::CloseOpen(bool dropUnsent)
{
    if (!IsOpen())
        return;
    qCDebug(lcSerial) << "closing COM" << portNo_ << openPath_;
    SetDtr(false);
    SetRts(false);
    if (dropUnsent)
        FlushTransmit();
    PurgeReceive();
    Wait(100);
    if (transmit_) {
        transmit_->Stop();
        transmit_.reset();
    }
    if (receive_) {
        receive_->Stop();
        receive_.reset();
    }
    port_.reset();
    handle_ = kInvalidHandle;
    ++generation_;
    Wait(200);
}

bool TCustomCommX::Write(const void *buffer, int count)
{
    if (count == 0)
        return true;
    if (!buffer || count < 0)
        return false;
    const char *p = static_cast<const char *>(buffer);
    int left = count;
    while (left > 0) {
        if (!IsOpen() || !transmit_)
            return false;
        if (port_->IsLost()) {
            NoteLost();
            return false;
        }
        const int size = std::min(left, std::max(1, bufLenTrans_));
        if (transmit_->TryEnqueue(p, size)) {
            emit ChunkQueued(size);
            p += size;
            left -= size;
        } else {
            ProcessEvents();
            Wait(1);
        }
    }
    return true;
}

bool TCustomCommX::Write(const QByteArray &data) { return Write(data.constData(), int(data.size())); }

int TCustomCommX::Read(void *buffer, int count)
{
    if (!IsOpen() || !receive_ || !buffer || count < 0)
        return -1;
    if (count == 0)
        return 0;
    const quint64 generation = generation_;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeOutReceive_));
    for (;;) {
        // Short waits on the receive thread's condition variable: a byte wakes this at once, and
        // the user interface is served between them.
        const auto until = std::min(deadline, Clock::now() + std::chrono::milliseconds(1));
        const int n = receive_->Collect(buffer, count, until);
        if (n < 0 && port_->IsLost())
            NoteLost();
        if (n > 0 && lcSerial().isDebugEnabled())
            qCDebug(lcSerial) << "read" << QByteArray(static_cast<const char *>(buffer), n).toHex(' ');
        if (n != 0)
            return n;
        if (Clock::now() >= deadline)
            return 0;
        ServeUserInterface();
        if (!IsOpen() || generation != generation_ || !receive_)
            return -1;
    }
}

void TCustomCommX::PurgeReceive()
{
    if (!IsOpen())
        return;
    if (receive_)
        receive_->Purge();
    else
        port_->PurgeInput();
}

void TCustomCommX::FlushTransmit()
{
    if (!IsOpen())
        return;
    if (!transmit_) {
        port_->PurgeOutput();
        return;
    }
    transmit_->SetPurging(true);
    for (;;) {
        transmit_->PurgeOutput();
        if (transmit_->QueuedBytes() == 0)
            break;
        Wait(1);
    }
    transmit_->SetPurging(false);
}

void TCustomCommX::SetDtr(bool on)
{
    if (IsOpen())
        port_->SetDtr(on);
}

void TCustomCommX::SetRts(bool on)
{
    if (IsOpen())
        port_->SetRts(on);
}

int TCustomCommX::InQueueCount()
{
    if (!IsOpen())
        return 0;
    return receive_ ? receive_->Count() : port_->BytesInInput();
}

int TCustomCommX::OutQueueCount()
{
    if (!IsOpen())
        return 0;
    return (transmit_ ? transmit_->QueuedBytes() : 0) + port_->BytesInOutput();
}

void TCustomCommX::DeliverLineEvents(quint64 generation)
{
    auto current = [this, generation] { return IsOpen() && generation == generation_ && receive_; };
    if (!current())
        return;
    if (port_->IsLost())
        NoteLost();
    const ReceiveThread::Events events = receive_->TakeEvents();
    if (events.errors != 0 && OnError) {
        OnError(this, static_cast<int>(events.errors & serial_detail::kLineErrors));
        if (!current())
            return;
    }
    for (int i = 0; i < events.breaks && OnBreak; ++i) {
        OnBreak(this);
        if (!current())
            return;
    }
    if (events.received && OnReceive) {
        const int size = InQueueCount();
        if (size > 0)
            OnReceive(this, size);
    }
}
