#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class StoredEntry;
class TabPage;

// A tab page whose widgets are not built yet: what the start-up puts into the title list and
// the content box of a page behind the selected one, kept as the controls would keep it and
// handed to the page once it is built. Building the widgets of thirty pages, a text document
// each, costs the start-up tens of milliseconds, and a page behind the selected one shows
// nothing until it is chosen.
class PageDraft final
{
public:
    // cboTitle: as a combo box, the first item added becomes the selected one.
    void appendTitle(const QString &text);
    int titleCount() const { return static_cast<int>(m_titles.size()); }
    int selectedTitle() const { return m_selected; }
    void selectTitle(int pos);

    // txtCont, as ContentBox keeps them while it is not shown.
    QString text() const;
    void setText(const QString &text);
    void setEntry(std::shared_ptr<const StoredEntry> entry);
    const std::shared_ptr<const StoredEntry> &entry() const { return m_entry; }
    void setVisible(bool visible) { m_visible = visible; }
    void setFont(const QString &name, float size);

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
