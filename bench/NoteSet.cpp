#include "NoteSet.h"

#include "persist/EntryFiles.h"
#include "persist/IniFormat.h"
#include "persist/NoteCodec.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Words of everyday notes; every character is in cp932, most of them take two bytes.
const QStringList Words {u"今日"_s, u"明日"_s, u"会議"_s, u"買い物"_s, u"東京"_s, u"大阪"_s,
    u"予定"_s, u"確認"_s, u"資料"_s, u"メモ"_s, u"電話"_s, u"連絡"_s, u"新しい"_s, u"打ち合わせ"_s,
    u"プロジェクト"_s, u"の"_s, u"を"_s, u"に"_s, u"は"_s, u"が"_s, u"で"_s, u"します"_s,
    u"しました"_s, u"。"_s, u"、"_s, u"①"_s, u"～"_s, u"牛乳"_s, u"髙橋さん"_s, u"10時"_s, u"3月"_s,
    u"見積書"_s, u"送付"_s, u"返事"_s, u"待ち"_s, u"ＯＫ"_s, u"(済)"_s};

constexpr int LineChars = 38;

// About `bytes` bytes of cp932 text in lines of about LineChars characters joined by CR LF.
QString japaneseText(int bytes, QRandomGenerator &random)
{
    QString text;
    QString line;
    int size = 0;
    while (size < bytes) {
        const QString &word = Words.at(random.bounded(int(Words.size())));
        line += word;
        for (const QChar c : word)
            size += c.unicode() < 0x80 ? 1 : 2;
        if (line.size() >= LineChars || size >= bytes) {
            if (!text.isEmpty()) {
                text += u"\r\n"_s;
                size += 2;
            }
            text += line;
            line.clear();
        }
    }
    return text;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error(qPrintable(path + u": "_s + file.errorString()));
}

} // namespace

NoteSet::NoteSet(const Shape &shape, const QString &dir)
    : m_shape(shape)
    , m_dir(dir)
{ }

NoteSet NoteSet::generate(const Shape &shape, const QString &dir)
{
    NoteSet set(shape, dir);
    QRandomGenerator random(quint32(shape.tabs * 1000 + shape.entries + shape.contentBytes));
    const QDateTime created(QDate(2024, 4, 1), QTime(9, 30));
    QStringList infos;
    for (int tab = 1; tab <= shape.tabs; ++tab) {
        for (int entry = 0; entry < shape.entries; ++entry) {
            const QString title = u"見出し %1-%2"_s.arg(tab).arg(entry + 1);
            const QString content = japaneseText(shape.contentBytes, random);
            set.m_files.append({entryFileName(tab, entry), entryFileBytes({title, content})});
        }
        infos.append(composeTabInfo(
            {u"ＭＳ ゴシック"_s, 10, created, created, false, 0, u"タブ%1"_s.arg(tab)}));
    }
    IniGlobals globals;
    globals.top = 1200;
    globals.left = 1500;
    globals.height = 6600;
    globals.width = 9000;
    globals.defFontName = u"ＭＳ ゴシック"_s;
    globals.scrlType = ScrollType::Vertical;
    set.m_files.append({u"TabSet.ini"_s, encodeNoteText(composeIni(globals, infos))});
    for (const File &file : std::as_const(set.m_files))
        writeFile(QDir(dir).filePath(file.name), file.bytes);
    return set;
}

qint64 NoteSet::totalBytes() const
{
    qint64 total = 0;
    for (const File &file : m_files)
        total += file.bytes.size();
    return total;
}
