// The entry-file reader on any bytes: it must not crash, its cp932 tables must agree with ICU,
// the entry must be the file's lines as the line-by-line reading gives them, what it writes
// must read back as the same entry, and a file it takes as written alike must be.
#include "persist/EntryFiles.h"
#include "persist/NoteCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

constexpr auto IcuFlags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

void require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "entry file fuzzer: %s\n", what);
    std::abort();
}

QString icuDecoded(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8, IcuFlags)(bytes.sliced(3));
    return QStringDecoder("windows-31j", IcuFlags)(bytes);
}

QByteArray icuEncoded(const QString &text)
{
    QStringEncoder cp932("windows-31j", IcuFlags);
    const QByteArray bytes = cp932(text);
    if (!cp932.hasError() && QStringDecoder("windows-31j", IcuFlags)(bytes) == text)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + QStringEncoder(QStringConverter::Utf8, IcuFlags)(text);
}

Entry lineByLine(const QString &text)
{
    const QStringList lines = splitNoteLines(text);
    Entry entry;
    if (!lines.isEmpty())
        entry.title = lines.first();
    if (lines.size() > 1)
        entry.content = lines.mid(1).join(u"\r\n"_s);
    return entry;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bool alike = false;
    const Entry entry = parseEntryFile(bytes, &alike);

    const QString text = decodeNoteText(bytes);
    require(text == icuDecoded(bytes), "decoding differs from ICU");
    require(encodeNoteText(text) == icuEncoded(text), "encoding differs from ICU");
    require(entry == lineByLine(text), "entry differs from the line-by-line reading");

    const QByteArray written = entryFileBytes(entry);
    require(!alike || written == bytes, "a file taken as written alike is written otherwise");
    require(parseEntryFile(written) == entry, "a written entry reads back otherwise");
    return 0;
}
