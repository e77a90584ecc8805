#include "persist/EntryFiles.h"

#include "persist/NoteCodec.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxTabNumber = 30;
constexpr int MaxEntries = 26;

Entry parseEntryText(const QString &text)
{
    const QStringList lines = splitNoteLines(text);
    Entry entry;
    if (!lines.isEmpty())
        entry.title = lines.first();
    if (lines.size() > 1)
        entry.content = lines.at(1);
    for (qsizetype i = 2; i < lines.size(); ++i)
        entry.content += u"\r\n"_s + lines.at(i);
    return entry;
}

} // namespace

QString entryFileName(int tabNumber, int entryIndex)
{
    return u"Tab"_s + QString::number(tabNumber) + QChar(u'A' + entryIndex) + u".tab"_s;
}

std::optional<EntryName> parseEntryFileName(QStringView name)
{
    // "Tab" + 1..30 without leading zeros + one letter A..Z + ".tab".
    if (name.size() < 9 || name.size() > 10 || !name.startsWith(u"Tab") || !name.endsWith(u".tab"))
        return std::nullopt;
    const QStringView middle = name.sliced(3, name.size() - 7);
    const QChar letter = middle.back();
    const QStringView digits = middle.chopped(1);
    if (letter < u'A' || letter > u'Z' || digits.front() == u'0')
        return std::nullopt;
    int number = 0;
    for (const QChar digit : digits) {
        if (digit < u'0' || digit > u'9')
            return std::nullopt;
        number = number * 10 + (digit.unicode() - u'0');
    }
    if (number > MaxTabNumber)
        return std::nullopt;
    return EntryName {number, letter.unicode() - u'A'};
}

QByteArray entryFileBytes(const Entry &entry)
{
    return encodeNoteText(entry.title + u"\r\n"_s + entry.content + u"\r\n"_s);
}

Entry parseEntryFile(const QByteArray &bytes)
{
    return parseEntryText(decodeNoteText(bytes));
}

EntryScan readEntryFiles(const QString &dir)
{
    EntryScan scan;
    const QDir directory(dir);
    for (int number = 1; number <= MaxTabNumber; ++number) {
        QList<Entry> entries;
        for (int index = 0; index < MaxEntries; ++index) {
            const QString name = entryFileName(number, index);
            const QString path = directory.filePath(name);
            // An ordinary file only: directories and the like do not count as entries.
            if (!QFileInfo(path).isFile())
                continue;
            QString text;
            QString error;
            if (!readNoteFile(path, text, error)) {
                scan.unreadable.append(name + u": "_s + error);
                continue;
            }
            entries.append(parseEntryText(text));
        }
        if (!entries.isEmpty())
            scan.tabs.append(entries);
    }
    return scan;
}
