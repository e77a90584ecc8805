#include "store/clsTabCont.h"

#include "persist/IniFormat.h"
#include "persist/KnownEntryFiles.h"
#include "platform/Clock.h"
#include "store/LineBreaks.h"
#include "store/TabError.h"
#include "store/TabPages.h"
#include "store/TabSet.h"

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

const char TitleWording[] = "見出しのインデックスが不正です";
const char ContWording[] = "本文のインデックスが不正です";

// The record keeps CR LF, which the files need; the box works with "\n".
QString toBoxText(const QString &content)
{
    return crLfToLf(content);
}

// Whether the box text (with "\n") is `content` (with CR LF) as toBoxText shows it, compared in
// place: the box of a long entry is compared on every switch and every save.
bool showsContent(QStringView box, QStringView content)
{
    qsizetype j = 0;
    const qsizetype size = content.size();
    for (qsizetype i = 0; i < size; ++i, ++j) {
        if (j >= box.size())
            return false;
        if (content[i] == u'\r' && i + 1 < size && content[i + 1] == u'\n')
            ++i;
        if (box[j] != content[i])
            return false;
    }
    return j == box.size();
}

QString fromBoxText(const QString &text)
{
    return lfToCrLf(text);
}

QDateTime toSeconds(const QDateTime &time)
{
    return time.addMSecs(-time.time().msec());
}

template<typename List>
void checkList(const List &list, int index)
{
    if (index < 0 || index >= list.size())
        throw std::out_of_range("entry index out of range");
}

} // namespace

clsTabCont::clsTabCont(TabSet &tabSet)
    : m_tabSet(tabSet)
{
    const QDateTime now = toSeconds(tabSet.clock().now());
    m_data.FontName = tabSet.DefFontName;
    m_data.FontSize = tabSet.DefFontSize;
    m_data.Crt = now;
    m_data.Alarm = now;
}

void clsTabCont::checkTab(int intClsIndex) const
{
    if (intClsIndex < 0 || intClsIndex >= m_tabSet.count())
        throw TabError(TabError::BadTabIndex, QStringLiteral("タブのインデックスが不正です"));
}

void clsTabCont::checkEntry(int index, const char *wording) const
{
    if (index < 0 || index >= m_data.NoOfCont)
        throw TabError(TabError::BadEntryIndex, QString::fromUtf8(wording));
}

template<typename T>
void clsTabCont::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    m_tabSet.noteChange();
}

void clsTabCont::setFontName(const QString &strNewValue)
{
    assign(m_data.FontName, strNewValue);
}

void clsTabCont::setFontSize(float sngNewValue)
{
    assign(m_data.FontSize, sngNewValue);
}

QString clsTabCont::Title(int intIndex) const
{
    checkList(m_data.titles, intIndex);
    return m_data.titles.at(intIndex);
}

QString clsTabCont::Cont(int intIndex) const
{
    checkList(m_data.contents, intIndex);
    return m_data.contents.at(intIndex).text();
}

EntrySource clsTabCont::entrySource(int intIndex) const
{
    const bool stored = intIndex >= 0 && intIndex < m_data.contents.size()
        && m_data.contents.at(intIndex).stored();
    return stored ? m_data.contents.at(intIndex).stored()->source()
                  : m_data.sources.value(intIndex);
}

std::shared_ptr<const StoredEntry> clsTabCont::storedEntry(int intIndex) const
{
    checkList(m_data.contents, intIndex);
    const auto &stored = m_data.contents.at(intIndex).stored();
    if (stored && sameText(stored->title(), m_data.titles.at(intIndex)))
        return stored;
    return nullptr;
}

// An entry that was read keeps how its file was written when its text changes.
bool clsTabCont::setContent(int index, const QString &text)
{
    EntryContent &content = m_data.contents[index];
    if (sameText(content.text(), text))
        return false;
    if (const auto stored = content.stored()) {
        if (m_data.sources.size() <= index)
            m_data.sources.resize(index + 1);
        m_data.sources[index] = stored->source();
    }
    content = text;
    return true;
}

void clsTabCont::setEntrySource(int intIndex, const EntrySource &source)
{
    checkList(m_data.contents, intIndex);
    if (m_data.contents.at(intIndex).stored())
        m_data.contents[intIndex] = m_data.contents.at(intIndex).text();
    if (m_data.sources.size() <= intIndex)
        m_data.sources.resize(intIndex + 1);
    m_data.sources[intIndex] = source;
}

void clsTabCont::AddTitle(int intClsIndex, const QString &strNewTitle, const QString &strNewCont)
{
    checkTab(intClsIndex);
    if (m_data.NoOfCont >= TabSet::MaxEntries)
        throw TabError(TabError::TooManyTitles, QStringLiteral("見出しの数が不正です"));
    ++m_data.NoOfCont;
    m_data.titles.append(strNewTitle);
    m_data.contents.append(strNewCont);
    m_tabSet.noteChange();
    m_tabSet.pages().appendTitleItem(intClsIndex, strNewTitle);
}

void clsTabCont::AddStoredEntry(int intClsIndex, std::shared_ptr<const StoredEntry> entry)
{
    const QString title = entry->title();
    AddTitle(intClsIndex, title, QString());
    m_data.contents.last() = EntryContent(std::move(entry));
}

void clsTabCont::ChgTitle(int intClsIndex, int intTitleIndex, const QString &strNewTitle)
{
    checkTab(intClsIndex);
    checkEntry(intTitleIndex, TitleWording);
    assign(m_data.titles[intTitleIndex], strNewTitle);
    m_tabSet.pages().setTitleItem(intClsIndex, intTitleIndex, strNewTitle);
}

void clsTabCont::ChgCont(int intContIndex, const QString &strNewCont)
{
    checkEntry(intContIndex, ContWording);
    if (setContent(intContIndex, strNewCont))
        m_tabSet.noteChange();
}

void clsTabCont::RemoveTitle(int intClsIndex, int intTitleIndex)
{
    checkTab(intClsIndex);
    checkEntry(intTitleIndex, TitleWording);
    m_data.titles.removeAt(intTitleIndex);
    m_data.contents.removeAt(intTitleIndex);
    if (intTitleIndex < m_data.sources.size())
        m_data.sources.removeAt(intTitleIndex);
    --m_data.NoOfCont;
    m_tabSet.noteChange();
}

void clsTabCont::DispTitle(int intClsIndex, int intTitleIndex)
{
    checkTab(intClsIndex);
    checkEntry(intTitleIndex, TitleWording);
    // The title list runs the entry-chosen handling here, which calls back into this record.
    m_tabSet.pages().selectTitleItem(intClsIndex, intTitleIndex);
    m_data.DispIndex = static_cast<qint16>(intTitleIndex);
}

void clsTabCont::setDispIndex(int intNewIndex)
{
    checkEntry(intNewIndex, ContWording);
    m_data.DispIndex = static_cast<qint16>(intNewIndex);
}

bool clsTabCont::boxShows(const QString &box, const QString &content) const
{
    const auto same = [](const QString &a, const QString &b) {
        return a.size() == b.size() && a.constData() == b.constData();
    };
    if (same(box, m_boxShown.box) && same(content, m_boxShown.content))
        return true;
    if (!showsContent(box, content))
        return false;
    m_boxShown = {box, content};
    return true;
}

void clsTabCont::DispCont(int intClsIndex)
{
    checkTab(intClsIndex);
    TabPages &pages = m_tabSet.pages();
    const QString content = Cont(m_data.DispIndex);
    // Showing the same entry again (twice for every new page) converts nothing: for a long
    // entry each conversion costs a copy of hundreds of megabytes.
    if (!boxShows(pages.boxText(intClsIndex), content)) {
        pages.setBoxText(intClsIndex, toBoxText(content));
        m_boxShown = {pages.boxText(intClsIndex), content};
    }
    pages.setBoxVisible(intClsIndex, false);
    pages.setBoxFont(intClsIndex, m_data.FontName, m_data.FontSize);
    pages.setBoxVisible(intClsIndex, true);
}

void clsTabCont::MoveCont(int intClsIndex)
{
    checkTab(intClsIndex);
    const TabPages &pages = m_tabSet.pages();
    checkList(m_data.contents, m_data.DispIndex);
    const QString boxText = pages.boxText(intClsIndex);
    // An unedited entry keeps its exact text, whatever line breaks its file held.
    if (!boxShows(boxText, m_data.contents.at(m_data.DispIndex).text()))
        setContent(m_data.DispIndex, fromBoxText(boxText));
}

void clsTabCont::ResetTab(int intClsIndex)
{
    checkTab(intClsIndex);
    TabPages &pages = m_tabSet.pages();
    int items = pages.titleItemCount(intClsIndex);
    for (; items > m_data.NoOfCont; --items)
        pages.removeTitleItem(intClsIndex, items - 1);
    for (; items < m_data.NoOfCont; ++items)
        pages.appendTitleItem(intClsIndex, QString());
    for (int j = 0; j < m_data.NoOfCont; ++j)
        pages.setTitleItem(intClsIndex, j, m_data.titles.at(j));
    DispCont(intClsIndex);
    pages.selectTitleItem(intClsIndex, m_data.DispIndex);
    DispCont(intClsIndex);
}

void clsTabCont::setOmidasi(const QString &strOmidasi)
{
    assign(m_data.Omidasi, strOmidasi);
}

void clsTabCont::setCrt(const QDateTime &dtmNew)
{
    assign(m_data.Crt, dtmNew);
}

void clsTabCont::SetCrt()
{
    setCrt(toSeconds(m_tabSet.clock().now()));
}

QDateTime clsTabCont::Alarm() const
{
    if (!m_data.OnAlm) {
        throw TabError(
            TabError::AlarmOff, QStringLiteral("アラームがオフの状態で、設定時間を取得しました"));
    }
    return m_data.Alarm;
}

bool clsTabCont::acceptsAlarm(const QDateTime &dtmTime) const
{
    return dtmTime >= toSeconds(m_tabSet.clock().now()).addSecs(60);
}

void clsTabCont::setAlarm(const QDateTime &dtmNewTime)
{
    if (!acceptsAlarm(dtmNewTime))
        throw TabError(TabError::AlarmTooSoon, QStringLiteral("設定した時間が不適切です"));
    setStoredAlarm(dtmNewTime);
    setOnAlm(true);
}

void clsTabCont::setStoredAlarm(const QDateTime &dtmTime)
{
    assign(m_data.Alarm, dtmTime);
}

void clsTabCont::setOnAlm(bool blnNew)
{
    assign(m_data.OnAlm, blnNew);
}

void clsTabCont::LetTemp(int intIndex) const
{
    m_tabSet.temp.at(static_cast<size_t>(intIndex)) = m_data;
}

void clsTabCont::GetTemp(int intIndex)
{
    m_data = m_tabSet.temp.at(static_cast<size_t>(intIndex));
    m_tabSet.noteChange();
}

QString clsTabCont::Info() const
{
    return composeTabInfo({m_data.FontName, m_data.FontSize, m_data.Crt, m_data.Alarm, m_data.OnAlm,
        m_data.DispIndex, m_data.Omidasi});
}
