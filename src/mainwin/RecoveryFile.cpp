#include "mainwin/RecoveryFile.h"

#include "mainwin/NoteFiles.h"
#include "mainwin/SettingsFile.h"
#include "mainwin/TabWindow.h"
#include "mainwin/ThreadWait.h"
#include "mainwin/WindowOptions.h"
#include "persist/Directory.h"
#include "persist/DurableFile.h"
#include "persist/EntryFiles.h"
#include "persist/IniFormat.h"
#include "persist/OutsideChanges.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Version 4 records the stamps of the saved files it builds on; version 3 adds the options;
// version 2 may name a saved entry file instead of repeating its content; older files read the
// same way.
constexpr int FormatVersion = 4;
const QString SavedFileKey = u"savedFile"_s;
const QString BaseFilesKey = u"baseFiles"_s;
const QString SettingsName = QString::fromLatin1(SettingsFile::FileName);

QString stampText(const FileStamp &stamp)
{
    return u"%1 %2 %3 %4 %5"_s.arg(stamp.device)
        .arg(stamp.inode)
        .arg(stamp.size)
        .arg(stamp.modifiedNs)
        .arg(stamp.changedNs);
}

QJsonObject stampsToJson(const QHash<QString, FileStamp> &stamps)
{
    QJsonObject json;
    for (auto it = stamps.cbegin(); it != stamps.cend(); ++it)
        json.insert(it.key(), stampText(*it));
    return json;
}

// What a save writes of a tab into the settings file, without the displayed entry, which is no
// change of the notes.
QString savedTabInfo(const TabSnapshot &tab)
{
    return composeTabInfo(
        {tab.FontName, tab.FontSize, tab.Crt, tab.Alarm, tab.OnAlm, 0, tab.Omidasi});
}

QJsonObject toJson(const TabSnapshot &tab, const QJsonArray &contents)
{
    return {{u"caption"_s, tab.Omidasi}, {u"fontName"_s, tab.FontName},
        {u"fontSize"_s, double(tab.FontSize)}, {u"created"_s, tab.Crt.toString(Qt::ISODate)},
        {u"alarm"_s, tab.Alarm.toString(Qt::ISODate)}, {u"alarmOn"_s, tab.OnAlm},
        {u"dispIndex"_s, tab.DispIndex}, {u"titles"_s, QJsonArray::fromStringList(tab.titles)},
        {u"contents"_s, contents}};
}

QStringList toStrings(const QJsonValue &value)
{
    QStringList strings;
    for (const QJsonValue &item : value.toArray())
        strings.append(item.toString());
    return strings;
}

// The contents, with those that point to a saved entry file read from it now: it holds what
// was saved, or what was put there since (by a save that the end of the program interrupted, or
// by a sync tool), which is newer still; a file removed since leaves its entry empty. A pointer
// to anything but the entry file of its own place, or to one that cannot be read, spoils the lot.
std::optional<QStringList> contentsFromJson(const QJsonValue &value, const QDir &dir, int tabIndex)
{
    QStringList contents;
    for (const QJsonValue &item : value.toArray()) {
        if (item.isString()) {
            contents.append(item.toString());
            continue;
        }
        const QString name = item.toObject()[SavedFileKey].toString();
        if (contents.size() >= TabSet::MaxEntries
            || name != entryFileName(tabIndex + 1, int(contents.size())))
            return std::nullopt;
        const QString path = dir.filePath(name);
        if (!QFileInfo::exists(path)) {
            contents.append(QString());
            continue;
        }
        const std::optional<QByteArray> bytes = readWholeFile(path);
        if (!bytes)
            return std::nullopt;
        contents.append(parseEntryFile(*bytes).content);
    }
    return contents;
}

// Nothing in a recovery file is trusted: a torn or foreign file restores nothing.
std::optional<TabSnapshot> tabFromJson(const QJsonObject &json, const QDir &dir, int tabIndex)
{
    TabSnapshot tab;
    tab.Omidasi = json[u"caption"_s].toString();
    tab.FontName = json[u"fontName"_s].toString();
    tab.FontSize = float(json[u"fontSize"_s].toDouble());
    tab.Crt = QDateTime::fromString(json[u"created"_s].toString(), Qt::ISODate);
    tab.Alarm = QDateTime::fromString(json[u"alarm"_s].toString(), Qt::ISODate);
    tab.OnAlm = json[u"alarmOn"_s].toBool();
    tab.titles = toStrings(json[u"titles"_s]);
    const auto contents = contentsFromJson(json[u"contents"_s], dir, tabIndex);
    if (!contents)
        return std::nullopt;
    tab.contents = {contents->cbegin(), contents->cend()};
    tab.NoOfCont = qint16(tab.titles.size());
    tab.DispIndex = qint16(json[u"dispIndex"_s].toInt());
    const bool sane = tab.titles.size() >= 1 && tab.titles.size() <= TabSet::MaxEntries
        && tab.contents.size() == tab.titles.size() && tab.DispIndex >= 0
        && tab.DispIndex < tab.NoOfCont && tab.Crt.isValid() && tab.Alarm.isValid();
    if (!sane)
        return std::nullopt;
    return tab;
}

} // namespace

RecoveryFile::RecoveryFile(TabSet &tabs, TabWindow &window, WindowOptions &options,
    PlatformServices &platform, const KnownEntryFiles &known, KnownStamps knownStamps,
    const QString &notesFolder, QObject *parent)
    : QObject(parent)
    , m_tabs(tabs)
    , m_window(window)
    , m_options(options)
    , m_platform(platform)
    , m_known(known)
    , m_knownStamps(std::move(knownStamps))
    , m_notesFolder(notesFolder)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(3000);
    connect(&m_pause, &QTimer::timeout, this, &RecoveryFile::writeOnTime);
    // Typing that never pauses is written all the same, a few seconds after it began.
    m_latest.setSingleShot(true);
    m_latest.setInterval(5000);
    connect(&m_latest, &QTimer::timeout, this, &RecoveryFile::writeOnTime);
}

void RecoveryFile::writeOnTime()
{
    // Beside a save the write is wasted: the save holds the changes and discards the file. It
    // comes a pause later, should the save fail.
    if (m_platform.modals().waiting()) {
        m_pause.start();
        return;
    }
    write();
}

QString RecoveryFile::path() const
{
    return QDir(m_notesFolder).filePath(QString::fromLatin1(FileName));
}

QString RecoveryFile::tempPath() const
{
    return QDir(m_notesFolder).filePath(QString::fromLatin1(TempFileName));
}

void RecoveryFile::noteChange()
{
    m_pause.start();
    if (!m_latest.isActive())
        m_latest.start();
}

bool RecoveryFile::flush()
{
    return (!m_pause.isActive() && !m_failed) || write();
}

RecoveryWrite RecoveryFile::take()
{
    m_pause.stop();
    m_latest.stop();
    RecoveryWrite pending;
    pending.m_path = path();
    pending.m_tempPath = tempPath();
    const int s = m_window.selectedTab();
    m_tabs[s].MoveCont(s);
    pending.m_selected = s;
    for (int i = 0; i < m_window.tabCount(); ++i) {
        m_tabs[i].LetTemp(i);
        TabSnapshot tab = m_tabs.temp[size_t(i)];
        // An entry whose content the entry file of its place holds already is written as a
        // pointer to that file: typing into one entry of a large tab set then writes a small
        // file, quickly.
        for (qsizetype j = 0; j < tab.contents.size(); ++j) {
            const QString name = entryFileName(i + 1, int(j));
            const bool held = m_known.holdsContent(name, tab.contents[j]);
            pending.m_pointers.append(held ? name : QString());
            // Plain text from here on: decoding a stored entry is the window thread's work.
            tab.contents[j] = held ? EntryContent() : EntryContent(QString(tab.contents[j].text()));
        }
        pending.m_tabs.append(std::move(tab));
    }
    pending.m_options = {{u"scrollType"_s, scrollTypeLetter(m_options.scrollType())},
        {u"makeBackup"_s, m_options.MakeBackup()}, {u"defaultFontName"_s, m_tabs.DefFontName},
        {u"defaultFontSize"_s, m_tabs.DefFontSize}};
    pending.m_baseFiles = m_knownStamps();
    return pending;
}

bool RecoveryFile::write()
{
    const RecoveryWrite pending = take();
    std::optional<QString> failure;
    // Tens of megabytes when every note of a large set is unsaved: the window goes on painting.
    runWhileWindowWaits(m_platform.modals(), [&] { failure = pending.run(); });
    // A failure keeps the previous recovery file; the next change or flush tries again, and
    // the quit asks before it ends the program with changes in no file. A write that the
    // timers start has no one to tell, so it leaves its reason in the log.
    m_failed = failure.has_value();
    if (failure)
        qWarning("Nokuri cannot write %s: %s", qPrintable(path()), qPrintable(*failure));
    return !m_failed;
}

std::optional<QString> RecoveryWrite::run() const
{
    QJsonArray tabs;
    qsizetype entry = 0;
    for (const TabSnapshot &tab : m_tabs) {
        QJsonArray contents;
        for (const EntryContent &content : tab.contents) {
            const QString &pointer = m_pointers[entry++];
            if (pointer.isEmpty())
                contents.append(content.text());
            else
                contents.append(QJsonObject {{SavedFileKey, pointer}});
        }
        tabs.append(toJson(tab, contents));
    }
    const QJsonObject root {{u"version"_s, FormatVersion}, {u"selected"_s, m_selected},
        {u"tabs"_s, tabs}, {u"options"_s, m_options}, {BaseFilesKey, stampsToJson(m_baseFiles)}};
    return replaceFileDurably(
        m_path, m_tempPath, QJsonDocument(root).toJson(QJsonDocument::Compact));
}

void RecoveryFile::discard()
{
    m_pause.stop();
    m_latest.stop();
    m_failed = false;
    // Freeing the blocks of tens of megabytes takes the kernel a tenth of a second.
    const QString file = path();
    runWhileWindowWaits(m_platform.modals(), [&file] { QFile::remove(file); });
}

void RecoveryFile::offerRestore()
{
    // What a write that the end of the program interrupted left behind. A whole one is newer
    // than the recovery file (it is synced before it replaces it): the kill came between the two.
    // A torn one does not parse.
    if (QFile temp(tempPath()); temp.open(QIODevice::ReadOnly) && parse(temp.readAll()))
        Directory(m_notesFolder)
            .rename(QString::fromLatin1(TempFileName), QString::fromLatin1(FileName));
    QFile::remove(tempPath());
    const QFileInfo recovery(path());
    if (!recovery.isFile())
        return;
    QFile file(path());
    const auto recovered = file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : std::nullopt;
    if (!recovered || savedFilesHold(*recovered)) {
        discard();
        return;
    }
    QString text
        = u"前回、保存されないまま終了した入力が見つかりました (%1)。\r\n復元しますか?"_s.arg(
            recovery.lastModified().toString(u"yyyy/MM/dd HH:mm"_s));
    const QStringList unseen = replacedUnseen(*recovered);
    if (!unseen.isEmpty()) {
        text
            += u"\r\n\r\nその後、メモは別の場所 (同期している別のパソコンなど) "
               u"でも変更されています。"
               "復元して保存するとき、別の場所の版は上書きせずに conflicts フォルダーに残します。"_s;
    }
    const int choice = m_platform.askQuestion(text, u"Nokuri"_s, {u"復元する"_s, u"破棄する"_s});
    if (choice == 0) {
        restore(*recovered);
        m_restored = true;
        m_unseen = unseen;
    } else if (choice == 1)
        discard();
    else
        m_undecided = true;
}

// The note files whose stamps are no longer those the program knew when it wrote the recovery
// file. Older recovery files hold no stamps: there, the files changed after it was written.
QStringList RecoveryFile::changedSince(const QJsonObject &root) const
{
    const QHash<QString, FileStamp> now = noteFileStamps(m_notesFolder, SettingsName);
    QStringList changed;
    if (root.contains(BaseFilesKey)) {
        const QJsonObject base = root[BaseFilesKey].toObject();
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            if (base[it.key()].toString() != stampText(*it))
                changed.append(it.key());
        }
        return changed;
    }
    const std::optional<FileStamp> written = fileStampOf(path());
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (!written || it->modifiedNs >= written->modifiedNs)
            changed.append(it.key());
    }
    return changed;
}

// Whether the files read at start-up hold everything the recovery file does: a save completed
// after it was written, and the program quit or was killed before it could remove the file.
bool RecoveryFile::savedFilesHold(const Recovered &recovered) const
{
    if (recovered.scrollType != m_options.scrollType()
        || recovered.makeBackup != m_options.MakeBackup()
        || recovered.defaultFontName != m_tabs.DefFontName
        || recovered.defaultFontSize != m_tabs.DefFontSize
        || recovered.tabs.size() != m_tabs.count())
        return false;
    for (int i = 0; i < m_tabs.count(); ++i) {
        m_tabs[i].LetTemp(i);
        const TabSnapshot &saved = m_tabs.temp[size_t(i)];
        const TabSnapshot &tab = recovered.tabs[i];
        if (savedTabInfo(saved) != savedTabInfo(tab) || saved.titles != tab.titles)
            return false;
        for (qsizetype j = 0; j < tab.contents.size(); ++j) {
            if (!sameText(saved.contents[j].text(), tab.contents[j].text()))
                return false;
        }
    }
    return true;
}

// The changed files that a save of the recovered notes would replace with something else: the
// settings file, an entry file whose entry the recovered notes hold otherwise, one beyond them.
QStringList RecoveryFile::replacedUnseen(const Recovered &recovered) const
{
    const QDir dir(m_notesFolder);
    const auto holdsTheirs = [&](const QString &name) {
        const auto at = parseEntryFileName(name);
        if (!at || at->tabNumber > recovered.tabs.size())
            return false;
        const TabSnapshot &tab = recovered.tabs[at->tabNumber - 1];
        const std::optional<QByteArray> bytes = readWholeFile(dir.filePath(name));
        if (at->entryIndex >= tab.titles.size() || !bytes)
            return false;
        const Entry theirs = parseEntryFile(*bytes);
        return theirs.title == tab.titles[at->entryIndex]
            && theirs.content == tab.contents[at->entryIndex].text();
    };
    QStringList unseen;
    for (const QString &name : recovered.changedSince) {
        if (!holdsTheirs(name))
            unseen.append(name);
    }
    std::sort(unseen.begin(), unseen.end());
    return unseen;
}

std::optional<RecoveryFile::Recovered> RecoveryFile::parse(const QByteArray &bytes) const
{
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    const int version = root[u"version"_s].toInt();
    if (version < 1 || version > FormatVersion)
        return std::nullopt;
    // Options that an older file does not hold stay as they are.
    const QJsonObject options = root[u"options"_s].toObject();
    Recovered recovered;
    const std::optional<ScrollType> scrollType = scrollTypeFromLetter(
        options[u"scrollType"_s].toString(scrollTypeLetter(m_options.scrollType())));
    recovered.makeBackup = options[u"makeBackup"_s].toBool(m_options.MakeBackup());
    recovered.defaultFontName = options[u"defaultFontName"_s].toString(m_tabs.DefFontName);
    const int fontSize = options[u"defaultFontSize"_s].toInt(m_tabs.DefFontSize);
    if (!scrollType || fontSize != qint16(fontSize))
        return std::nullopt;
    recovered.scrollType = *scrollType;
    recovered.defaultFontSize = qint16(fontSize);
    const QDir dir(m_notesFolder);
    for (const QJsonValue &value : root[u"tabs"_s].toArray()) {
        if (recovered.tabs.size() == TabSet::MaxTabs)
            return std::nullopt;
        const auto tab = tabFromJson(value.toObject(), dir, int(recovered.tabs.size()));
        if (!tab)
            return std::nullopt;
        recovered.tabs.append(*tab);
    }
    if (recovered.tabs.isEmpty())
        return std::nullopt;
    recovered.selected = root[u"selected"_s].toInt();
    recovered.changedSince = changedSince(root);
    return recovered;
}

void RecoveryFile::restore(const Recovered &recovered)
{
    m_options.ApplyScrlType(recovered.scrollType);
    m_options.setMakeBackup(recovered.makeBackup);
    m_tabs.setDefaultFont(recovered.defaultFontName, recovered.defaultFontSize);
    const QList<TabSnapshot> &tabs = recovered.tabs;
    // The tab set takes the recovered shape; data moves in through the snapshot store.
    while (m_window.tabCount() > tabs.size()) {
        if (m_window.selectedTab() == m_window.tabCount() - 1)
            m_window.selectTab(1);
        m_window.removeLastTabPage();
        m_tabs.truncate(m_window.tabCount() - 1);
    }
    while (m_window.tabCount() < tabs.size())
        m_window.AddTabPage(QString(), QString());
    for (int i = 0; i < tabs.size(); ++i) {
        m_tabs.temp[size_t(i)] = tabs[i];
        m_tabs[i].GetTemp(i);
        m_tabs[i].ResetTab(i);
        m_window.refreshStripCaption(i + 1);
    }
    m_window.ArrangeControls();
    if (recovered.selected >= 0 && recovered.selected < m_window.tabCount())
        m_window.selectTab(recovered.selected + 1);
}
