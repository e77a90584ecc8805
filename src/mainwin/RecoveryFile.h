#pragma once

#include "persist/FileStamp.h"
#include "persist/ScrollType.h"
#include "store/TabSnapshot.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class KnownEntryFiles;
class PlatformServices;
class TabSet;
class TabWindow;
class WindowOptions;

// One write of the recovery file as taken from the window. Making its bytes and writing them is
// most of the work, and run() does it in another thread: it touches nothing of the window.
class RecoveryWrite final
{
public:
    // Writes the file durably; the system's reason on failure, the previous file then stays.
    std::optional<QString> run() const;

private:
    friend class RecoveryFile;
    QString m_path;
    QString m_tempPath;
    int m_selected = 0;
    QList<TabSnapshot> m_tabs; // contents held by their saved file are empty here
    QStringList m_pointers; // per entry in tab order: the saved file holding it, or empty
    QJsonObject m_options;
    QHash<QString, FileStamp> m_baseFiles;
};

// Unsaved work survives a crash, a kill or a power cut: a few seconds after a change pauses (and
// at the latest a few seconds after it began) the tab set and the options go into a recovery
// file beside the notes, entries that the saved files hold as pointers to them. The notes
// themselves still change only on a save, which removes the recovery file, and so does a
// normal quit. A write that fails leaves the previous recovery file as it was.
// A note file that another program (a sync tool) changed after the recovery file was written is
// never replaced unseen by a restore: the restore names it, and the next save keeps the other
// version as a conflict copy.
class RecoveryFile final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecoveryFile)
public:
    static constexpr auto FileName = "Nokuri.recovery";
    // Where a write goes before it replaces the recovery file.
    static constexpr auto TempFileName = "Nokuri.recovery.tmp";

    // The stamps of the note files as the program last read or wrote them.
    using KnownStamps = std::function<QHash<QString, FileStamp>()>;

    // `known` tells which entries the saved files hold already.
    RecoveryFile(TabSet &tabs, TabWindow &window, WindowOptions &options,
        PlatformServices &platform, const KnownEntryFiles &known, KnownStamps knownStamps,
        const QString &notesFolder, QObject *parent);

    // Something changed that no save holds yet: write it once the changes pause.
    void noteChange();
    // Writes now when a change is pending or the last write failed (before a risky step).
    // False when the unsaved changes are in no recovery file.
    bool flush();
    // The notes are saved (or deliberately dropped): the recovery file has served.
    void discard();
    // At start-up, once the files are read: a recovery file holding anything they do not is
    // offered back to the user; one that they hold already (a save overtook it), or a damaged
    // one, goes without a word.
    void offerRestore();
    // The offer was cut short without an answer (by a quit): the file stays for the next start.
    bool undecided() const { return m_undecided; }
    // The user took the recovered notes over the files read at start-up.
    bool restored() const { return m_restored; }
    // Note files that another program changed after the restored recovery file was written,
    // and that a save of the restored notes would replace with something else.
    const QStringList &unseenOutsideChanges() const { return m_unseen; }

    void setPauseInterval(int milliseconds) { m_pause.setInterval(milliseconds); }

private:
    struct Recovered
    {
        QList<TabSnapshot> tabs;
        int selected = 0;
        ScrollType scrollType = ScrollType::Vertical;
        bool makeBackup = true;
        QString defaultFontName;
        qint16 defaultFontSize = 0;
        // Note files changed since the recovery file was written.
        QStringList changedSince;
    };

    QString path() const;
    QString tempPath() const;
    QStringList changedSince(const QJsonObject &root) const;
    bool savedFilesHold(const Recovered &recovered) const;
    QStringList replacedUnseen(const Recovered &recovered) const;
    RecoveryWrite take();
    bool write();
    void writeOnTime();
    std::optional<Recovered> parse(const QByteArray &bytes) const;
    void restore(const Recovered &recovered);

    TabSet &m_tabs;
    TabWindow &m_window;
    WindowOptions &m_options;
    PlatformServices &m_platform;
    const KnownEntryFiles &m_known;
    const KnownStamps m_knownStamps;
    const QString m_notesFolder;
    QTimer m_pause;
    QTimer m_latest;
    // The last write failed: the changes wait for the next one.
    bool m_failed = false;
    bool m_undecided = false;
    bool m_restored = false;
    QStringList m_unseen;
};
