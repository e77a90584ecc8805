#pragma once

#include "store/TabSnapshot.h"

class TabSet;

// One tab: its entries (title and content), font, creation date, alarm, displayed entry and
// caption, and the bridge to its tab page. The record does not know its own index: page
// members take it as tab and only check that it lies inside the tab set.
// Contents hold line breaks as CR LF; the content box shows them as "\n".
// Every change of the data that a save writes is reported to the tab set (TabSet::noteChange).
class clsTabCont
{
public:
    // Takes the tab set's current default font and the present time.
    explicit clsTabCont(TabSet &tabSet);

    QString FontName() const { return m_data.FontName; }
    void setFontName(const QString &newValue);
    float FontSize() const { return m_data.FontSize; }
    void setFontSize(float newValue);

    qint16 NoOfCont() const { return m_data.NoOfCont; }
    // Entry texts; an index outside the entries throws std::out_of_range. Cont decodes an entry
    // read from its file on first use: every reader of the text (the box, searches, the
    // recovery file) comes here.
    QString Title(int index) const;
    QString Cont(int index) const;

    // How the entry's file was written when it was read; the default for other entries.
    EntrySource entrySource(int index) const;
    void setEntrySource(int index, const EntrySource &source);
    // The entry as read from its file, while neither its title nor its content has changed
    // since; null otherwise.
    std::shared_ptr<const StoredEntry> storedEntry(int index) const;

    void AddTitle(int tab, const QString &newTitle, const QString &newContent);
    // An entry read from its file, its content decoded when first needed.
    void AddStoredEntry(int tab, std::shared_ptr<const StoredEntry> entry);
    // Entry `index`, already holding the title, takes its content from the entry read.
    void setStoredEntry(int index, std::shared_ptr<const StoredEntry> entry);
    void ChgTitle(int tab, int entry, const QString &newTitle);
    void ChgCont(int contentIndex, const QString &newContent);
    void RemoveTitle(int tab, int entry);

    void DispTitle(int tab, int entry);
    qint16 DispIndex() const { return m_data.DispIndex; }
    void setDispIndex(int newIndex);
    void DispCont(int tab);
    void MoveCont(int tab);
    void ResetTab(int tab);

    QString TabTitle() const { return m_data.Omidasi; }
    QString Omidasi() const { return m_data.Omidasi; }
    void setOmidasi(const QString &caption);

    QDateTime Crt() const { return m_data.Crt; }
    void setCrt(const QDateTime &when);
    void SetCrt();

    // Only while the alarm is on; otherwise TabError AlarmOff.
    QDateTime Alarm() const;
    // Whether setAlarm takes the time: at least one minute ahead of now.
    bool acceptsAlarm(const QDateTime &when) const;
    // Accepted only at least one minute ahead of now; switches the alarm on.
    void setAlarm(const QDateTime &when);
    // The stored alarm time whatever the alarm state (the settings file writes it always).
    QDateTime storedAlarm() const { return m_data.Alarm; }
    // Keeps a time read from the settings file, which need not be a minute ahead.
    void setStoredAlarm(const QDateTime &when);
    bool OnAlm() const { return m_data.OnAlm; }
    void setOnAlm(bool value);

    void LetTemp(int index) const;
    void GetTemp(int index);

    // The body of this tab's section in TabSet.ini: seven "key = value" lines, each ending CR LF.
    QString Info() const;

private:
    void checkTab(int tab) const;
    void checkEntry(int index, const char *wording) const;
    bool setContent(int index, const QString &text);
    bool boxShows(const QString &box, const QString &content) const;
    template<typename T>
    void assign(T &field, const T &value);

    TabSet &m_tabSet;
    TabSnapshot m_data;
    // The box text last found or made to show a content: a box that still holds that very text
    // (a hidden page's, or one too long to edit) shows that very content without comparing the
    // two, which for an entry of hundreds of megabytes takes a good part of a second.
    struct BoxShown
    {
        QString box;
        QString content;
    };
    mutable BoxShown m_boxShown;
};
