#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;

// The tab strip: a row of tabs over a client area in which the tab pages lie stacked.
// Positions count from 1. A change of the selected tab is reported in two steps,
// aboutToChange() while the old tab is still selected and changed() once the new one is;
// a press on the selected tab reports changed() alone.
class TabStrip final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabStrip)
public:
    explicit TabStrip(QWidget *parent = nullptr);

    int count() const;
    int selectedPosition() const;
    void addTab();
    // Removes the last tab without reporting a change of selection.
    void removeLastTab();
    QString caption(int position) const;
    void setCaption(int position, const QString &caption);
    // Selects the tab and reports aboutToChange() and changed(), as a press does.
    void selectTab(int position);

    QRect clientArea() const;
    QStackedWidget *pageStack() const { return m_pages; }
    QTabBar *tabBar() const;

signals:
    void mousePressed(Qt::MouseButton button, const QPoint &globalPos);
    void aboutToChange();
    void changed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    class Bar;
    void pressTab(Qt::MouseButton button, const QPoint &globalPos, int index);

    Bar *m_bar;
    QStackedWidget *m_pages;
};
