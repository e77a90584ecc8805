#include "mainwin/RecoveryFile.h"

#include "mainwin/NoteFiles.h"
#include "mainwin/SettingsFile.h"
#include "mainwin/TabStrip.h"
#include "mainwin/frmMain.h"
#include "persist/EntryFiles.h"
#include "platform/PlatformServices.h"
#include "store/clsTabCont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// Version 2 may name a saved entry file instead of repeating its content; version 1 files (all
// contents written out) read the same way.
constexpr int FormatVersion = 2;
const QString SavedFileKey = u"savedFile"_s;

// An entry whose content the entry file of its place holds already is written as a pointer to
// that file: typing into one entry of a large tab set then writes a small file, quickly.
QJsonArray contentsToJson(const TabSnapshot &tab, int tabIndex, const KnownEntryFiles &known)
{
    QJsonArray contents;
    for (qsizetype j = 0; j < tab.contents.size(); ++j) {
        const QString name = entryFileName(tabIndex + 1, int(j));
        const KnownEntryFiles::Known *saved = known.find(name);
        if (saved && sameText(saved->entry.content, tab.contents[j]))
            contents.append(QJsonObject {{SavedFileKey, name}});
        else
            contents.append(tab.contents[j]);
    }
    return contents;
}

QJsonObject toJson(const TabSnapshot &tab, int tabIndex, const KnownEntryFiles &known)
{
    return {{u"caption"_s, tab.Omidasi}, {u"fontName"_s, tab.FontName},
        {u"fontSize"_s, double(tab.FontSize)}, {u"created"_s, tab.Crt.toString(Qt::ISODate)},
        {u"alarm"_s, tab.Alarm.toString(Qt::ISODate)}, {u"alarmOn"_s, tab.OnAlm},
        {u"dispIndex"_s, tab.DispIndex}, {u"titles"_s, QJsonArray::fromStringList(tab.titles)},
        {u"contents"_s, contentsToJson(tab, tabIndex, known)}};
}

QStringList toStrings(const QJsonValue &value)
{
    QStringList strings;
    for (const QJsonValue &item : value.toArray())
        strings.append(item.toString());
    return strings;
}

// The contents, with those that point to a saved entry file read from it now: it holds what
// was saved, or what a save that the end of the program interrupted put there since, which
// is newer still. A pointer to anything but an entry file that can be read spoils the lot.
std::optional<QStringList> contentsFromJson(const QJsonValue &value, const QDir &dir)
{
    QStringList contents;
    for (const QJsonValue &item : value.toArray()) {
        if (item.isString()) {
            contents.append(item.toString());
            continue;
        }
        const QString name = item.toObject()[SavedFileKey].toString();
        QFile file(dir.filePath(name));
        if (!parseEntryFileName(name) || !file.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        contents.append(parseEntryFile(bytes).content);
    }
    return contents;
}

// Nothing in a recovery file is trusted: a torn or foreign file restores nothing.
std::optional<TabSnapshot> tabFromJson(const QJsonObject &json, const QDir &dir)
{
    TabSnapshot tab;
    tab.Omidasi = json[u"caption"_s].toString();
    tab.FontName = json[u"fontName"_s].toString();
    tab.FontSize = float(json[u"fontSize"_s].toDouble());
    tab.Crt = QDateTime::fromString(json[u"created"_s].toString(), Qt::ISODate);
    tab.Alarm = QDateTime::fromString(json[u"alarm"_s].toString(), Qt::ISODate);
    tab.OnAlm = json[u"alarmOn"_s].toBool();
    tab.titles = toStrings(json[u"titles"_s]);
    const auto contents = contentsFromJson(json[u"contents"_s], dir);
    if (!contents)
        return std::nullopt;
    tab.contents = *contents;
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

RecoveryFile::RecoveryFile(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(3000);
    connect(&m_pause, &QTimer::timeout, this, &RecoveryFile::write);
    // Typing that never pauses is written all the same, a few seconds after it began.
    m_latest.setSingleShot(true);
    m_latest.setInterval(5000);
    connect(&m_latest, &QTimer::timeout, this, &RecoveryFile::write);
}

QString RecoveryFile::path() const
{
    return QDir(m_main.appDir()).filePath(QString::fromLatin1(FileName));
}

void RecoveryFile::noteChange()
{
    m_pause.start();
    if (!m_latest.isActive())
        m_latest.start();
}

bool RecoveryFile::flush()
{
    return !m_pause.isActive() || write();
}

bool RecoveryFile::write()
{
    m_pause.stop();
    m_latest.stop();
    const int s = m_main.selectedTab();
    m_main.tabs()[s].MoveCont(s);
    QJsonArray tabs;
    for (int i = 0; i < m_main.tabCount(); ++i) {
        m_main.tabs()[i].LetTemp(i);
        tabs.append(toJson(m_main.tabs().temp[size_t(i)], i, m_main.noteFiles().known()));
    }
    const QJsonObject root {{u"version"_s, FormatVersion}, {u"selected"_s, s}, {u"tabs"_s, tabs}};
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    return file.commit();
}

void RecoveryFile::discard()
{
    m_pause.stop();
    m_latest.stop();
    QFile::remove(path());
}

void RecoveryFile::offerRestore()
{
    const QFileInfo recovery(path());
    if (!recovery.isFile())
        return;
    const QFileInfo settings(
        QDir(m_main.appDir()).filePath(QString::fromLatin1(SettingsFile::FileName)));
    QFile file(path());
    const auto recovered = settings.isFile() && settings.lastModified() >= recovery.lastModified()
        ? std::nullopt
        : (file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : std::nullopt);
    if (!recovered) {
        discard();
        return;
    }
    const int choice = m_main.platform().askQuestion(
        u"前回、保存されないまま終了した入力が見つかりました (%1)。\r\n復元しますか?"_s.arg(
            recovery.lastModified().toString(u"yyyy/MM/dd HH:mm"_s)),
        u"Nokuri"_s, {u"復元する"_s, u"破棄する"_s});
    if (choice == 0)
        restore(*recovered);
    else
        discard();
}

std::optional<RecoveryFile::Recovered> RecoveryFile::parse(const QByteArray &bytes) const
{
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    const int version = root[u"version"_s].toInt();
    if (version < 1 || version > FormatVersion)
        return std::nullopt;
    Recovered recovered;
    const QDir dir(m_main.appDir());
    for (const QJsonValue &value : root[u"tabs"_s].toArray()) {
        const auto tab = tabFromJson(value.toObject(), dir);
        if (!tab)
            return std::nullopt;
        recovered.tabs.append(*tab);
    }
    if (recovered.tabs.isEmpty() || recovered.tabs.size() > TabSet::MaxTabs)
        return std::nullopt;
    recovered.selected = root[u"selected"_s].toInt();
    return recovered;
}

void RecoveryFile::restore(const Recovered &recovered)
{
    const QList<TabSnapshot> &tabs = recovered.tabs;
    // The tab set takes the recovered shape; data moves in through the snapshot store.
    while (m_main.tabCount() > tabs.size()) {
        if (m_main.selectedTab() == m_main.tabCount() - 1)
            m_main.tabMain().selectTab(1);
        m_main.removeLastTabPage();
        m_main.tabs().truncate(m_main.tabCount() - 1);
    }
    while (m_main.tabCount() < tabs.size())
        m_main.AddTabPage(QString(), QString());
    for (int i = 0; i < tabs.size(); ++i) {
        m_main.tabs().temp[size_t(i)] = tabs[i];
        m_main.tabs()[i].GetTemp(i);
        m_main.tabs()[i].ResetTab(i);
        m_main.refreshStripCaption(i + 1);
    }
    m_main.ArrangeControls();
    if (recovered.selected >= 0 && recovered.selected < m_main.tabCount())
        m_main.tabMain().selectTab(recovered.selected + 1);
}
