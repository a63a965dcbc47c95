#pragma once
// A pseudo-terminal pair for driving TCommX from the other end of the line.

#include <QByteArray>
#include <QString>

class PtyPair {
public:
    PtyPair();  // throws std::system_error
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    QString SlavePath() const { return path_; }
    int Master() const { return master_; }
    // A descriptor of our own on the slave: it keeps the master from reading EIO before the
    // component opens, and lets a test look at the line settings the component made.
    int Slave() const { return slave_; }

    void Send(const QByteArray &bytes);
    // Reads from the master until count bytes came or timeoutMs passed.
    QByteArray Receive(int count, int timeoutMs);
    // Reads until nothing more came for quietMs.
    QByteArray ReceiveUntilQuiet(int quietMs);
    void CloseMaster();  // the device vanishes

private:
    int master_ = -1;
    int slave_ = -1;
    QString path_;
};

// CPU time the whole process has used so far, in milliseconds.
double ProcessCpuMs();
