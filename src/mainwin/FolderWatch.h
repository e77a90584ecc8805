#pragma once

#include "persist/FileStamp.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

class ModalGate;

// Tells when the note files of the folder changed and then stayed as they are for a while, so
// that a sync tool that brings in several files is seen once, after its last one. It looks when
// the file system reports a change in the folder or in a note file, and when the window is
// activated, as watchers miss changes on network folders. Only the note files' stamps count
// (noteFileStamps): temporaries and conflict files come and go unseen. While the window waits for
// a save (`modals`), the folder is half the old files and half the new: the look waits too.
class FolderWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderWatch)
public:
    static constexpr int SettleMilliseconds = 2000;
    // A burst of reports (the backups of a save copied beside the notes, a sync tool's
    // temporaries) makes one look, not one per file.
    static constexpr int LookDelayMilliseconds = 200;

    // `seen`: the stamps the program knows the files by; any other stamp is a change.
    FolderWatch(const QString &dir, const QString &settingsName, QObject &window, ModalGate &modals,
        const QHash<QString, FileStamp> &seen);

    void setSettleInterval(int milliseconds) { m_settle.setInterval(milliseconds); }
    // The program has just read or written the files: these stamps are no change.
    void accept(const QHash<QString, FileStamp> &stamps);
    // The change could not be acted on yet: report it again after the settle interval.
    void retryLater() { m_settle.start(); }

signals:
    void settled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void look();
    void settle();
    bool lookAgainAfterSave(QTimer &again);
    void watchFiles(const QHash<QString, FileStamp> &present);

    QString m_dir;
    QString m_settingsName;
    ModalGate &m_modals;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_lookSoon;
    QTimer m_watchSoon;
    QHash<QString, FileStamp> m_seen;
};
