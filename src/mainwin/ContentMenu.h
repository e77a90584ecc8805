#pragma once

#include <QObject>
#include <QPointer>

class ContentBox;
class PlatformServices;
class QAction;
class QDateTime;
class QLocale;
class QMenu;
class QPoint;
class TabSet;
class TabWindow;

// The text "日時挿入" inserts: the locale's long date without its weekday, a blank, the time on
// the 12-hour clock ("h:mm") and "AM" or "PM". On a Japanese locale 31 December 1999 at 23:05
// gives "1999年12月31日 11:05 PM".
QString dateTimeStamp(const QDateTime &when, const QLocale &locale);

// The content menu mnuCont, which a right press in a page's content box pops up in place of
// the box's own: clipboard editing and undo on that box, the date-and-time stamp, the
// selected tab's font and making that font the default for new tabs.
class ContentMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentMenu)
public:
    ContentMenu(TabSet &tabs, TabWindow &window, PlatformServices &platform);

    // Makes the pressed box the menu box and pops the menu up for it.
    void txtCont_MouseDown(ContentBox *box, const QPoint &globalPos);
    // Focuses the menu box, enables the clipboard items that fit its selection and the
    // clipboard, and shows the menu; the chosen command has run when this returns.
    void PopupContMenu(const QPoint &globalPos);

private:
    // Connects an item to a command on the menu box.
    void onMenuBox(QAction *item, void (ContentMenu::*command)(ContentBox &));

    void mnuContFont_Click();
    void mnuContDflt_Click();
    void mnuContCut_Click(ContentBox &box);
    void mnuContCopy_Click(ContentBox &box);
    void mnuContPast_Click(ContentBox &box);
    void mnuContDel_Click(ContentBox &box);
    void mnuContUndo_Click(ContentBox &box);
    void mnuContTmin_Click(ContentBox &box);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
    // Owned by the window, like the window's other menus.
    QMenu *const m_mnuCont;
    QAction *m_mnuContFont = nullptr;
    QAction *m_mnuContDflt = nullptr;
    QAction *m_mnuContCut = nullptr;
    QAction *m_mnuContCopy = nullptr;
    QAction *m_mnuContPast = nullptr;
    QAction *m_mnuContDel = nullptr;
    QAction *m_mnuContUndo = nullptr;
    QAction *m_mnuContTmin = nullptr;
    // The box last pressed with the right button; a deleted page's box reads as null.
    QPointer<ContentBox> m_menuBox;
};
