#pragma once

#include "persist/EntryFiles.h"

#include <QByteArray>
#include <QString>

// How note files read and write by definition, the slow way: what the fast codec and the entry
// reader must agree with for every input.

// The codec as ICU alone does it, but for the two rules of the program's own: bytes that are
// not cp932 but UTF-8 are read as UTF-8, and seven characters of Linux input methods are
// written as their Windows look-alikes.
QString icuDecoded(const QByteArray &bytes);
QByteArray icuEncoded(const QString &text);

// Line 1 the title, the other lines joined by CR LF the content.
Entry lineByLine(const QString &text);
