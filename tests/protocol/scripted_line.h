#pragma once
// The far end of a pseudo-terminal, answering each complete frame with a scripted reply.
// Lets protocol tests assert the exact bytes sent and feed replies no real board would give.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct ReplyPiece {
    int delayMs;  // before this piece leaves
    QByteArray bytes;
};
using ScriptedReply = std::vector<ReplyPiece>;  // empty: stay silent

class ScriptedLine {
public:
    ScriptedLine();
    ~ScriptedLine();

    QString SlavePath() const { return slavePath_; }
    // Replies in order, one per complete frame; when they run out, frames get no answer.
    void Script(std::vector<ScriptedReply> replies);
    std::vector<QByteArray> Frames();  // every complete frame received so far
    void ClearFrames();
    // Waits until n frames have arrived (or the time-out passed).
    bool WaitForFrames(size_t n, int timeoutMs = 2000);

private:
    void Run();

    int master_ = -1;
    int slaveKeep_ = -1;
    int wake_[2] = {-1, -1};
    QString slavePath_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<ScriptedReply> script_;
    std::vector<QByteArray> frames_;
    QByteArray pending_;
    std::atomic<bool> stop_{false};
};
