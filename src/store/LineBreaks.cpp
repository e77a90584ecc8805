#include "store/LineBreaks.h"

#include <cstring>

namespace {

// Copies the text in runs between the occurrences of `mark` into a buffer of `capacity`
// characters; `mend` writes what the mark at the given position becomes.
template<typename Mend>
QString rewrite(QStringView text, qsizetype capacity, char16_t mark, Mend mend)
{
    QString result(capacity, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(result.data());
    char16_t *out = begin;
    const auto copy = [&](qsizetype from, qsizetype to) {
        std::memcpy(out, text.utf16() + from, size_t(to - from) * sizeof(char16_t));
        out += to - from;
    };
    qsizetype from = 0;
    for (qsizetype pos = text.indexOf(mark); pos >= 0; pos = text.indexOf(mark, from)) {
        copy(from, pos);
        mend(pos, out);
        from = pos + 1;
    }
    copy(from, text.size());
    result.truncate(out - begin);
    return result;
}

bool lfAfter(QStringView text, qsizetype pos)
{
    return pos + 1 < text.size() && text[pos + 1] == u'\n';
}

} // namespace

QString crLfToLf(QStringView text)
{
    return rewrite(text, text.size(), u'\r', [text](qsizetype pos, char16_t *&out) {
        if (!lfAfter(text, pos))
            *out++ = u'\r';
    });
}

QString anyBreakToLf(QStringView text)
{
    return rewrite(text, text.size(), u'\r', [text](qsizetype pos, char16_t *&out) {
        if (!lfAfter(text, pos))
            *out++ = u'\n';
    });
}

QString lfToCrLf(QStringView text)
{
    return rewrite(
        text, text.size() + text.count(u'\n'), u'\n', [text](qsizetype pos, char16_t *&out) {
            if (pos == 0 || text[pos - 1] != u'\r')
                *out++ = u'\r';
            *out++ = u'\n';
        });
}
