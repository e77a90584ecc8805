#pragma once

#include <QWidget>
#include <vector>

class QStyleOptionTab;

// The tabs of the strip, in as many rows as their captions need at the widget's width; every
// tab stays in view. As on the desktop the original ran on, the row holding the selected tab
// is turned to the bottom, next to the pages, and the rows above keep their order around it.
// Indexes count from 0. The widget only reports presses; what they select is the strip's call.
class TabRows final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabRows)
public:
    explicit TabRows(QWidget *parent = nullptr);

    int count() const { return static_cast<int>(m_captions.size()); }
    void addTab();
    void removeLastTab();
    QString caption(int index) const;
    void setCaption(int index, const QString &caption);
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);

    int rowCount() const;
    QRect tabRect(int index) const;
    int tabAt(const QPoint &pos) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void pressed(Qt::MouseButton button, const QPoint &globalPos, int index);
    // The arrow keys ask for the next (1) or previous (-1) tab.
    void stepRequested(int delta);
    // The Menu key or Shift+F10.
    void menuRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Arrangement
    {
        std::vector<QRect> rects;
        std::vector<int> rowOf;
        int rows = 0;
    };
    Arrangement arrange(int width) const;
    // Kept per tab: the strip arranges every tab again whenever one is added or renamed.
    int naturalWidth(int index) const;
    int measureWidth(int index) const;
    int rowHeight() const;
    QStyleOptionTab tabOption(int index, const Arrangement &arrangement) const;
    void captionsChanged();

    std::vector<QString> m_captions;
    static constexpr int Unmeasured = -1;
    mutable std::vector<int> m_naturalWidths;
    int m_current = -1;
};
