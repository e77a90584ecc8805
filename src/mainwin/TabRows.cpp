#include "mainwin/TabRows.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

namespace {

// A caption from a damaged settings file may be megabytes long, and laying out such a text
// takes minutes; the strip shows its beginning, the tab keeps it whole.
constexpr qsizetype ShownCaptionLength = 200;

QString shortCaption(QString caption)
{
    if (caption.size() > ShownCaptionLength) {
        caption.truncate(ShownCaptionLength);
        if (caption.back().isHighSurrogate())
            caption.chop(1);
        caption += u'…';
    }
    return caption;
}

// "&" in a caption is text, not a mnemonic.
QString shownText(QString caption)
{
    return caption.replace(u'&', QStringLiteral("&&"));
}

} // namespace

TabRows::TabRows(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TabRows::addTab()
{
    m_captions.emplace_back();
    m_naturalWidths.push_back(Unmeasured);
    if (m_current < 0)
        m_current = 0;
    captionsChanged();
}

void TabRows::removeLastTab()
{
    m_captions.pop_back();
    m_naturalWidths.pop_back();
    m_current = std::min(m_current, count() - 1);
    captionsChanged();
}

QString TabRows::caption(int index) const
{
    return m_captions.at(static_cast<size_t>(index));
}

void TabRows::setCaption(int index, const QString &caption)
{
    m_captions.at(static_cast<size_t>(index)) = caption;
    m_naturalWidths.at(static_cast<size_t>(index)) = Unmeasured;
    captionsChanged();
}

void TabRows::setCurrentIndex(int index)
{
    m_current = index;
    update();
}

int TabRows::rowCount() const
{
    return arrange(width()).rows;
}

QRect TabRows::tabRect(int index) const
{
    return arrange(width()).rects.at(static_cast<size_t>(index));
}

int TabRows::tabAt(const QPoint &pos) const
{
    const Arrangement arrangement = arrange(width());
    const auto hit = std::find_if(arrangement.rects.begin(), arrangement.rects.end(),
        [&](const QRect &rect) { return rect.contains(pos); });
    return hit == arrangement.rects.end() ? -1 : static_cast<int>(hit - arrangement.rects.begin());
}

int TabRows::heightForWidth(int width) const
{
    return std::max(arrange(width).rows, 1) * rowHeight();
}

QSize TabRows::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < count(); ++i)
        width += naturalWidth(i);
    return {width, rowHeight()};
}

QSize TabRows::minimumSizeHint() const
{
    return {0, rowHeight()};
}

TabRows::Arrangement TabRows::arrange(int width) const
{
    Arrangement arrangement;
    const int n = count();
    arrangement.rects.resize(static_cast<size_t>(n));
    arrangement.rowOf.resize(static_cast<size_t>(n));
    if (n == 0)
        return arrangement;
    width = std::max(width, 1);

    // Fill each row from the left; a caption wider than the strip gets a row of its own.
    std::vector<int> widths;
    std::vector<int> rowStarts {0};
    int x = 0;
    for (int i = 0; i < n; ++i) {
        widths.push_back(std::min(naturalWidth(i), width));
        if (x + widths.back() > width && i > rowStarts.back()) {
            rowStarts.push_back(i);
            x = 0;
        }
        x += widths.back();
    }
    rowStarts.push_back(n);
    const int rows = static_cast<int>(rowStarts.size()) - 1;
    arrangement.rows = rows;

    int selectedRow = rows - 1;
    for (int r = 0; r < rows; ++r) {
        if (m_current >= rowStarts[r] && m_current < rowStarts[r + 1])
            selectedRow = r;
    }
    const int height = rowHeight();
    for (int r = 0; r < rows; ++r) {
        const int begin = rowStarts[r];
        const int end = rowStarts[r + 1];
        int used = 0;
        for (int i = begin; i < end; ++i)
            used += widths[i];
        // Full rows end flush with the strip, so the rows read as one block.
        int spare = rows > 1 ? width - used : 0;
        const int shownRow = (r - selectedRow - 1 + 2 * rows) % rows;
        int left = 0;
        for (int i = begin; i < end; ++i) {
            const int extra = spare / (end - i);
            spare -= extra;
            arrangement.rects[i] = QRect(left, shownRow * height, widths[i] + extra, height);
            arrangement.rowOf[i] = shownRow;
            left += widths[i] + extra;
        }
    }
    return arrangement;
}

int TabRows::naturalWidth(int index) const
{
    int &width = m_naturalWidths.at(static_cast<size_t>(index));
    if (width == Unmeasured)
        width = measureWidth(index);
    return width;
}

int TabRows::measureWidth(int index) const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = shownText(shortCaption(caption(index)));
    const QFontMetrics metrics = fontMetrics();
    const QSize content(metrics.size(Qt::TextShowMnemonic, option.text).width()
            + style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this),
        metrics.height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this));
    const QSize size = style()->sizeFromContents(QStyle::CT_TabBarTab, &option, content, this);
    // A tab without a caption is still wide enough to hit.
    return std::max(size.width(), 2 * size.height());
}

int TabRows::rowHeight() const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    const QFontMetrics metrics = fontMetrics();
    const QSize content(
        0, metrics.height() + style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this));
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, content, this).height();
}

QStyleOptionTab TabRows::tabOption(int index, const Arrangement &arrangement) const
{
    QStyleOptionTab option;
    option.initFrom(this);
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.shape = QTabBar::RoundedNorth;
    const auto at = static_cast<size_t>(index);
    option.rect = arrangement.rects[at];
    option.row = arrangement.rowOf[at];

    QString text = shortCaption(caption(index));
    if (option.rect.width() < naturalWidth(index)) {
        const int room
            = option.rect.width() - style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
        text = fontMetrics().elidedText(text, Qt::ElideRight, std::max(room, 0));
    }
    option.text = shownText(text);

    if (index == m_current) {
        option.state |= QStyle::State_Selected;
        if (hasFocus())
            option.state |= QStyle::State_HasFocus;
    }
    const bool startsRow = index == 0 || arrangement.rowOf[at - 1] != option.row;
    const bool endsRow = index == count() - 1 || arrangement.rowOf[at + 1] != option.row;
    if (startsRow && endsRow)
        option.position = QStyleOptionTab::OnlyOneTab;
    else if (startsRow)
        option.position = QStyleOptionTab::Beginning;
    else if (endsRow)
        option.position = QStyleOptionTab::End;
    else
        option.position = QStyleOptionTab::Middle;
    if (!startsRow && m_current == index - 1)
        option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (!endsRow && m_current == index + 1)
        option.selectedPosition = QStyleOptionTab::NextIsSelected;
    else
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
    return option;
}

void TabRows::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    const Arrangement arrangement = arrange(width());
    // The selected tab last, so that it overlaps its neighbours as a raised tab does.
    for (int i = 0; i < count(); ++i) {
        if (i != m_current)
            painter.drawControl(QStyle::CE_TabBarTab, tabOption(i, arrangement));
    }
    if (m_current >= 0 && m_current < count())
        painter.drawControl(QStyle::CE_TabBarTab, tabOption(m_current, arrangement));
}

void TabRows::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(
        event->button(), event->globalPosition().toPoint(), tabAt(event->position().toPoint()));
}

void TabRows::keyPressEvent(QKeyEvent *event)
{
    const bool menuKey = event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey)
        emit menuRequested();
    else if (event->key() == Qt::Key_Right && event->modifiers() == Qt::NoModifier)
        emit stepRequested(1);
    else if (event->key() == Qt::Key_Left && event->modifiers() == Qt::NoModifier)
        emit stepRequested(-1);
    else
        QWidget::keyPressEvent(event);
}

void TabRows::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        std::fill(m_naturalWidths.begin(), m_naturalWidths.end(), Unmeasured);
        captionsChanged();
    }
}

void TabRows::captionsChanged()
{
    updateGeometry();
    update();
}
