#pragma once
// What the teaching window does with the boards and the main window, without a widget: opening, the FREE
// boxes, capture and release, home, and the hands-on sampling (capture when still, record a movement).
// The window shows the state kept here and follows its signals.
//
// Everything runs on the user-interface thread. The commands serve the event loop while they wait, so a
// click can arrive in the middle of a sequence: sequences refuse to start while another runs (Busy()), and
// a stop asked for during a sample takes effect once that sample is in.

#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "teaching/hand_trace.h"
#include "teaching/stillness.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace orvane {

class TeachingSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300;  // boards need this in teaching mode before positions are read

    // What the window shows of channel n: its FREE box, whether box and value can be used, the value text.
    struct ChannelState {
        bool ticked = false;
        bool usable = true;
        QString text;
    };
    enum class Sampling { Off, Auto, Record };

    explicit TeachingSession(MainOperations &main, QObject *parent = nullptr);

    // The main window's teaching button up to showing the window: read the boards, take over the channels,
    // send them, wake sleeping servos after the warning. True when the window is to be shown.
    bool Open();
    // The window has closed: sampling ends and the main window reads the boards again.
    void Closed();

    // A FREE box clicked by the user, now ticked or cleared.
    void FreeClicked(int channel, bool ticked);
    // The shot button: capture when nothing is captured, else release.
    void Shot();
    // F2: capture, and when that worked add the held pose as a row. Nothing while captured.
    void CaptureAndAdd();
    // F3: release what a capture holds; nothing otherwise.
    void Release();
    void Home();
    void Add() { main_.AddCurrentPosition(); }

    // Capture when still.
    void SetStillness(int stillMs, int thresholdDeg);
    // False when no FREE channel has a board to ask, or the boards refused teaching mode.
    bool StartAuto();
    // Recording a movement; its rows are added when it stops.
    bool StartRecording();
    void SetTolerance(int degrees) { tolerance_ = degrees; }
    int Tolerance() const { return tolerance_; }
    // Ends either kind of sampling; the boards go back to default mode with their FREE channels FREE.
    void StopSampling();
    // A trace (recorded or loaded) becomes rows at the tolerance set: one AddPositions, so one undo step.
    // It becomes the last trace. Returns the number of rows.
    int AddTraceRows(const Trace &trace);

    bool Ready() const { return ready_; }
    bool Captured() const { return captured_; }
    bool Busy() const { return busy_; }
    Sampling SamplingKind() const { return sampling_; }
    int AutoRows() const { return autoRows_; }
    const Trace &LastTrace() const { return trace_; }
    const ChannelState &Channel(int n) const { return channels_[size_t(n)]; }

signals:
    void ChannelsChanged();  // every channel's state, with the ready flag cleared while it is shown
    void ChannelChanged(int channel);
    void BusyChanged(bool busy);  // the window is disabled while busy
    void SamplingChanged();       // sampling started or ended
    void RowTaken(int rowsSinceStart);
    void RecordingProgress(qint64 ms, int samples);
    void TraceReduced(int samples, int rows);
    // Sampling ended because a board stopped answering (failure mask); said once.
    void SamplingLost(orvane::FailureMask failures);

private:
    void SetBusy(bool busy);
    FailureMask SendBoth();
    void Refresh();
    void Capture();
    void ReleaseHeld();
    void SyncIds();
    static void Settle();

    bool StartSampling(Sampling kind);
    void SampleTick();
    void TakeSample(qint64 ms, const PoseValues &values);
    void FinishSampling(FailureMask failureMask);
    QStringList RowTexts(const PoseValues &values) const;

    MainOperations &main_;
    BoardOperations boards_{RetryCount};          // the window's own commands
    BoardOperations mainBoards_{MainRetryCount};  // what opening asks on the main window's behalf
    bool ready_ = false;
    bool captured_ = false;
    bool busy_ = false;
    std::array<int, kChannelCount + 1> saved_{};
    std::array<ChannelState, kChannelCount + 1> channels_{};

    Sampling sampling_ = Sampling::Off;
    bool inSample_ = false;
    bool stopAsked_ = false;
    std::array<bool, 2> sampledGroups_{};
    std::array<bool, kChannelCount> freeChannels_{};
    PoseValues base_{};  // the values a row takes on the channels that are not FREE
    QElapsedTimer clock_;
    qint64 firstMs_ = 0;  // clock time of the trace's first sample
    qint64 lastProgressMs_ = 0;
    QTimer next_;
    StillnessDetector still_;
    int autoRows_ = 0;
    int tolerance_ = 2;
    Trace trace_;
};

}  // namespace orvane
