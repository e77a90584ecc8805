#pragma once

#include "persist/ScrollType.h"

#include <QPlainTextEdit>
#include <memory>
#include <optional>

class StoredEntry;

// The content text box of a tab page. One box serves all three scroll types.
class ContentBox final : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentBox)
public:
    explicit ContentBox(QWidget *parent = nullptr);

    void setScrollType(ScrollType type);
    ScrollType scrollType() const { return m_scrollType; }

    // Longer texts are shown read-only, as their beginning under a notice, and kept whole:
    // Qt's text document needs seconds per megabyte and several times the text in memory, so
    // a mistaken or damaged file of hundreds of megabytes would freeze the program for minutes.
    static constexpr qsizetype EditableChars = 256 * 1024;
    // The first characters of a longer text that its preview shows.
    static constexpr qsizetype PreviewChars = 16 * 1024;

    // The text with "\n" line breaks, exactly as typed (no-break spaces stay); a text too long
    // to edit comes back whole and unchanged.
    QString text() const;
    // A box that is not visible (a page behind the selected one, or every page while the window
    // is being built) only keeps the text and fills its document when it is shown: building a
    // document for a long text is the dearest step of showing it, and most pages are never
    // looked at. text() returns the kept text meanwhile.
    void setText(const QString &text);
    // Shows the content of an entry read from its file, decoding it only when the box is shown;
    // a content too long to edit is not decoded for its preview at all. text() gives the
    // content whole.
    void setEntry(std::shared_ptr<const StoredEntry> entry);
    // A tab's font: the face, and the size where it is above 0 (otherwise the box's stays).
    void setTabFont(const QString &family, float pointSize);
    // The entry of the last setEntry while the box shows it unedited; null otherwise.
    const std::shared_ptr<const StoredEntry> &entry() const { return m_entry; }
    // Whether the box shows a text too long to edit; it is read-only then.
    bool showsPreview() const { return m_whole.has_value() || m_entryPreview; }

signals:
    // A right press, or the Menu key or Shift+F10 at the caret.
    void rightPressed(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Makes the box editable or not for the text; gives what its document shows.
    QString prepare(const QString &text);
    // Fills the document, or keeps the text for the box's showing.
    void display(const QString &shown);

    ScrollType m_scrollType = ScrollType::Vertical;
    std::optional<QString> m_pending;
    std::optional<QString> m_whole;
    std::shared_ptr<const StoredEntry> m_entry;
    bool m_entryPending = false; // decoded and filled in when shown
    bool m_entryPreview = false; // shown as the start of a content too long to edit
};
