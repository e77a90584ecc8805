#include "mainwin/FolderWatch.h"

#include "persist/OutsideChanges.h"
#include "platform/ModalGate.h"

#include <QDir>
#include <QEvent>
#include <QSet>

FolderWatch::FolderWatch(const QString &dir, const QString &settingsName, QObject &window,
    ModalGate &modals, const QHash<QString, FileStamp> &seen)
    : QObject(&window)
    , m_dir(dir)
    , m_settingsName(settingsName)
    , m_modals(modals)
    , m_seen(seen)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &FolderWatch::settle);
    m_lookSoon.setSingleShot(true);
    m_lookSoon.setInterval(LookDelayMilliseconds);
    connect(&m_lookSoon, &QTimer::timeout, this, &FolderWatch::look);
    m_watchSoon.setSingleShot(true);
    m_watchSoon.setInterval(0);
    connect(&m_watchSoon, &QTimer::timeout, this, [this] { watchFiles(m_seen); });
    const auto lookSoon = [this] {
        if (!m_lookSoon.isActive())
            m_lookSoon.start();
    };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, lookSoon);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, lookSoon);
    window.installEventFilter(this);
    // Once the window is up: stating and watching every note file is no part of showing it.
    // The first look finds whatever changed between the reading and then.
    QTimer::singleShot(0, this, [this] {
        m_watcher.addPath(m_dir);
        look();
    });
}

void FolderWatch::accept(const QHash<QString, FileStamp> &stamps)
{
    m_seen = stamps;
    // A save that replaced hundreds of files took their watches with them; watching them anew
    // is no part of the save the window waits for. Nothing goes unseen meanwhile: the renames
    // brought the folder's watch a look at every file's stamp, and each save looks again.
    m_watchSoon.start();
}

bool FolderWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        look();
    return QObject::eventFilter(watched, event);
}

void FolderWatch::look()
{
    if (lookAgainAfterSave(m_lookSoon))
        return;
    const QHash<QString, FileStamp> now = noteFileStamps(m_dir, m_settingsName);
    watchFiles(now);
    if (now == m_seen)
        return;
    m_seen = now;
    m_settle.start();
}

void FolderWatch::settle()
{
    if (lookAgainAfterSave(m_settle))
        return;
    const QHash<QString, FileStamp> now = noteFileStamps(m_dir, m_settingsName);
    if (now != m_seen) {
        m_seen = now;
        m_settle.start();
        return;
    }
    emit settled();
}

// Mid-save the files are half old, half new: looked at again a while later, when the save has
// told the watch what it wrote (accept()), or has failed and left the change to be seen.
bool FolderWatch::lookAgainAfterSave(QTimer &again)
{
    if (!m_modals.waiting())
        return false;
    again.start();
    return true;
}

// A file replaced by a rename, as sync tools and the program's own saves do, leaves the watch
// list; the folder's watch still sees the rename, and this adds the new file.
void FolderWatch::watchFiles(const QHash<QString, FileStamp> &present)
{
    const QDir folder(m_dir);
    const QStringList watchedList = m_watcher.files();
    const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
    QStringList paths;
    for (auto it = present.cbegin(); it != present.cend(); ++it) {
        const QString path = folder.filePath(it.key());
        if (!watched.contains(path))
            paths.append(path);
    }
    if (!paths.isEmpty())
        m_watcher.addPaths(paths);
}
