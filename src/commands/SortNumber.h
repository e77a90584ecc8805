#pragma once

#include <QString>
#include <optional>

// The number typed into a row of the manual sort: a decimal number with blanks around it
// allowed, full-width digits and signs included, rounded to a whole number (a half to the
// even neighbour). Nothing when the text is no number or the whole number does not fit in
// -32768..32767; an empty text is no number.
std::optional<qint16> parseSortNumber(const QString &text);
