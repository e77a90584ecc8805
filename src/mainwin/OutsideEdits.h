#pragma once

#include "persist/EntryFiles.h"
#include "persist/OutsideChanges.h"

#include <QByteArray>
#include <QObject>

class FolderWatch;
class NoteFiles;
class RecoveryFile;
class SettingsFile;
class frmMain;

// Changes that other programs make to the notes folder while the window runs: a sync tool that
// brings in another machine's notes, a copy from the Windows program. Nothing of either side is
// lost:
// - when the window holds nothing unsaved, the folder is read again, quietly;
// - otherwise the next save takes in the entries that only the other side changed, saves the
//   window's notes as usual, and first keeps every other file it replaces as a conflict copy,
//   telling the user which tabs and where.
// The sync tools' own conflict files are shown to the user once per start.
class OutsideEdits final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OutsideEdits)
public:
    // How long a status bar message stays.
    static constexpr int MessageMilliseconds = 10000;

    OutsideEdits(frmMain &main, NoteFiles &files, SettingsFile &settings);

    // Right after start-up has read the files: learns what they hold.
    void filesRead();
    // Once start-up is done: starts watching. A restore from `recovery` replaced what was read;
    // the files it names changed elsewhere after the recovered notes, and no save may replace
    // them unseen.
    void start(const RecoveryFile &recovery);
    // The stamps of the note files as the program last read or wrote them.
    QHash<QString, FileStamp> knownStamps() const;
    // Before a save. False when the files it would replace could not be kept: the save must not
    // go on.
    bool beforeSave();
    // After a save that succeeded: the files now hold the window's notes.
    void saved();

private:
    void settled();
    bool busy() const;
    bool hasUnsavedChanges() const;
    QByteArray composedSettings() const;
    static QByteArray composedSettings(const QByteArray &written);
    bool keepBothSides(const QList<OutsideFile> &changes);
    bool takeIfUntouched(const EntryName &at, const OutsideFile &file);
    void reload();
    void rememberFiles();
    void tellConflictCopies(const QString &folder, const QList<OutsideFile> &files);
    void tellSyncConflicts();
    void showStatus(const QString &text);

    frmMain &m_main;
    NoteFiles &m_files;
    SettingsFile &m_settings;
    FolderWatch *m_watch = nullptr;
    KnownSettingsFile m_knownSettings;
    // What the window would write as the settings file at the last read or save, without the
    // window's place, the selected tab and the displayed entries, which are no unsaved change.
    QByteArray m_composedAtRead;
    // The same, as the files were read at start-up, before a restore or a missed alarm.
    QByteArray m_composedAsRead;
    bool m_toldSyncConflicts = false;
};
