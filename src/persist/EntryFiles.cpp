#include "persist/EntryFiles.h"

#include "persist/Cp932Tables.h"
#include "persist/NoteCodec.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxTabNumber = 30;
constexpr int MaxEntries = 26;
constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

// Line 1 is the title; the lines after it, joined by CR LF, the content. The content is taken
// in one pass rather than line by line, as entries can be long: it is the text after the first
// line end with its own last line end dropped and each lone CR made a CR LF. Where there is no
// lone CR the text itself becomes the content, without a copy.
Entry parseEntryText(QString text)
{
    Entry entry;
    const qsizetype titleEnd = text.indexOf(u'\r');
    if (titleEnd < 0) {
        entry.title = std::move(text);
        return entry;
    }
    entry.title = text.first(titleEnd);
    qsizetype start = titleEnd + 1;
    if (start < text.size() && text.at(start) == u'\n')
        ++start;
    text.remove(0, start);
    if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\r'))
        text.chop(1);

    const auto nextLoneCr = [&text](qsizetype from) {
        for (qsizetype i = text.indexOf(u'\r', from); i >= 0; i = text.indexOf(u'\r', i + 1)) {
            if (i + 1 == text.size() || text.at(i + 1) != u'\n')
                return i;
        }
        return qsizetype(-1);
    };
    qsizetype loneCr = nextLoneCr(0);
    if (loneCr < 0) {
        entry.content = std::move(text);
        return entry;
    }
    entry.content.reserve(text.size() + 16);
    qsizetype done = 0;
    for (; loneCr >= 0; loneCr = nextLoneCr(loneCr + 1)) {
        entry.content += QStringView(text).sliced(done, loneCr + 1 - done);
        entry.content += u'\n';
        done = loneCr + 1;
    }
    entry.content += QStringView(text).sliced(done);
    return entry;
}

// Whether entryFileBytes writes the entry parsed from `text` as this very text: a title line and
// at least one more line, every line ending in CR LF (a lone CR would become CR LF, a missing
// last line end would be added).
bool isWrittenAlike(QStringView text)
{
    if (!text.endsWith(u"\r\n"))
        return false;
    qsizetype lineEnds = 0;
    for (qsizetype i = text.indexOf(u'\r'); i >= 0; i = text.indexOf(u'\r', i + 1)) {
        if (i + 1 == text.size() || text[i + 1] != u'\n')
            return false;
        ++lineEnds;
    }
    return lineEnds >= 2;
}

enum class FileRead : quint8 { Read, NoFile, Failed };

// Reads an ordinary file whole; directories, pipes and the like are no file here. `status` is
// taken before the reading, so that a change while reading shows as a later change. Plain
// system calls: the start-up reads hundreds of these files.
FileRead readOrdinaryFile(
    const QByteArray &path, QByteArray &bytes, struct stat &status, int &error)
{
    // Without blocking: opening a pipe for reading would wait for a writer.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        // Most of the names looked for are not there; only another failure needs a second look.
        if (error == ENOENT)
            return FileRead::NoFile;
        struct stat seen;
        const bool file = ::stat(path.constData(), &seen) == 0 && S_ISREG(seen.st_mode);
        return file ? FileRead::Failed : FileRead::NoFile;
    }
    FileRead result = FileRead::Read;
    if (::fstat(fd, &status) != 0) {
        error = errno;
        result = FileRead::Failed;
    } else if (!S_ISREG(status.st_mode)) {
        result = FileRead::NoFile;
    } else {
        // One byte more than the size, to see the end in the same call; a file that grows
        // meanwhile is read on.
        bytes = QByteArray(qsizetype(status.st_size) + 1, Qt::Uninitialized);
        qsizetype done = 0;
        for (;;) {
            if (done == bytes.size())
                bytes.resize(bytes.size() * 2);
            const ssize_t count = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                error = errno;
                result = FileRead::Failed;
                break;
            }
            if (count == 0)
                break;
            done += count;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    return result;
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

QByteArray entryFileBytes(const Entry &entry, const EntrySource &source)
{
    if (source.bytes && parseEntryFile(*source.bytes) == entry)
        return *source.bytes;
    return encodeNoteText(entry.title + u"\r\n"_s + entry.content + u"\r\n"_s, source.encoding);
}

Entry parseEntryFile(const QByteArray &bytes, EntrySource *source)
{
    DecodedNote note = decodeNote(bytes);
    if (source) {
        source->encoding = note.encoding;
        if (note.alike && isWrittenAlike(note.text))
            source->bytes.reset();
        else
            source->bytes = bytes;
    }
    return parseEntryText(std::move(note.text));
}

std::optional<QString> parseEntryContentStart(
    const QByteArray &bytes, qsizetype longerThan, qsizetype chars)
{
    const qsizetype titleEnd = bytes.indexOf('\r');
    if (titleEnd < 0 || bytes.startsWith(QByteArrayView(Utf8Bom)))
        return std::nullopt;
    // A character takes at most two bytes and a line break at most two characters; the title's
    // line end and the last line end, which the content drops, take at most four bytes.
    const qsizetype contentBytes = bytes.size() - titleEnd - 4;
    if (contentBytes / 4 <= longerThan)
        return std::nullopt;
    Cp932Tables &tables = Cp932Tables::forThisThread();
    if (!tables.decodes(bytes))
        return std::nullopt;
    // The title takes at most a character per byte; a line break at the cut may lose its end.
    const qsizetype length = Cp932Tables::bytesOfChars(bytes, titleEnd + 2 + chars + 2);
    const QString content
        = parseEntryText(*tables.decode(QByteArrayView(bytes).first(length))).content;
    return content.first(std::min(chars, content.size()));
}

StoredEntryScan scanEntryFiles(const QString &dir, KnownEntryFiles *known)
{
    StoredEntryScan scan;
    const QByteArray folder = QFile::encodeName(dir) + '/';
    for (int number = 1; number <= MaxTabNumber; ++number) {
        QList<std::shared_ptr<const StoredEntry>> entries;
        for (int index = 0; index < MaxEntries; ++index) {
            const QString name = entryFileName(number, index);
            QByteArray bytes;
            struct stat status;
            int error = 0;
            const FileRead read
                = readOrdinaryFile(folder + QFile::encodeName(name), bytes, status, error);
            if (read == FileRead::NoFile)
                continue;
            if (read == FileRead::Failed) {
                scan.unreadable.append(name + u": "_s + qt_error_string(error));
                continue;
            }
            entries.append(std::make_shared<const StoredEntry>(std::move(bytes)));
            if (known)
                known->remember(name, entries.constLast(), FileStamp::of(status));
        }
        if (!entries.isEmpty())
            scan.tabs.append(entries);
    }
    return scan;
}

EntryScan readEntryFiles(const QString &dir, KnownEntryFiles *known)
{
    const StoredEntryScan stored = scanEntryFiles(dir, known);
    EntryScan scan {{}, stored.unreadable, {}};
    for (const auto &tab : stored.tabs) {
        QList<Entry> entries;
        QList<EntrySource> sources;
        for (const auto &entry : tab) {
            entries.append(entry->entry());
            sources.append(entry->source());
        }
        scan.tabs.append(entries);
        scan.sources.append(sources);
    }
    return scan;
}
