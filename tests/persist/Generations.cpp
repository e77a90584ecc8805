#include "Generations.h"

#include "persist/IniFormat.h"
#include "persist/NoteCodec.h"

#include <QHash>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace Generations {

namespace {

const QString SettingsName = u"TabSet.ini"_s;
constexpr qint64 KeptGenerations = 4;

qint64 mix(qint64 generation, int tabNumber, int entryIndex)
{
    return generation + tabNumber * Letters + entryIndex;
}

bool changesIn(qint64 generation, int tabNumber, int entryIndex)
{
    return generation == 0 || mix(generation, tabNumber, entryIndex) % 3 != 0;
}

Entry entryOf(qint64 generation, int tabNumber, int entryIndex)
{
    const QChar letter(u'A' + entryIndex);
    Entry entry;
    entry.title = u"第%1世代 %2%3"_s.arg(generation).arg(tabNumber).arg(letter);
    const qint64 lines = 1 + (generation * 13 + tabNumber * 7 + entryIndex * 3) % 25;
    const bool outsideCp932 = mix(generation, tabNumber, entryIndex) % 5 == 0;
    for (qint64 line = 1; line <= lines; ++line) {
        if (line > 1)
            entry.content += u"\r\n"_s;
        entry.content += u"%1行目 ～①髙 generation %2 %3%4"_s.arg(line)
                             .arg(generation)
                             .arg(tabNumber)
                             .arg(letter);
        if (outsideCp932 && line == 1)
            entry.content += u" 😀 é"_s;
    }
    return entry;
}

// Building and encoding an entry is the slow part of the crash test's checks; the bytes of the
// few generations in use are kept.
QByteArray entryBytesOf(qint64 generation, int tabNumber, int entryIndex)
{
    static QHash<qint64, QHash<int, QByteArray>> cache;
    if (!cache.contains(generation)) {
        cache.removeIf([generation](const auto &item) {
            return qAbs(item.key() - generation) > KeptGenerations;
        });
        cache.insert(generation, {});
    }
    QHash<int, QByteArray> &files = cache[generation];
    const int key = tabNumber * Letters + entryIndex;
    const auto found = files.constFind(key);
    if (found != files.cend())
        return *found;
    const QByteArray bytes = entryFileBytes(entryOf(generation, tabNumber, entryIndex));
    files.insert(key, bytes);
    return bytes;
}

} // namespace

int entryCount(qint64 generation, int tabNumber)
{
    return tabNumber < Tabs ? Letters : 1 + static_cast<int>((generation * 7) % Letters);
}

bool exists(qint64 generation, int tabNumber, int entryIndex)
{
    return entryIndex < entryCount(generation, tabNumber);
}

qint64 lastChange(qint64 generation, int tabNumber, int entryIndex)
{
    return changesIn(generation, tabNumber, entryIndex) ? generation : generation - 1;
}

bool backupsOn(qint64 generation)
{
    return generation % 4 != 3;
}

QList<SaveFile> entryFiles(qint64 generation)
{
    QList<SaveFile> files;
    for (int tab = 1; tab <= Tabs; ++tab) {
        for (int index = 0; index < entryCount(generation, tab); ++index) {
            files.append({entryFileName(tab, index),
                entryBytes(lastChange(generation, tab, index), tab, index)});
        }
    }
    return files;
}

QByteArray entryBytes(qint64 generation, int tabNumber, int entryIndex)
{
    return entryBytesOf(generation, tabNumber, entryIndex);
}

SaveFile settings(qint64 generation)
{
    IniGlobals globals;
    globals.top = 1200;
    globals.left = 1500;
    globals.height = 4800;
    globals.width = 6600;
    globals.defFontName = u"第%1世代"_s.arg(generation);
    globals.scrlType = ScrollType::Vertical;
    QStringList infos;
    for (int tab = 1; tab <= Tabs; ++tab) {
        TabInfo info;
        info.fontName = u"ＭＳ ゴシック"_s;
        info.fontSize = 10.5f;
        info.created = QDateTime(QDate(1999, 7, 15), QTime(9, 5));
        info.alarm = info.created;
        info.caption = u"タブ%1 第%2世代"_s.arg(tab).arg(generation);
        infos.append(composeTabInfo(info));
    }
    return {SettingsName, encodeNoteText(composeIni(globals, infos))};
}

std::optional<qint64> entryGeneration(const QByteArray &bytes, int tabNumber, int entryIndex)
{
    static const QRegularExpression title(u"\\A第([0-9]+)世代 ([0-9]+)([A-Z])\\z"_s);
    const QRegularExpressionMatch match = title.match(parseEntryFile(bytes).title);
    if (!match.hasMatch() || match.captured(2).toInt() != tabNumber
        || match.captured(3) != QString(QChar(u'A' + entryIndex)))
        return std::nullopt;
    const qint64 generation = match.captured(1).toLongLong();
    if (!changesIn(generation, tabNumber, entryIndex)
        || bytes != entryBytes(generation, tabNumber, entryIndex))
        return std::nullopt;
    return generation;
}

std::optional<qint64> settingsGeneration(const QByteArray &bytes)
{
    static const QRegularExpression line(
        u"^DefFontName = 第([0-9]+)世代\r$"_s, QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(decodeNoteText(bytes));
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 generation = match.captured(1).toLongLong();
    if (bytes != settings(generation).bytes)
        return std::nullopt;
    return generation;
}

} // namespace Generations
