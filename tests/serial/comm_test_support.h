#pragma once
// Helpers shared by the TCommX tests.

#include "sanitized.h"
#include "serial/comm_x.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <functional>
#include <thread>

using Ms = std::chrono::milliseconds;

template <typename F>
double ElapsedMs(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The message of the ECommError that f raises, or "(none)".
template <typename F>
QString CommErrorOf(F &&f)
{
    try {
        f();
    } catch (const ECommError &e) {
        return e.Message();
    }
    return QStringLiteral("(none)");
}

// Serves events until done() or the time is up.
inline bool ServeUntil(const std::function<bool()> &done, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + Ms(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        std::this_thread::sleep_for(Ms(1));
    }
    return true;
}

// Timing limits hold for the plain build; a sanitizer slows every lock and wake-up.
constexpr double kSlowdown = ORVANE_TEST_SANITIZED ? 5.0 : 1.0;
