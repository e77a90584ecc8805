#pragma once

#include <QString>
#include <QStringView>

// Line break conversions in one pass. QString::replace moves the rest of the text at every
// shortened match, which takes minutes on a text of millions of lines.

// Every CR LF becomes LF; other CRs stay.
QString crLfToLf(QStringView text);
// Every CR LF and every lone CR becomes LF.
QString anyBreakToLf(QStringView text);
// Every LF becomes CR LF, unless a CR is already before it.
QString lfToCrLf(QStringView text);
