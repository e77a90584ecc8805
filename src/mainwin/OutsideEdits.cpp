#include "mainwin/OutsideEdits.h"

#include "mainwin/FolderReload.h"
#include "mainwin/FolderWatch.h"
#include "mainwin/NoteFiles.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/SettingsFile.h"
#include "mainwin/StatusPanels.h"
#include "mainwin/frmMain.h"
#include "persist/ConflictCopies.h"
#include "persist/SyncToolFiles.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "store/clsTabCont.h"

#include <QApplication>
#include <QDir>

using namespace Qt::StringLiterals;

namespace {

const QString SettingsName = QString::fromLatin1(SettingsFile::FileName);

bool isLocalLine(const QByteArray &line)
{
    static const QList<QByteArray> keys {
        "FormTop", "FormLeft", "FormHeight", "FormWidth", "TabDisp", "DispIndex"};
    const QByteArray key = line.left(line.indexOf('=')).trimmed();
    return keys.contains(key);
}

void askToOpenFolder(PlatformServices &platform, const QString &text, const QString &folder)
{
    if (platform.askQuestion(text, u"Nokuri"_s, {u"フォルダーを開く"_s, u"閉じる"_s}) == 0)
        platform.openFolder(folder);
}

} // namespace

OutsideEdits::OutsideEdits(frmMain &main, NoteFiles &files, SettingsFile &settings)
    : QObject(&main)
    , m_main(main)
    , m_files(files)
    , m_settings(settings)
{ }

void OutsideEdits::filesRead()
{
    m_knownSettings = readKnownSettings(m_main.appDir(), SettingsName);
    m_composedAsRead = composedSettings();
}

void OutsideEdits::start(const RecoveryFile &recovery)
{
    // A missed alarm switched off is no change of the user's to keep from a quiet reload; what a
    // restore brought back is.
    m_composedAtRead = recovery.restored() ? m_composedAsRead : composedSettings();
    for (const QString &name : recovery.unseenOutsideChanges()) {
        if (name == SettingsName)
            m_knownSettings = {SettingsName, std::nullopt, std::nullopt};
        else
            m_files.known().forget(name);
    }
    m_watch = new FolderWatch(
        m_main.appDir(), SettingsName, m_main, m_main.platform().modals(), knownStamps());
    connect(m_watch, &FolderWatch::settled, this, &OutsideEdits::settled);
    // Once the window is up, like the watch's first look: listing the folder, backups and
    // all, is no part of showing it.
    QTimer::singleShot(0, this, &OutsideEdits::tellSyncConflicts);
}

void OutsideEdits::settled()
{
    // A dialog or menu works on the tab set as it is; the change waits for it to close.
    if (busy()) {
        m_watch->retryLater();
        return;
    }
    tellSyncConflicts();
    if (findOutsideChanges(m_main.appDir(), m_files.known(), m_knownSettings).isEmpty())
        return;
    if (hasUnsavedChanges()) {
        showStatus(u"メモが別の場所でも変更されました。保存するとき、両方の版を残します。"_s);
        return;
    }
    reload();
}

bool OutsideEdits::beforeSave()
{
    if (!m_watch)
        return true;
    QHash<QString, LiveFile> lookedAt;
    const QList<OutsideFile> changes
        = findOutsideChanges(m_main.appDir(), m_files.known(), m_knownSettings, &lookedAt);
    if (!keepBothSides(changes))
        return false;
    // Nothing of the folder changed since: a reload and conflict copies only read it.
    m_files.setLookedAt(std::move(lookedAt));
    return true;
}

// Takes in the entries that only the other side changed and keeps the rest as conflict copies.
// False when they could not be kept.
bool OutsideEdits::keepBothSides(const QList<OutsideFile> &changes)
{
    if (changes.isEmpty())
        return true;
    if (!hasUnsavedChanges()) {
        reload();
        return true;
    }
    QList<OutsideFile> replaced;
    bool taken = false;
    for (const OutsideFile &file : changes) {
        // A file removed elsewhere holds nothing that the save could lose.
        if (!file.bytes)
            continue;
        const auto entry = parseEntryFileName(file.name);
        if (entry && takeIfUntouched(*entry, file))
            taken = true;
        else
            replaced.append(file);
    }
    if (replaced.isEmpty()) {
        if (taken)
            showStatus(u"別の場所で変更されたメモを取り込みました。"_s);
        return true;
    }
    QList<ConflictFile> copies;
    for (const OutsideFile &file : std::as_const(replaced))
        copies.append({file.name, *file.bytes});
    QString folder;
    if (const auto error
        = keepConflictCopies(m_main.appDir(), copies, m_main.platform().now(), folder)) {
        m_main.platform().showMessage(
            u"別の場所で変更されたメモを残せなかったため、保存しませんでした。\r\nファイル: %1\r\n理由: %2"_s
                .arg(error->fileName, error->reason),
            u"保存のエラー"_s, MessageIcon::Critical);
        return false;
    }
    tellConflictCopies(folder, replaced);
    return true;
}

void OutsideEdits::saved()
{
    if (!m_watch)
        return;
    // The stamp counts only when the file holds what this save wrote: someone may have written
    // it since, and then the bytes must tell.
    const QByteArray written = m_settings.WriteIni().bytes;
    KnownSettingsFile now = readKnownSettings(m_main.appDir(), SettingsName);
    if (now.bytes != written)
        now.stamp.reset();
    now.bytes = written;
    m_knownSettings = now;
    m_composedAtRead = composedSettings(written);
    m_watch->accept(knownStamps());
}

QHash<QString, FileStamp> OutsideEdits::knownStamps() const
{
    return ::knownStamps(m_files.known(), m_knownSettings);
}

bool OutsideEdits::busy() const
{
    return m_main.platform().modals().openCount() > 0 || QApplication::activeModalWidget()
        || QApplication::activePopupWidget();
}

// Whether a save would write anything that the files did not hold when they were last read or
// written. The typed text counts too, so it is stored into its entry first, as a save does.
bool OutsideEdits::hasUnsavedChanges() const
{
    const int s = m_main.selectedTab();
    m_main.tabs()[s].MoveCont(s);
    const KnownEntryFiles &known = m_files.known();
    const qsizetype knownCount = known.names().size();
    const clsTabCont &first = m_main.tabs()[0];
    // The empty tab of a first start in an empty folder.
    const bool emptyStart = knownCount == 0 && m_main.tabCount() == 1 && first.NoOfCont() == 1
        && first.Title(0).isEmpty() && first.Cont(0).isEmpty();
    if (!emptyStart) {
        qsizetype count = 0;
        for (int t = 0; t < m_main.tabCount(); ++t) {
            const clsTabCont &record = m_main.tabs()[t];
            for (int j = 0; j < record.NoOfCont(); ++j, ++count) {
                const QString name = entryFileName(t + 1, j);
                // An entry still as read is compared without decoding it.
                const auto stored = record.storedEntry(j);
                const bool held = stored
                    ? known.holding(name, *stored).has_value()
                    : known.holding(name, {record.Title(j), record.Cont(j)}, record.entrySource(j))
                          .has_value();
                if (!held)
                    return true;
            }
        }
        if (count != knownCount)
            return true;
    }
    return composedSettings() != m_composedAtRead;
}

QByteArray OutsideEdits::composedSettings() const
{
    return composedSettings(m_settings.WriteIni().bytes);
}

QByteArray OutsideEdits::composedSettings(const QByteArray &written)
{
    QList<QByteArray> lines = written.split('\n');
    lines.removeIf(isLocalLine);
    return lines.join('\n');
}

// An entry that the window holds just as the file held it when last read or written takes the
// other side's version: the save then writes that version back, and nothing is replaced.
bool OutsideEdits::takeIfUntouched(const EntryName &at, const OutsideFile &file)
{
    const int t = at.tabNumber - 1;
    const int j = at.entryIndex;
    if (t >= m_main.tabCount() || j >= m_main.tabs()[t].NoOfCont())
        return false;
    clsTabCont &record = m_main.tabs()[t];
    // By text: how the window's entry would be written does not matter when theirs replaces it.
    const KnownEntryFiles::Known *known = m_files.known().find(file.name);
    if (!known || !sameText(known->entry->title(), record.Title(j))
        || !sameText(known->entry->content(), record.Cont(j)))
        return false;
    EntrySource source;
    const Entry theirs = parseEntryFile(*file.bytes, &source);
    record.ChgTitle(t, j, theirs.title);
    record.ChgCont(j, theirs.content);
    record.setEntrySource(j, source);
    if (record.DispIndex() == j)
        record.DispCont(t);
    return true;
}

void OutsideEdits::reload()
{
    const KnownSettingsFile before = readKnownSettings(m_main.appDir(), SettingsName);
    reloadNotes(m_main, m_files, m_settings);
    m_knownSettings = before;
    // Changed while it was read: which version the window took is not known, so the bytes tell.
    if (fileStampOf(QDir(m_main.appDir()).filePath(SettingsName)) != before.stamp)
        m_knownSettings.stamp.reset();
    m_composedAtRead = composedSettings();
    m_watch->accept(knownStamps());
    showStatus(u"別の場所で変更されたメモを読み込みました。"_s);
}

void OutsideEdits::tellConflictCopies(const QString &folder, const QList<OutsideFile> &files)
{
    QStringList what;
    for (const OutsideFile &file : files) {
        QString item = u"設定ファイル (%1)"_s.arg(file.name);
        if (const auto entry = parseEntryFileName(file.name)) {
            const int t = entry->tabNumber - 1;
            const QString caption = t < m_main.tabCount() ? m_main.tabs()[t].TabTitle() : QString();
            item = caption.isEmpty() ? u"タブ %1"_s.arg(entry->tabNumber)
                                     : u"タブ「%1」"_s.arg(caption);
        }
        if (!what.contains(item))
            what.append(item);
    }
    const QString text
        = u"次のメモは別の場所 (同期している別のパソコンなど) でも変更されていました。\r\n"
          "Nokuri のメモを保存し、別の場所の版は上書きせずに次のフォルダーに残しました。\r\n\r\n"
          "%1\r\n\r\n%2"_s.arg(what.join(u"\r\n"_s), folder);
    // Once the save is done, from the main loop: a question must never hold up the save, nor a
    // quit (whose window is gone by then; the README tells where to look).
    m_main.platform().modals().afterWaits(
        this, [this, text, folder] { askToOpenFolder(m_main.platform(), text, folder); });
}

void OutsideEdits::tellSyncConflicts()
{
    if (m_toldSyncConflicts)
        return;
    const QStringList names = syncConflictFiles(m_main.appDir());
    if (names.isEmpty())
        return;
    m_toldSyncConflicts = true;
    constexpr qsizetype Listed = 5;
    QString list = names.mid(0, Listed).join(u"\r\n"_s);
    if (names.size() > Listed)
        list += u"\r\nほか %1 件"_s.arg(names.size() - Listed);
    askToOpenFolder(m_main.platform(),
        u"同期ツールが、両方のパソコンで変更されたメモの片方を別の名前で残しています。\r\n"
        "Nokuri はこれらのファイルを読み込まず、削除もしません。内容を確かめ、必要な部分を"
        "メモに写してから削除してください。\r\n\r\n%1"_s.arg(list),
        m_main.appDir());
}

void OutsideEdits::showStatus(const QString &text)
{
    m_main.staMain().showMessage(text, MessageMilliseconds);
}
