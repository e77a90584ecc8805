#pragma once

#include "mainwin/PageContent.h"

class TabPage;
class WindowOptions;

// The controls of a built page as the tab records fill them. What the program puts into the box
// is no typing: filling() says so while it does.
class BuiltPage final : public PageContent
{
public:
    // A box that is shown takes the window's scroll type.
    BuiltPage(TabPage &page, const WindowOptions &options);

    TabPage &page() const { return m_page; }
    bool filling() const { return m_filling; }

    void appendTitle(const QString &text) override;
    int titleCount() const override;
    int selectedTitle() const override;
    void selectTitle(int pos) override;

    QString text() const override;
    void setText(const QString &text) override;
    void setEntry(std::shared_ptr<const StoredEntry> entry) override;
    std::shared_ptr<const StoredEntry> entry() const override;
    void setVisible(bool visible) override;
    void setFont(const QString &name, float size) override;

private:
    TabPage &m_page;
    const WindowOptions &m_options;
    bool m_filling = false;
};
