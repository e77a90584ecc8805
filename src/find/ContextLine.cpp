#include "find/ContextLine.h"

namespace {

constexpr qsizetype Before = 16;
constexpr qsizetype Width = 80;
const QString Cut = QStringLiteral("…");

bool isBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

} // namespace

MarkedText contextLine(QStringView text, qsizetype start, qsizetype length)
{
    qsizetype from = start;
    while (from > 0 && !isBreak(text[from - 1]) && start - from < Before)
        --from;
    if (from > 0 && text[from].isLowSurrogate())
        --from;
    qsizetype to = start + length;
    while (to < text.size() && !isBreak(text[to]) && to - from < Width)
        ++to;
    if (to < text.size() && text[to].isLowSurrogate())
        ++to;
    MarkedText line;
    if (from > 0 && !isBreak(text[from - 1]))
        line.text = Cut;
    line.start = line.text.size() + (start - from);
    line.length = length;
    line.text += text.sliced(from, to - from);
    if (to < text.size() && !isBreak(text[to]))
        line.text += Cut;
    return line;
}
