#pragma once
// A test main window whose sleep operations really talk to the boards, through the program's own
// BoardOperations with the main window's tries, its servo warning shown through the window's prompt.

#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <QString>
#include <QStringList>

#include <functional>

template <class Base>
class SleepOnBoards : public Base {
public:
    static constexpr const char *kServoStop =
        "ＯＫをクリックすると通信を開始すると共に\r\nサーボが停止するので注意してください！";

    bool EnsureSleep() override
    {
        sleepCalls << QStringLiteral("EnsureSleep");
        if (onEnsureSleep)
            onEnsureSleep();
        return Ops().EnsureSleep([this] {
            this->UserPrompt().Message(PromptIcon::Warning, QStringLiteral("警告"), QString::fromUtf8(kServoStop),
                                       PromptButtons::Ok);
        });
    }
    bool ReleaseSleep() override
    {
        sleepCalls << QStringLiteral("ReleaseSleep");
        return Ops().ReleaseSleep() == 0;
    }
    bool EnterSleep() override
    {
        sleepCalls << QStringLiteral("EnterSleep");
        return Ops().EnterSleep() == 0;
    }

    QStringList sleepCalls;
    std::function<void()> onEnsureSleep;

private:
    orvane::BoardOperations &Ops()
    {
        ops_.SetIds(this->BoardId(0), this->BoardId(1));
        return ops_;
    }
    orvane::BoardOperations ops_{MainRetryCount};
};
