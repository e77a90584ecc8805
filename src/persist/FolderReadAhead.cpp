#include "persist/FolderReadAhead.h"

#include "persist/SaveEngine.h"

#include <QThread>

FolderReadAhead::FolderReadAhead(QString folder)
    : m_folder(std::move(folder))
{
    m_thread.reset(QThread::create([this] {
        // A repair that fails leaves the files as they are; the first save tries it again and
        // reports what stops it.
        cleanupInterruptedSave(m_folder);
        m_scan = scanEntryFiles(m_folder, &m_known);
    }));
    m_thread->start();
}

FolderReadAhead::~FolderReadAhead()
{
    m_thread->wait();
}

StoredEntryScan FolderReadAhead::take(KnownEntryFiles &known)
{
    m_thread->wait();
    known = std::move(m_known);
    return std::move(m_scan);
}
