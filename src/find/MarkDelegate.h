#pragma once

#include <QStyledItemDelegate>

// Paints a cell's text with one stretch marked, as the find window shows a match. The stretch
// comes from the cell's MarkRole as a QPoint (start, length); cells without one paint as usual.
class MarkDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarkDelegate)
public:
    static constexpr int MarkRole = Qt::UserRole + 1;

    explicit MarkDelegate(QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
};
