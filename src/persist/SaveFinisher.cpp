#include "persist/SaveFinisher.h"

#include "persist/SaveEngine.h"

#include <QThread>

SaveFinisher::SaveFinisher(QString folder)
    : m_folder(std::move(folder))
{ }

SaveFinisher::~SaveFinisher()
{
    finish();
}

void SaveFinisher::start()
{
    if (running())
        return;
    finish();
    m_thread.reset(QThread::create([folder = m_folder] {
        // Nobody waits for this work: a failure leaves the record, and the next save or start
        // does it again.
        if (const auto error = finishSaves(
                folder, [] { return QThread::currentThread()->isInterruptionRequested(); }))
            qWarning("a save not finished: %s: %s", qPrintable(error->fileName),
                qPrintable(error->reason));
    }));
    m_thread->start(QThread::LowPriority);
}

void SaveFinisher::stop()
{
    if (!m_thread)
        return;
    m_thread->requestInterruption();
    m_thread->wait();
}

void SaveFinisher::finish()
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread.reset();
}

bool SaveFinisher::running() const
{
    return m_thread && m_thread->isRunning();
}
