#include "commands/SortNumber.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

std::optional<qint16> parseSortNumber(const QString &text)
{
    // NFKC turns full-width digits, signs, points and blanks into their ASCII forms.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    static const QRegularExpression decimal(u"\\A[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)\\z"_s);
    if (!decimal.match(plain).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    // The default rounding mode rounds a half to the even neighbour.
    const double whole = std::nearbyint(value);
    if (whole < std::numeric_limits<qint16>::min() || whole > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(whole);
}
