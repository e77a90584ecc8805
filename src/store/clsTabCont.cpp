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

void clsTabCont::checkTab(int tab) const
{
    if (tab < 0 || tab >= m_tabSet.count())
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

void clsTabCont::setFontName(const QString &newValue)
{
    assign(m_data.FontName, newValue);
}

void clsTabCont::setFontSize(float newValue)
{
    assign(m_data.FontSize, newValue);
}

QString clsTabCont::Title(int index) const
{
    checkList(m_data.titles, index);
    return m_data.titles.at(index);
}

QString clsTabCont::Cont(int index) const
{
    checkList(m_data.contents, index);
    return m_data.contents.at(index).text();
}

EntrySource clsTabCont::entrySource(int index) const
{
    const bool stored
        = index >= 0 && index < m_data.contents.size() && m_data.contents.at(index).stored();
    return stored ? m_data.contents.at(index).stored()->source() : m_data.sources.value(index);
}

std::shared_ptr<const StoredEntry> clsTabCont::storedEntry(int index) const
{
    checkList(m_data.contents, index);
    const auto &stored = m_data.contents.at(index).stored();
    if (stored && sameText(stored->title(), m_data.titles.at(index)))
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

void clsTabCont::setEntrySource(int index, const EntrySource &source)
{
    checkList(m_data.contents, index);
    if (m_data.contents.at(index).stored())
        m_data.contents[index] = m_data.contents.at(index).text();
    if (m_data.sources.size() <= index)
        m_data.sources.resize(index + 1);
    m_data.sources[index] = source;
}

void clsTabCont::AddTitle(int tab, const QString &newTitle, const QString &newContent)
{
    checkTab(tab);
    if (m_data.NoOfCont >= TabSet::MaxEntries)
        throw TabError(TabError::TooManyTitles, QStringLiteral("見出しの数が不正です"));
    ++m_data.NoOfCont;
    m_data.titles.append(newTitle);
    m_data.contents.append(newContent);
    m_tabSet.noteChange();
    m_tabSet.pages().appendTitleItem(tab, newTitle);
}

void clsTabCont::AddStoredEntry(int tab, std::shared_ptr<const StoredEntry> entry)
{
    AddTitle(tab, entry->title(), QString());
    setStoredEntry(m_data.NoOfCont - 1, std::move(entry));
}

void clsTabCont::setStoredEntry(int index, std::shared_ptr<const StoredEntry> entry)
{
    checkList(m_data.contents, index);
    m_data.contents[index] = EntryContent(std::move(entry));
    if (index < m_data.sources.size())
        m_data.sources[index] = EntrySource();
}

void clsTabCont::ChgTitle(int tab, int entry, const QString &newTitle)
{
    checkTab(tab);
    checkEntry(entry, TitleWording);
    assign(m_data.titles[entry], newTitle);
    m_tabSet.pages().setTitleItem(tab, entry, newTitle);
}

void clsTabCont::ChgCont(int contentIndex, const QString &newContent)
{
    checkEntry(contentIndex, ContWording);
    if (setContent(contentIndex, newContent))
        m_tabSet.noteChange();
}

void clsTabCont::RemoveTitle(int tab, int entry)
{
    checkTab(tab);
    checkEntry(entry, TitleWording);
    m_data.titles.removeAt(entry);
    m_data.contents.removeAt(entry);
    if (entry < m_data.sources.size())
        m_data.sources.removeAt(entry);
    --m_data.NoOfCont;
    m_tabSet.noteChange();
}

void clsTabCont::DispTitle(int tab, int entry)
{
    checkTab(tab);
    checkEntry(entry, TitleWording);
    // The title list runs the entry-chosen handling here, which calls back into this record.
    m_tabSet.pages().selectTitleItem(tab, entry);
    m_data.DispIndex = static_cast<qint16>(entry);
}

void clsTabCont::setDispIndex(int newIndex)
{
    checkEntry(newIndex, ContWording);
    m_data.DispIndex = static_cast<qint16>(newIndex);
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

void clsTabCont::DispCont(int tab)
{
    checkTab(tab);
    TabPages &pages = m_tabSet.pages();
    checkList(m_data.contents, m_data.DispIndex);
    // An entry still as read goes to the box undecoded: most are never shown.
    if (const auto &stored = m_data.contents.at(m_data.DispIndex).stored()) {
        if (pages.boxEntry(tab) != stored)
            pages.setBoxEntry(tab, stored);
    } else {
        const QString content = Cont(m_data.DispIndex);
        // Showing the same entry again (twice for every new page) converts nothing: for a long
        // entry each conversion costs a copy of hundreds of megabytes. A box showing an entry
        // from its file would have to decode it to tell.
        if (pages.boxEntry(tab) || !boxShows(pages.boxText(tab), content)) {
            pages.setBoxText(tab, toBoxText(content));
            m_boxShown = {pages.boxText(tab), content};
        }
    }
    pages.setBoxVisible(tab, false);
    pages.setBoxFont(tab, m_data.FontName, m_data.FontSize);
    pages.setBoxVisible(tab, true);
}

void clsTabCont::MoveCont(int tab)
{
    checkTab(tab);
    const TabPages &pages = m_tabSet.pages();
    checkList(m_data.contents, m_data.DispIndex);
    const auto &stored = m_data.contents.at(m_data.DispIndex).stored();
    if (stored && pages.boxEntry(tab) == stored)
        return;
    const QString boxText = pages.boxText(tab);
    // An unedited entry keeps its exact text, whatever line breaks its file held.
    if (!boxShows(boxText, m_data.contents.at(m_data.DispIndex).text()))
        setContent(m_data.DispIndex, fromBoxText(boxText));
}

void clsTabCont::ResetTab(int tab)
{
    checkTab(tab);
    TabPages &pages = m_tabSet.pages();
    int items = pages.titleItemCount(tab);
    for (; items > m_data.NoOfCont; --items)
        pages.removeTitleItem(tab, items - 1);
    for (; items < m_data.NoOfCont; ++items)
        pages.appendTitleItem(tab, QString());
    for (int j = 0; j < m_data.NoOfCont; ++j)
        pages.setTitleItem(tab, j, m_data.titles.at(j));
    DispCont(tab);
    pages.selectTitleItem(tab, m_data.DispIndex);
    DispCont(tab);
}

void clsTabCont::setOmidasi(const QString &caption)
{
    assign(m_data.Omidasi, caption);
}

void clsTabCont::setCrt(const QDateTime &when)
{
    assign(m_data.Crt, when);
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

bool clsTabCont::acceptsAlarm(const QDateTime &when) const
{
    return when >= toSeconds(m_tabSet.clock().now()).addSecs(60);
}

void clsTabCont::setAlarm(const QDateTime &when)
{
    if (!acceptsAlarm(when))
        throw TabError(TabError::AlarmTooSoon, QStringLiteral("設定した時間が不適切です"));
    setStoredAlarm(when);
    setOnAlm(true);
}

void clsTabCont::setStoredAlarm(const QDateTime &when)
{
    assign(m_data.Alarm, when);
}

void clsTabCont::setOnAlm(bool value)
{
    assign(m_data.OnAlm, value);
}

void clsTabCont::LetTemp(int index) const
{
    m_tabSet.temp.at(static_cast<size_t>(index)) = m_data;
}

void clsTabCont::GetTemp(int index)
{
    m_data = m_tabSet.temp.at(static_cast<size_t>(index));
    m_tabSet.noteChange();
}

QString clsTabCont::Info() const
{
    return composeTabInfo({m_data.FontName, m_data.FontSize, m_data.Crt, m_data.Alarm, m_data.OnAlm,
        m_data.DispIndex, m_data.Omidasi});
}
