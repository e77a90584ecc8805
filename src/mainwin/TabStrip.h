#pragma once

#include <QWidget>

class QStackedWidget;
class TabRows;

// The tab strip: rows of tabs over a client area in which the tab pages lie stacked.
// Positions count from 1. A change of the selected tab is reported in two steps,
// aboutToChange() while the old tab is still selected and changed() once the new one is;
// a press on the selected tab reports changed() alone. Every press, of any button and
// anywhere on the rows, is reported first by mousePressed().
// The keyboard goes the same way as the mouse: Ctrl+PgDn/Ctrl+Tab and Ctrl+PgUp/
// Ctrl+Shift+Tab anywhere in the window, and the arrow keys on the focused strip, act as a
// left press on the next or previous tab; the Menu key and Shift+F10 on the focused strip
// as a right press on the selected tab.
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
    // A press with `button` at globalPos on the tab of index `index` (position − 1), or on no
    // tab when it is −1; a left press on a tab selects it.
    void pressTab(Qt::MouseButton button, const QPoint &globalPos, int index);
    // Presses the tab `delta` places on from the selected one, round the ends.
    void stepTab(int delta);

    // Below the rows and inside the border; it shrinks as the captions need more rows.
    QRect clientArea() const;
    QStackedWidget *pageStack() const { return m_pages; }
    TabRows *tabBar() const { return m_rows; }

signals:
    void mousePressed(Qt::MouseButton button, const QPoint &globalPos);
    void aboutToChange();
    void changed();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void addShortcuts(std::initializer_list<QKeySequence> keys, int delta);
    int rowsHeight() const;
    void placeRows();

    TabRows *m_rows;
    QStackedWidget *m_pages;
};
