#include "teaching/teaching_session.h"

#include "session/prompt.h"
#include "teaching/teaching_messages.h"
#include "teaching/trace_reduction.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

namespace orvane {

namespace {

constexpr qint64 kProgressEveryMs = 100;

int GroupOf(int channel) { return (channel - 1) / kChannelsPerBoard; }

}  // namespace

TeachingSession::TeachingSession(MainOperations &main, QObject *parent) : QObject(parent), main_(main)
{
    next_.setSingleShot(true);
    next_.setInterval(0);
    connect(&next_, &QTimer::timeout, this, &TeachingSession::SampleTick);
    ready_ = true;
    captured_ = false;
}

void TeachingSession::SyncIds()
{
    boards_.SetIds(main_.BoardId(0), main_.BoardId(1));
    mainBoards_.SetIds(main_.BoardId(0), main_.BoardId(1));
}

void TeachingSession::SetBusy(bool busy)
{
    busy_ = busy;
    emit BusyChanged(busy);
}

bool TeachingSession::Open()
{
    if (busy_ || sampling_ != Sampling::Off)
        return false;
    if (!main_.ReadBoardPositions())
        return false;
    for (int n = 1; n <= kChannelCount; ++n) {
        ChannelState &c = channels_[size_t(n)];
        const int v = main_.ValueCode(n);
        c.usable = true;
        if (IsPosition(v) || (v >= kValueSet1 && v <= kValueSet3)) {
            c.ticked = false;
            c.text = QString::number(v);
        } else if (v == kValueFree) {
            c.ticked = true;
            c.text = QString::number(v);
        } else if (v == kValueLow || v == kValueHigh) {
            c.ticked = false;
            c.usable = false;
            c.text = main_.ValueText(n);
        }
    }
    emit ChannelsChanged();

    SyncIds();
    if (const FailureMask failures = SendBoth()) {
        main_.ShowLinkStatus(failures);
        return false;
    }
    switch (mainBoards_.CheckSleep()) {
    case BoardOperations::SleepState::NoAnswer: main_.ShowLinkStatus(3); return false;
    case BoardOperations::SleepState::Asleep:
        main_.UserPrompt().Message(PromptIcon::Warning, TeachingMessages(TchWarning), TeachingMessages(TchServoStart),
                                   PromptButtons::Ok);
        main_.ReleaseSleep();
        break;
    case BoardOperations::SleepState::Awake:
    case BoardOperations::SleepState::NoBoard: break;
    }
    return true;
}

void TeachingSession::Closed()
{
    StopSampling();
    main_.ReadBoardPositions();
}

void TeachingSession::FreeClicked(int n, bool ticked)
{
    if (!ready_ || busy_ || sampling_ != Sampling::Off || n < 1 || n > kChannelCount)
        return;
    const int g = GroupOf(n);
    SetBusy(true);
    QCoreApplication::processEvents();
    captured_ = false;
    channels_[size_t(n)].ticked = ticked;

    if (ticked) {
        main_.SetValueCode(n, kValueFree);
        main_.SendBoardPositions(g, 0);
    } else if (main_.BoardPresent(g)) {
        SyncIds();
        std::array<int, kChannelsPerBoard> values{};
        // The first failing step ends the sequence and leaves the boards as they are: sending them back to
        // default mode could drive servos to values never read.
        if (boards_.SetMode(g, kModeTeaching)) {
            Settle();
            if (boards_.GetPositions(g, values)) {
                const int v = values[size_t((n - 1) % kChannelsPerBoard)];
                main_.SetValueCode(n, v);
                channels_[size_t(n)].text = QString::number(v);
                emit ChannelChanged(n);
                if (main_.SendBoardPositions(g, 0))
                    boards_.SetMode(g, kModeDefault);
            }
        }
    }
    SetBusy(false);
    main_.SetChannel(n, main_.ValueCode(n), ChannelSource::Editor);
}

void TeachingSession::Shot()
{
    if (busy_ || sampling_ != Sampling::Off)
        return;
    if (captured_)
        ReleaseHeld();
    else
        Capture();
}

void TeachingSession::CaptureAndAdd()
{
    if (busy_ || sampling_ != Sampling::Off || captured_)
        return;
    Capture();
    if (captured_)
        main_.AddCurrentPosition();
}

void TeachingSession::Release()
{
    if (busy_ || sampling_ != Sampling::Off || !captured_)
        return;
    ReleaseHeld();
}

void TeachingSession::ReleaseHeld()
{
    SetBusy(true);
    for (int n = 1; n <= kChannelCount; ++n)
        if (saved_[size_t(n)] == kValueFree)
            main_.SetChannel(n, kValueFree, ChannelSource::User);
    if (SendBoth() == 0) {
        Refresh();
        captured_ = false;
    }
    SetBusy(false);
}

void TeachingSession::Capture()
{
    SetBusy(true);
    for (int n = 1; n <= kChannelCount; ++n)
        saved_[size_t(n)] = main_.ValueCode(n);
    SyncIds();
    FailureMask failures = boards_.SetModeAll(kModeTeaching);
    if (failures == 0) {
        Settle();
        for (int g = 0; g < 2; ++g) {
            if (!boards_.Present(g))
                continue;
            std::array<int, kChannelsPerBoard> values{};
            if (!boards_.GetPositions(g, values)) {
                failures |= GroupFailure(g);
                continue;
            }
            for (int k = 1; k <= kChannelsPerBoard; ++k) {
                const int n = kChannelsPerBoard * g + k;
                const int v = values[size_t(k - 1)];
                // The held positions are what the boards get next; the teaching source keeps the mode lists.
                main_.SetValueCode(n, v);
                main_.SetChannel(n, v, ChannelSource::Teaching);
            }
        }
        if (failures == 0) {
            failures = SendBoth();
            if (failures == 0) {
                failures = boards_.SetModeAll(kModeDefault);
                Refresh();
                captured_ = true;
            }
        }
    }
    main_.ShowLinkStatus(failures);
    SetBusy(false);
}

void TeachingSession::Home()
{
    if (busy_ || sampling_ != Sampling::Off)
        return;
    SetBusy(true);
    if (main_.EnterSleep()) {
        main_.ReturnToHome();
        main_.ReadBoardPositions();
        ready_ = false;
        for (int n = 1; n <= kChannelCount; ++n) {
            ChannelState &c = channels_[size_t(n)];
            const int v = main_.ValueCode(n);
            c.usable = v <= kPositionMax || v == kValueFree;
            c.ticked = v == kValueFree;
            c.text = c.usable ? QString::number(v) : main_.ValueText(n);
        }
        emit ChannelsChanged();
        ready_ = true;
    }
    SetBusy(false);
}

void TeachingSession::Refresh()
{
    ready_ = false;
    for (int n = 1; n <= kChannelCount; ++n) {
        ChannelState &c = channels_[size_t(n)];
        const int v = main_.ValueCode(n);
        c.usable = v <= kPositionMax || v == kValueFree;
        c.ticked = v == kValueFree;
        c.text = QString::number(v);
    }
    emit ChannelsChanged();
    ready_ = true;
}

FailureMask TeachingSession::SendBoth()
{
    FailureMask failures = 0;
    for (int g = 0; g < 2; ++g)
        if (!main_.SendBoardPositions(g, 0))
            failures |= GroupFailure(g);
    return failures;
}

void TeachingSession::Settle()
{
    // Whoever calls this keeps other sequences out meanwhile; the window stays drawn.
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    if (const qint64 left = kSettleMs - clock.elapsed(); left > 0)
        QThread::msleep(unsigned(left));
}

// Sampling by hand

void TeachingSession::SetStillness(int stillMs, int thresholdDeg) { still_.SetStillness(stillMs, thresholdDeg); }

bool TeachingSession::StartAuto() { return StartSampling(Sampling::Auto); }

bool TeachingSession::StartRecording() { return StartSampling(Sampling::Record); }

bool TeachingSession::StartSampling(Sampling kind)
{
    if (busy_ || sampling_ != Sampling::Off || kind == Sampling::Off)
        return false;
    SyncIds();
    sampledGroups_ = {};
    for (int n = 1; n <= kChannelCount; ++n) {
        const bool free = main_.ValueCode(n) == kValueFree;
        freeChannels_[size_t(n - 1)] = free;
        if (free)
            channels_[size_t(n)].ticked = true;
        base_[size_t(n - 1)] = free ? kValueFree : main_.ValueText(n).toInt();
        if (free && boards_.Present(GroupOf(n)))
            sampledGroups_[size_t(GroupOf(n))] = true;
    }
    if (!sampledGroups_[0] && !sampledGroups_[1])
        return false;

    sampling_ = kind;
    stopAsked_ = false;
    autoRows_ = 0;
    if (kind == Sampling::Record)
        trace_.clear();
    still_.SetWatched(freeChannels_);
    still_.Reset();
    emit SamplingChanged();

    inSample_ = true;
    FailureMask failures = 0;
    for (int g = 0; g < 2; ++g)
        if (sampledGroups_[size_t(g)] && !boards_.SetMode(g, kModeTeaching))
            failures |= GroupFailure(g);
    if (failures == 0)
        Settle();
    inSample_ = false;
    if (failures != 0 || stopAsked_) {
        FinishSampling(failures);
        return false;
    }
    clock_.start();
    lastProgressMs_ = -kProgressEveryMs;
    next_.start();
    return true;
}

void TeachingSession::StopSampling()
{
    if (sampling_ == Sampling::Off)
        return;
    // In the middle of a sample the line is busy: the sample ends first, then the boards are told.
    if (inSample_) {
        stopAsked_ = true;
        return;
    }
    FinishSampling(0);
}

void TeachingSession::SampleTick()
{
    if (sampling_ == Sampling::Off)
        return;
    if (stopAsked_) {
        FinishSampling(0);
        return;
    }
    inSample_ = true;
    PoseValues values = base_;
    FailureMask failures = 0;
    for (int g = 0; g < 2 && failures == 0; ++g) {
        if (!sampledGroups_[size_t(g)])
            continue;
        std::array<int, kChannelsPerBoard> read{};
        if (!boards_.GetPositions(g, read)) {
            failures |= GroupFailure(g);
            break;
        }
        for (int k = 0; k < kChannelsPerBoard; ++k) {
            const size_t c = size_t(kChannelsPerBoard * g + k);
            if (freeChannels_[c])
                values[c] = read[size_t(k)];
        }
    }
    inSample_ = false;
    if (failures != 0) {
        FinishSampling(failures);
        return;
    }
    TakeSample(clock_.elapsed(), values);
    if (stopAsked_) {
        FinishSampling(0);
        return;
    }
    next_.start();
}

void TeachingSession::TakeSample(qint64 ms, const PoseValues &values)
{
    for (int c = 0; c < kChannelCount; ++c) {
        if (!freeChannels_[size_t(c)])
            continue;
        const QString text = QString::number(values[size_t(c)]);
        if (channels_[size_t(c + 1)].text != text) {
            channels_[size_t(c + 1)].text = text;
            emit ChannelChanged(c + 1);
        }
    }
    if (sampling_ == Sampling::Auto) {
        if (still_.Feed(ms, values)) {
            main_.AddPositions({RowTexts(values)});
            emit RowTaken(++autoRows_);
        }
        return;
    }
    // A trace starts at 0 ms, whatever settling and the first question took.
    if (trace_.empty())
        firstMs_ = ms;
    const qint64 at = ms - firstMs_;
    trace_.push_back({at, values});
    if (at - lastProgressMs_ >= kProgressEveryMs) {
        lastProgressMs_ = at;
        emit RecordingProgress(at, int(trace_.size()));
    }
}

void TeachingSession::FinishSampling(FailureMask failureMask)
{
    const Sampling kind = sampling_;
    next_.stop();
    sampling_ = Sampling::Off;
    stopAsked_ = false;
    // Our own frames go out now; nothing else may start meanwhile.
    busy_ = true;
    FailureMask modeFailures = 0;
    for (int g = 0; g < 2; ++g)
        if (sampledGroups_[size_t(g)] && !boards_.SetMode(g, kModeDefault))
            modeFailures |= GroupFailure(g);
    for (int c = 0; c < kChannelCount; ++c) {
        if (!freeChannels_[size_t(c)])
            continue;
        channels_[size_t(c + 1)].text = QString::number(main_.ValueCode(c + 1));
        emit ChannelChanged(c + 1);
    }
    busy_ = false;
    if (kind == Sampling::Record && !trace_.empty()) {
        emit RecordingProgress(trace_.back().ms, int(trace_.size()));
        AddTraceRows(trace_);
    }
    if (const FailureMask mask = failureMask | modeFailures) {
        main_.ShowLinkStatus(mask);
        emit SamplingLost(mask);
    }
    emit SamplingChanged();
}

int TeachingSession::AddTraceRows(const Trace &trace)
{
    if (&trace != &trace_)
        trace_ = trace;
    QList<QStringList> rows;
    for (int i : ReduceTrace(trace_, tolerance_))
        rows << RowTexts(trace_[size_t(i)].values);
    if (!rows.isEmpty())
        main_.AddPositions(rows);
    emit TraceReduced(int(trace_.size()), int(rows.size()));
    return int(rows.size());
}

QStringList TeachingSession::RowTexts(const PoseValues &values) const
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts;
}

}  // namespace orvane
