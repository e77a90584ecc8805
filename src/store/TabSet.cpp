#include "store/TabSet.h"

#include "store/clsTabCont.h"

TabSet::TabSet(const Clock &clock)
    : DefFontName(QStringLiteral("ＭＳ ゴシック"))
    , DefFontSize(10)
    , m_clock(clock)
{ }

TabSet::~TabSet() = default;

clsTabCont &TabSet::append()
{
    m_records.push_back(std::make_unique<clsTabCont>(*this));
    return *m_records.back();
}

void TabSet::truncate(int count)
{
    if (count >= 0 && count < this->count())
        m_records.resize(static_cast<size_t>(count));
}
