#include "mainwin/ContentBox.h"

#include <QMouseEvent>
#include <QTextDocument>

ContentBox::ContentBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    // The program's own content menu replaces the built-in one.
    setContextMenuPolicy(Qt::NoContextMenu);
    setScrollType(QStringLiteral("V"));
}

void ContentBox::setScrollType(const QString &type)
{
    m_scrollType = type;
    const bool both = type == u"W";
    const bool vertical = both || type == u"V";
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(both ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setLineWrapMode(both ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
}

QString ContentBox::text() const
{
    QString raw = document()->toRawText();
    return raw.replace(QChar::ParagraphSeparator, u'\n');
}

void ContentBox::setText(const QString &text)
{
    setPlainText(text);
}

void ContentBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit rightPressed(event->globalPosition().toPoint());
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}
