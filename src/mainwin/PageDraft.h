#pragma once

#include "mainwin/PageContent.h"

#include <QStringList>
#include <optional>

class TabPage;

// A tab page whose widgets are not built yet: what the start-up puts into the title list and
// the content box of a page behind the selected one, kept as the controls would keep it and
// handed to the page once it is built. Building the widgets of thirty pages, a text document
// each, costs the start-up tens of milliseconds, and a page behind the selected one shows
// nothing until it is chosen.
class PageDraft final : public PageContent
{
public:
    void appendTitle(const QString &text) override;
    int titleCount() const override { return static_cast<int>(m_titles.size()); }
    int selectedTitle() const override { return m_selected; }
    void selectTitle(int pos) override;

    // As ContentBox keeps them while it is not shown.
    QString text() const override;
    void setText(const QString &text) override;
    void setEntry(std::shared_ptr<const StoredEntry> entry) override;
    std::shared_ptr<const StoredEntry> entry() const override { return m_entry; }
    void setVisible(bool visible) override { m_visible = visible; }
    void setFont(const QString &name, float size) override;

    // Fills the page, built inert like every new page, without reporting a change.
    void applyTo(TabPage &page) const;

private:
    QStringList m_titles;
    int m_selected = -1;
    QString m_text;
    std::shared_ptr<const StoredEntry> m_entry;
    bool m_visible = false; // a new page's box is hidden
    std::optional<QString> m_fontName;
    float m_fontSize = 0;
};
