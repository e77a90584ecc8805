#include "mainwin/TabStrip.h"

#include "mainwin/TabRows.h"

#include <QApplication>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace {
constexpr int Border = 2;
}

TabStrip::TabStrip(QWidget *parent)
    : QWidget(parent)
    , m_rows(new TabRows(this))
    , m_pages(new QStackedWidget(this))
{
    // An empty new tab shows nothing else that tells where the tab commands are.
    m_rows->setToolTip(QStringLiteral("右クリックでタブのメニュー"));
    connect(m_rows, &TabRows::pressed, this, &TabStrip::pressTab);
    connect(m_rows, &TabRows::stepRequested, this, &TabStrip::stepTab);
    connect(m_rows, &TabRows::menuRequested, this, [this] {
        const QRect selected = m_rows->tabRect(m_rows->currentIndex());
        pressTab(Qt::RightButton, m_rows->mapToGlobal(selected.bottomLeft()), -1);
    });
    addShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    addShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
        -1);
}

void TabStrip::addShortcuts(std::initializer_list<QKeySequence> keys, int delta)
{
    for (const QKeySequence &key : keys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, delta] { stepTab(delta); });
    }
}

int TabStrip::count() const
{
    return m_rows->count();
}

int TabStrip::selectedPosition() const
{
    return m_rows->currentIndex() + 1;
}

void TabStrip::addTab()
{
    m_rows->addTab();
    placeRows();
}

void TabStrip::removeLastTab()
{
    m_rows->removeLastTab();
    placeRows();
}

QString TabStrip::caption(int position) const
{
    return m_rows->caption(position - 1);
}

void TabStrip::setCaption(int position, const QString &caption)
{
    m_rows->setCaption(position - 1, caption);
    placeRows();
}

void TabStrip::selectTab(int position)
{
    // Focus in the page that goes behind moves to the same control on the page in front.
    const QWidget *focus = QApplication::focusWidget();
    const QString focusName
        = focus && m_pages->isAncestorOf(focus) ? focus->objectName() : QString();
    emit aboutToChange();
    m_rows->setCurrentIndex(position - 1);
    emit changed();
    if (!focusName.isEmpty() && m_pages->currentWidget()) {
        if (auto *same = m_pages->currentWidget()->findChild<QWidget *>(focusName))
            same->setFocus();
    }
}

void TabStrip::stepTab(int delta)
{
    if (count() == 0)
        return;
    const int target = (m_rows->currentIndex() + delta + count()) % count();
    const QRect rect = m_rows->tabRect(target);
    pressTab(Qt::LeftButton, m_rows->mapToGlobal(rect.center()), target);
}

QRect TabStrip::clientArea() const
{
    const int top = rowsHeight() + Border;
    return QRect(Border, top, width() - 2 * Border, height() - top - Border);
}

void TabStrip::pressTab(Qt::MouseButton button, const QPoint &globalPos, int index)
{
    emit mousePressed(button, globalPos);
    if (button != Qt::LeftButton || index < 0)
        return;
    if (index == m_rows->currentIndex())
        emit changed();
    else
        selectTab(index + 1);
}

int TabStrip::rowsHeight() const
{
    return m_rows->heightForWidth(width());
}

void TabStrip::placeRows()
{
    m_rows->setGeometry(0, 0, width(), rowsHeight());
    update();
}

void TabStrip::resizeEvent(QResizeEvent *)
{
    placeRows();
}

void TabStrip::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    const int top = rowsHeight();
    option.rect = QRect(0, top, width(), height() - top);
    option.tabBarSize = QSize(width(), top);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}
