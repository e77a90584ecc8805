#include "find/MarkDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

MarkDelegate::MarkDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{ }

void MarkDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QVariant mark = index.data(MarkRole);
    if (!mark.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    const QRect area
        = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget).adjusted(2, 0, -2, 0);
    const bool selected = cell.state & QStyle::State_Selected;
    QTextCharFormat marked;
    marked.setBackground(QColor(255, 225, 80));
    marked.setForeground(QColor(Qt::black));
    marked.setFontWeight(QFont::Bold);
    const QPoint stretch = mark.toPoint();
    QTextLayout layout(text, cell.font);
    layout.setFormats({{stretch.x(), stretch.y(), marked}});
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();

    painter->save();
    painter->setClipRect(area);
    painter->setPen(cell.palette.color(
        QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    const qreal top = area.top() + (area.height() - line.height()) / 2;
    layout.draw(painter, QPointF(area.left(), top));
    painter->restore();
}
