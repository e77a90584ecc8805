#include "find/frmFind.h"

#include "find/ContextLine.h"
#include "find/MarkDelegate.h"
#include "find/NoteSource.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column { CaptionColumn, TitleColumn, ContextColumn };

QPoint markOf(const MarkedText &text)
{
    return {int(text.start), int(text.length)};
}

} // namespace

frmFind::frmFind(const NoteSource &source, QWidget *parent)
    : QDialog(parent)
    , m_source(source)
    , m_search(source)
    , m_txtFind(new QLineEdit)
    , m_chkKana(new QCheckBox(QStringLiteral("かな/カナを区別しない(&K)")))
    , m_lstResult(new QTreeWidget)
    , m_lblCount(new QLabel)
{
    setWindowTitle(QStringLiteral("検索"));
    setModal(false);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_chkKana->setObjectName(QStringLiteral("chkKana"));
    m_lstResult->setObjectName(QStringLiteral("lstResult"));
    m_lblCount->setObjectName(QStringLiteral("lblCount"));
    m_chkKana->setChecked(true);

    auto *label = new QLabel(QStringLiteral("検索する文字列(&N):"));
    label->setBuddy(m_txtFind);
    m_txtFind->setPlaceholderText(QStringLiteral("スペースで区切るとすべてを含む見出しを探します"));
    m_lstResult->setColumnCount(3);
    m_lstResult->setHeaderLabels(
        {QStringLiteral("タブ"), QStringLiteral("見出し"), QStringLiteral("内容")});
    m_lstResult->setRootIsDecorated(false);
    m_lstResult->setUniformRowHeights(true);
    m_lstResult->setAllColumnsShowFocus(true);
    m_lstResult->setItemDelegate(new MarkDelegate(m_lstResult));
    m_lstResult->header()->setStretchLastSection(true);
    m_lstResult->setColumnWidth(CaptionColumn, 110);
    m_lstResult->setColumnWidth(TitleColumn, 150);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_txtFind);
    layout->addWidget(m_chkKana);
    layout->addWidget(m_lstResult, 1);
    layout->addWidget(m_lblCount);
    resize(640, 400);

    m_txtFind->installEventFilter(this);
    connect(m_txtFind, &QLineEdit::textChanged, this, &frmFind::searchAgain);
    connect(m_chkKana, &QCheckBox::toggled, this, &frmFind::searchAgain);
    connect(m_txtFind, &QLineEdit::returnPressed, this, &frmFind::chooseCurrent);
    connect(m_lstResult, &QTreeWidget::activated, this, &frmFind::chooseCurrent);
}

void frmFind::searchAgain()
{
    m_wentToCurrent = false;
    rerun();
}

void frmFind::rerun()
{
    const std::optional<FindResult> current = currentResult();
    m_query = FindQuery(m_txtFind->text(), m_chkKana->isChecked());
    m_results = m_search.run(m_query);
    int row = 0;
    if (current) {
        const auto next
            = std::find_if(m_results.cbegin(), m_results.cend(), [&](const FindResult &result) {
                  return std::pair(result.tab, result.entry)
                      >= std::pair(current->tab, current->entry);
              });
        row = next == m_results.cend() ? 0 : int(next - m_results.cbegin());
        if (next == m_results.cend() || next->tab != current->tab || next->entry != current->entry)
            m_wentToCurrent = false;
    }
    fillRows();
    setCurrentRow(m_results.isEmpty() ? -1 : row);
}

void frmFind::fillRows()
{
    m_lstResult->setUpdatesEnabled(false);
    m_lstResult->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_results.size());
    for (const FindResult &result : m_results) {
        auto *row = new QTreeWidgetItem;
        row->setText(CaptionColumn, m_source.caption(result.tab));
        const QString title = m_source.title(result.tab, result.entry);
        const QString content = m_source.content(result.tab, result.entry);
        const bool inTitle = result.match.field == Match::Field::Title;
        const MarkedText context = inTitle
            ? contextLine(content, 0, 0)
            : contextLine(content, result.match.start, result.match.length);
        row->setText(TitleColumn, title);
        row->setText(ContextColumn, context.text);
        if (inTitle) {
            row->setData(TitleColumn, MarkDelegate::MarkRole,
                markOf({title, result.match.start, result.match.length}));
        } else {
            row->setData(ContextColumn, MarkDelegate::MarkRole, markOf(context));
        }
        rows.append(row);
    }
    m_lstResult->addTopLevelItems(rows);
    m_lstResult->setUpdatesEnabled(true);
    if (m_query.isEmpty())
        m_lblCount->clear();
    else if (m_results.isEmpty())
        m_lblCount->setText(QStringLiteral("見つかりません"));
    else
        m_lblCount->setText(QStringLiteral("%1 件").arg(m_results.size()));
}

int frmFind::currentRow() const
{
    QTreeWidgetItem *item = m_lstResult->currentItem();
    return item ? m_lstResult->indexOfTopLevelItem(item) : -1;
}

void frmFind::setCurrentRow(int row)
{
    QTreeWidgetItem *item = row >= 0 ? m_lstResult->topLevelItem(row) : nullptr;
    m_lstResult->setCurrentItem(item);
    if (item)
        m_lstResult->scrollToItem(item);
}

std::optional<FindResult> frmFind::currentResult() const
{
    const int row = currentRow();
    if (row < 0 || row >= m_results.size())
        return std::nullopt;
    return m_results.at(row);
}

std::optional<FindResult> frmFind::step(int delta)
{
    if (m_results.isEmpty())
        return std::nullopt;
    const int size = int(m_results.size());
    int row = std::max(currentRow(), 0);
    if (m_wentToCurrent)
        row = ((row + delta) % size + size) % size;
    setCurrentRow(row);
    m_wentToCurrent = true;
    return m_results.at(row);
}

std::optional<FindResult> frmFind::confirm(const FindResult &result)
{
    if (const std::optional<Match> match = m_search.recheck(m_query, result.tab, result.entry))
        return FindResult {result.tab, result.entry, *match};
    rerun();
    return std::nullopt;
}

void frmFind::chooseCurrent()
{
    if (const std::optional<FindResult> result = currentResult()) {
        m_wentToCurrent = true;
        emit resultChosen(*result);
    }
}

bool frmFind::eventFilter(QObject *watched, QEvent *event)
{
    // The list's movement keys work from the search box, so the hands can stay there.
    if (watched == m_txtFind && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_lstResult, event);
            m_wentToCurrent = false;
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFind::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    // Titles and texts may have changed in the main window meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        rerun();
}
