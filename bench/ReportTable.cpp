#include "ReportTable.h"

#include <QStringList>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int Columns = 7;

std::array<QString, Columns> cellsOf(const ReportTable::Row &row)
{
    return {row.set, row.measure, row.value, row.baseline, row.ratio, row.target, row.holds};
}

} // namespace

QString ReportTable::markdown() const
{
    const std::array<QString, Columns> header {u"Data set"_s, u"Measure"_s, u"Figure"_s,
        u"Floor or baseline"_s, u"Ratio"_s, u"Target"_s, u"Holds"_s};
    std::array<qsizetype, Columns> widths {};
    const auto widen = [&widths](const std::array<QString, Columns> &cells) {
        for (int c = 0; c < Columns; ++c)
            widths[c] = std::max(widths[c], cells[c].size());
    };
    widen(header);
    for (const Row &row : m_rows)
        widen(cellsOf(row));

    const auto line = [&widths](const std::array<QString, Columns> &cells) {
        QString text = u"|"_s;
        for (int c = 0; c < Columns; ++c)
            text += u" "_s + cells[c].leftJustified(widths[c]) + u" |"_s;
        return text + u"\n"_s;
    };
    QString text = line(header);
    std::array<QString, Columns> rule;
    for (int c = 0; c < Columns; ++c)
        rule[c] = QString(widths[c], u'-');
    text += line(rule);
    for (const Row &row : m_rows)
        text += line(cellsOf(row));
    return text;
}

int ReportTable::missed() const
{
    return int(std::count_if(
        m_rows.begin(), m_rows.end(), [](const Row &row) { return row.holds == u"no"; }));
}
