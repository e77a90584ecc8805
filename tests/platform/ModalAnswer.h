#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Plays the user's part in a modal window: once a modal widget of type T is active, runs
// `answer` on it from inside its event loop. A window of another type, or none within five
// seconds, is rejected by closing it so the test fails instead of hanging.
// Returns a flag that turns true once `answer` has run.
template<typename T>
std::shared_ptr<bool> answerModal(std::function<void(T &)> answer,
    std::function<QWidget *()> find = &QApplication::activeModalWidget)
{
    auto answered = std::make_shared<bool>(false);
    auto *timer = new QTimer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(5000);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget *window = find();
        T *wanted = qobject_cast<T *>(window);
        if (!wanted && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (wanted) {
            *answered = true;
            answer(*wanted);
        } else if (window) {
            window->close();
        }
    });
    timer->start();
    return answered;
}
