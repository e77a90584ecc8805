#include "mainwin/ContentBox.h"

#include "persist/StoredEntry.h"
#include "store/LineBreaks.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTextDocument>

ContentBox::ContentBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // The program's own content menu replaces the built-in one.
    setContextMenuPolicy(Qt::NoContextMenu);
    setScrollType(ScrollType::Vertical);
    // Once edited, the box no longer shows the entry as read.
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_entry.reset(); });
}

void ContentBox::setScrollType(ScrollType type)
{
    m_scrollType = type;
    const bool both = type == ScrollType::Both;
    const bool vertical = both || type == ScrollType::Vertical;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(both ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setLineWrapMode(both ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    // The scroll area places its bars at once only while it is visible; a box on a page behind
    // the selected one would come back with the bars of its old type. Setting the margins
    // places them in any state.
    if (!isVisible())
        setViewportMargins(viewportMargins());
}

namespace {

QString previewOf(const QString &text)
{
    qsizetype length = ContentBox::PreviewChars;
    // A cut between the two halves of a surrogate pair would show a broken character.
    if (text.at(length - 1).isHighSurrogate())
        --length;
    return QStringLiteral(
               "（この内容は大きすぎるため、ここでは編集できません。先頭の一部だけを表示して"
               "います。内容は変更されずにそのまま保存されます。）\n\n")
        + text.first(length) + QStringLiteral("\n…");
}

} // namespace

QString ContentBox::text() const
{
    if (m_whole)
        return *m_whole;
    if (m_entry && (m_entryPending || m_entryPreview))
        return crLfToLf(m_entry->content());
    if (m_pending)
        return *m_pending;
    QString raw = document()->toRawText();
    return raw.replace(QChar::ParagraphSeparator, u'\n');
}

QString ContentBox::prepare(const QString &text)
{
    const bool tooLong = text.size() > EditableChars;
    m_whole = tooLong ? std::optional(text) : std::nullopt;
    setReadOnly(tooLong);
    return tooLong ? previewOf(text) : text;
}

void ContentBox::display(const QString &shown)
{
    if (!isVisible()) {
        m_pending = shown;
        return;
    }
    m_pending.reset();
    setPlainText(shown);
}

void ContentBox::setTabFont(const QString &family, float pointSize)
{
    QFont tabFont = font();
    tabFont.setFamily(family);
    if (pointSize > 0)
        tabFont.setPointSizeF(pointSize);
    setFont(tabFont);
}

void ContentBox::setText(const QString &text)
{
    m_entry.reset();
    m_entryPending = false;
    m_entryPreview = false;
    display(prepare(text));
}

void ContentBox::setEntry(std::shared_ptr<const StoredEntry> entry)
{
    const auto start = entry->longContentStart(EditableChars, 2 * PreviewChars + 1);
    m_entryPending = !start && !isVisible();
    m_entryPreview = start.has_value();
    if (start) {
        m_whole.reset();
        setReadOnly(true);
        display(previewOf(crLfToLf(*start)));
    } else if (m_entryPending) {
        m_pending.reset();
    } else {
        display(prepare(crLfToLf(entry->content())));
    }
    // Filling the document reports a change of its text, which ends what the entry shows.
    m_entry = std::move(entry);
}

void ContentBox::showEvent(QShowEvent *event)
{
    if (m_entryPending) {
        m_entryPending = false;
        m_pending = prepare(crLfToLf(m_entry->content()));
    }
    if (m_pending) {
        const QString text = std::move(*m_pending);
        m_pending.reset();
        // The program shows what it set earlier; that is no typing.
        const QSignalBlocker quiet(this);
        setPlainText(text);
    }
    QPlainTextEdit::showEvent(event);
}

void ContentBox::keyPressEvent(QKeyEvent *event)
{
    const bool menuKey = event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (!menuKey) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    emit rightPressed(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

void ContentBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit rightPressed(event->globalPosition().toPoint());
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}
