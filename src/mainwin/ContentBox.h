#pragma once

#include <QPlainTextEdit>
#include <optional>

// The content text box of a tab page. One box serves all three scroll types: "N" wraps and
// has no scroll bars, "V" wraps with a vertical bar, "W" scrolls both ways without wrapping.
class ContentBox final : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentBox)
public:
    explicit ContentBox(QWidget *parent = nullptr);

    void setScrollType(const QString &type);
    QString scrollType() const { return m_scrollType; }

    // The text with "\n" line breaks, exactly as typed (no-break spaces stay).
    QString text() const;
    // A box that is not visible (a page behind the selected one, or every page while the window
    // is being built) only keeps the text and fills its document when it is shown: building a
    // document for a long text is the dearest step of showing it, and most pages are never
    // looked at. text() returns the kept text meanwhile.
    void setText(const QString &text);

signals:
    // A right press, or the Menu key or Shift+F10 at the caret.
    void rightPressed(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QString m_scrollType;
    std::optional<QString> m_pending;
};
