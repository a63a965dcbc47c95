#pragma once
// Runs a step inside a modal dialog: `act` gets the modal widget once one shows. When none shows within the
// time-out the test fails and the wait ends, rather than polling into the tests that follow.

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace detail {

inline void PollModal(std::function<void(QWidget *)> act, QDeadlineTimer deadline)
{
    QTimer::singleShot(0, [act = std::move(act), deadline] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            act(w);
            return;
        }
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "no modal dialog showed";
            return;
        }
        PollModal(act, deadline);
    });
}

}  // namespace detail

inline void WhenModal(std::function<void(QWidget *)> act, int timeoutMs = 5000)
{
    detail::PollModal(std::move(act), QDeadlineTimer(timeoutMs));
}
