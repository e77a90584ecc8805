#include "mainwin/ThreadWait.h"

#include "platform/ModalGate.h"

#include <QEventLoop>
#include <QThread>
#include <memory>

void runWhileWindowWaits(ModalGate &modals, const std::function<void()> &work)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    const ModalGate::Wait wait(modals);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // An application that exits ends every event loop at once; the work is waited for all the
    // same.
    thread->wait();
}
