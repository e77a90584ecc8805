#include "mainwin/NoteFiles.h"

#include "mainwin/SettingsFile.h"
#include "mainwin/TabWindow.h"
#include "mainwin/ThreadWait.h"
#include "persist/EntryFiles.h"
#include "persist/FolderReadAhead.h"
#include "persist/OutsideChanges.h"
#include "persist/SaveEngine.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// An entry's bytes, made in the save's thread. An entry not decoded yet gives the bytes it was
// read as, taken here: the window's thread may decode it meanwhile, which changes it. A decoded
// entry changes no more, and encodes with the tables of the thread that asks.
std::function<QByteArray()> bytesOf(const std::shared_ptr<const StoredEntry> &entry)
{
    if (!entry->isDecoded())
        return [bytes = entry->bytes()] { return bytes; };
    return [entry] { return entry->bytes(); };
}

} // namespace

NoteFiles::NoteFiles(TabSet &tabs, TabWindow &window, PlatformServices &platform,
    const QString &notesFolder, const SettingsFile &settings)
    : m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
    , m_notesFolder(notesFolder)
    , m_settings(settings)
    , m_finisher(notesFolder)
{ }

void NoteFiles::ReadTabFiles(FolderReadAhead *readAhead)
{
    m_known.clear();
    const StoredEntryScan scan
        = readAhead ? readAhead->take(m_known) : scanEntryFiles(m_notesFolder, &m_known);
    for (const auto &entries : scan.tabs) {
        // A new tab's page shows its first entry: it gets the entry's title, and its content
        // goes to the box undecoded.
        const QString title = entries.first()->title();
        if (m_window.tabCount() > 0) {
            m_window.AddTabPage(title, QString());
        } else {
            // The first tab uses the page that exists from the start.
            clsTabCont &record = m_tabs.append();
            record.AddTitle(0, title, QString());
            record.setDispIndex(0);
            record.DispCont(0);
            m_window.selectTitleItem(0, 0);
        }
        const int t = m_window.tabCount() - 1;
        clsTabCont &record = m_tabs[t];
        record.setStoredEntry(0, entries.first());
        record.DispCont(t);
        for (qsizetype k = 1; k < entries.size(); ++k)
            record.AddStoredEntry(t, entries.at(k));
        if (entries.size() == 1)
            continue;
        // Each entry read becomes the displayed one in turn, so the tab ends up showing its
        // last entry; showing only that one gives the same page without filling the box for
        // every entry in between.
        record.DispTitle(t, record.NoOfCont() - 1);
        record.DispCont(t);
    }
    if (!scan.unreadable.isEmpty()) {
        m_platform.showMessage(
            u"次のファイルを読み込めませんでした。\r\n"_s + scan.unreadable.join(u"\r\n"_s),
            u"読み込み時のエラー"_s, MessageIcon::Critical);
    }
}

bool NoteFiles::SaveAll(bool makeBackup)
{
    const int s = m_window.selectedTab();
    m_tabs[s].MoveCont(s);

    QList<SaveFile> entryFiles;
    QList<std::shared_ptr<const StoredEntry>> entries;
    for (int n = 1; n <= m_window.tabCount(); ++n) {
        const clsTabCont &record = m_tabs[n - 1];
        for (int j = 0; j < record.NoOfCont(); ++j) {
            const QString name = entryFileName(n, j);
            // An entry still as read is written as its bytes, without decoding it.
            auto entry = record.storedEntry(j);
            if (!entry) {
                entry = std::make_shared<const StoredEntry>(
                    Entry {record.Title(j), record.Cont(j)}, record.entrySource(j));
            }
            entries.append(entry);
            entryFiles.append(SaveFile(name, m_known.holding(name, *entry), bytesOf(entry)));
        }
    }
    // The save's thread reads nothing that the window's thread may change meanwhile: it gets
    // what it writes as values.
    const SaveFile settings = m_settings.WriteIni();
    const auto lookedAt = std::exchange(m_lookedAt, std::nullopt);
    QHash<QString, FileStamp> stamps;
    std::optional<SaveError> failure;
    runWhileWindowWaits(m_platform.modals(), [&] {
        // The copies that the last save left stop at the next file; the window need not wait
        // for that either.
        m_finisher.stop();
        failure = saveNoteFiles(m_notesFolder, entryFiles, settings, makeBackup, &stamps,
            BackupCopies::Later, lookedAt ? &*lookedAt : nullptr);
    });
    m_finisher.start();
    if (!failure) {
        m_known.clear();
        for (qsizetype i = 0; i < entryFiles.size(); ++i) {
            const auto stamp = stamps.constFind(entryFiles[i].name);
            if (stamp != stamps.cend())
                m_known.remember(entryFiles[i].name, entries[i], *stamp);
        }
        return true;
    }
    takeInWhatLanded(entryFiles, entries);
    m_platform.showMessage(
        u"メモを保存できませんでした。メモは失われていません。\r\nファイル: %1\r\n理由: %2"_s.arg(
            failure->fileName, failure->reason),
        u"保存のエラー"_s, MessageIcon::Critical);
    return false;
}

void NoteFiles::takeInWhatLanded(
    const QList<SaveFile> &files, const QList<std::shared_ptr<const StoredEntry>> &entries)
{
    const QDir folder(m_notesFolder);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (files[i].heldBy)
            continue;
        const StampedFile now = readStampedFile(folder.filePath(files[i].name));
        if (now.stamp && now.bytes == entries[i]->bytes())
            m_known.remember(files[i].name, entries[i], *now.stamp);
    }
}
