#include "mainwin/TabStrip.h"

#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace {
constexpr int Border = 2;
}

// Hands every press to the strip, which decides what changes; the wheel and the keyboard do
// not change tabs behind the program's back.
class TabStrip::Bar final : public QTabBar
{
public:
    explicit Bar(TabStrip *strip)
        : QTabBar(strip)
        , m_strip(strip)
    {
        setFocusPolicy(Qt::NoFocus);
        setUsesScrollButtons(true);
        setExpanding(false);
        setElideMode(Qt::ElideNone);
        setDrawBase(false);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_strip->pressTab(
            event->button(), event->globalPosition().toPoint(), tabAt(event->position().toPoint()));
        // Only the scroll buttons are left to the bar itself.
        if (tabAt(event->position().toPoint()) < 0)
            QTabBar::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent *event) override
    {
        event->accept();
    }
#endif

private:
    TabStrip *m_strip;
};

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent)
    , m_bar(new Bar(this))
    , m_pages(new QStackedWidget(this))
{ }

int TabStrip::count() const
{
    return m_bar->count();
}

int TabStrip::selectedPosition() const
{
    return m_bar->currentIndex() + 1;
}

void TabStrip::addTab()
{
    const QSignalBlocker blocker(m_bar);
    m_bar->addTab(QString());
}

void TabStrip::removeLastTab()
{
    const QSignalBlocker blocker(m_bar);
    m_bar->removeTab(m_bar->count() - 1);
}

QString TabStrip::caption(int position) const
{
    return m_bar->tabData(position - 1).toString();
}

void TabStrip::setCaption(int position, const QString &caption)
{
    // "&" in a caption is text, not a mnemonic.
    QString shown = caption;
    m_bar->setTabText(position - 1, shown.replace(u'&', QStringLiteral("&&")));
    m_bar->setTabData(position - 1, caption);
}

void TabStrip::selectTab(int position)
{
    emit aboutToChange();
    {
        const QSignalBlocker blocker(m_bar);
        m_bar->setCurrentIndex(position - 1);
    }
    emit changed();
}

QRect TabStrip::clientArea() const
{
    const int top = m_bar->sizeHint().height() + Border;
    return QRect(Border, top, width() - 2 * Border, height() - top - Border);
}

QTabBar *TabStrip::tabBar() const
{
    return m_bar;
}

void TabStrip::pressTab(Qt::MouseButton button, const QPoint &globalPos, int index)
{
    emit mousePressed(button, globalPos);
    if (button != Qt::LeftButton || index < 0)
        return;
    if (index == m_bar->currentIndex())
        emit changed();
    else
        selectTab(index + 1);
}

void TabStrip::resizeEvent(QResizeEvent *)
{
    m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
}

void TabStrip::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect
        = QRect(0, m_bar->sizeHint().height(), width(), height() - m_bar->sizeHint().height());
    option.tabBarSize = m_bar->sizeHint();
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}
