#pragma once

#include <QObject>
#include <functional>
#include <optional>

class frmMain;

// The five tab commands of the tab menu: add (empty, from the clipboard, from a text file),
// delete and rename. They work in memory; the next save writes the changed tab set.
class TabCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabCommands)
public:
    explicit TabCommands(frmMain &main);

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
    // Strip tab `position` shows its record's caption again, and the pages are laid out anew.
    void showCaption(int position);

    frmMain &m_main;
};
