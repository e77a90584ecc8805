#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class MainMenus;
class PlatformServices;
class TabSet;
class TabWindow;

// The five tab commands of the tab menu: add (empty, from the clipboard, from a text file),
// delete and rename. They work in memory; the next save writes the changed tab set.
// tabSetChanged follows every command that changed the tabs.
class TabCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabCommands)
public:
    // A text file up to this size is read at once; a longer one beside the window, under a
    // progress window, since reading and decoding it takes longer than the user should wait
    // for a window that does not paint.
    static constexpr qint64 QuickReadBytes = 4 * 1024 * 1024;

    TabCommands(
        TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus);

signals:
    // Tabs were added, deleted or renamed.
    void tabSetChanged();

private:
    void mnuTabAdd_Click();
    void mnuTabCBAdd_Click();
    void mnuTabFLAdd_Click();
    void mnuTabDel_Click();
    void mnuTabName_Click();

    // The add keys act even while the menu is closed, so every add checks the limit itself.
    bool roomForAnotherTab();
    // Asks for a caption and, once confirmed, appends a tab whose first entry holds the
    // content that readContent gives then.
    void addNamedTab(const std::function<QString()> &readContent);
    // The caption typed into the tab-name dialog, or nothing when cancelled.
    std::optional<QString> askTabName(const QString &current);
    // The file's content as readFileEntryContent gives it, or nothing when it cannot be read or
    // a quit cancelled the reading.
    std::optional<QString> readFileEntry(const QString &path);
    // Strip tab `position` shows its record's caption again, and the pages are laid out anew.
    void showCaption(int position);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
};
