#pragma once
// Whoever watches the line (the line monitor) is told every transaction the protocol layer runs: the frame,
// each try with its reply and its time, and how the command judges the reply. With no observer set the
// transaction records nothing and formats nothing.
//
// Everything here runs on the user-interface thread, as the transactions do.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// How one try ended, as the command judges it.
enum class LineVerdict : uint8_t {
    Ok,
    NoReply,          // silence
    ShortReply,       // fewer bytes than the command waits for
    BadChecksum,      // full length, wrong last byte
    WrongId,          // full length, byte 0 names another board
    NotAcknowledged,  // an acknowledge whose second byte is not 0x06
    LateBytes,        // not a try: bytes of an earlier try's answer, drained after a retry and thrown away
    SentOnly,         // a frame no board answers (PlayMotion to every board)
    PortClosed,       // the frame could not be handed to the port
};

bool IsFailure(LineVerdict verdict);

struct LineTry {
    double startMs = 0;      // the frame handed to the port (late bytes: the drain began); ms since program start
    double roundTripMs = 0;  // until the last byte came, or the attempt ended in silence
    QByteArray reply;
    LineVerdict verdict = LineVerdict::NoReply;
};

struct LineTransaction {
    QByteArray frame;  // with its checksum
    int expected = 0;  // the reply length waited for; 0 for a frame sent without waiting
    int allowed = 1;   // attempts allowed
    // Every attempt in order, then the late bytes drained after them, if any came.
    std::vector<LineTry> tries;

    int Attempts() const;             // tries without the late bytes
    const LineTry &Deciding() const;  // the last attempt: its verdict is the command's
};

enum class LinePortEvent : uint8_t { Lost, Back };

class LineObserver {
public:
    virtual ~LineObserver() = default;
    virtual void TransactionDone(const LineTransaction &transaction) = 0;
    // The port's device went away (and the port was closed), or came back and was opened again.
    virtual void PortChanged(LinePortEvent event, int portNo, const QString &path) = 0;
};

// One observer at a time; null: nobody watches.
void SetLineObserver(LineObserver *observer);
LineObserver *CurrentLineObserver();
void NotifyPortChanged(LinePortEvent event, int portNo, const QString &path);

// Milliseconds since the program started: the time base of every try.
double LineClockMs();
