#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `act` on the modal widget once one is showing.
inline void OnModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        if (QWidget *w = QApplication::activeModalWidget())
            act(w);
        else
            OnModal(act);
    });
}
