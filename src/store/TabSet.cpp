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
    noteChange();
    return *m_records.back();
}

void TabSet::truncate(int count)
{
    if (count >= 0 && count < this->count()) {
        m_records.resize(static_cast<size_t>(count));
        noteChange();
    }
}

void TabSet::noteChange() const
{
    for (const std::function<void()> &listener : m_changeListeners)
        listener();
}

void TabSet::setDefaultFont(const QString &name, qint16 size)
{
    if (name == DefFontName && size == DefFontSize)
        return;
    DefFontName = name;
    DefFontSize = size;
    noteChange();
}
