// The entry-file reader on any bytes: it must not crash, its cp932 tables must agree with ICU,
// the entry must be the file's lines as the line-by-line reading gives them, what it writes
// in its own encoding must read back as the same entry, and an entry left as read must be
// written as the very bytes it came from.
#include "ReferenceReading.h"
#include "persist/EntryFiles.h"
#include "persist/NoteCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

void require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "entry file fuzzer: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    EntrySource source;
    const Entry entry = parseEntryFile(bytes, &source);

    const QString text = decodeNoteText(bytes);
    require(text == icuDecoded(bytes), "decoding differs from ICU");
    require(encodeNoteText(text) == icuEncoded(text), "encoding differs from ICU");
    require(entry == lineByLine(text), "entry differs from the line-by-line reading");

    require(entryFileBytes(entry, source) == bytes, "an unedited entry is written otherwise");
    const QByteArray written = entryFileBytes(entry, {source.encoding, std::nullopt});
    require(parseEntryFile(written) == entry, "a written entry reads back otherwise");
    return 0;
}
