#pragma once

#include <QString>
#include <QStringView>

// A piece of text with one stretch marked.
struct MarkedText
{
    QString text;
    qsizetype start = 0;
    qsizetype length = 0;
};

// The line of `text` that holds the stretch [start, start + length), cut to a few characters
// before the stretch and a row's worth after it, with "…" where it was cut.
MarkedText contextLine(QStringView text, qsizetype start, qsizetype length);
