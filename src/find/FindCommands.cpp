#include "find/FindCommands.h"

#include "find/FindTarget.h"
#include "find/frmFind.h"
#include "mainwin/ContentBox.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>

FindCommands::FindCommands(
    const TabSet &tabs, std::function<int()> selectedTab, FindTarget &target, QWidget &window)
    : QObject(&window)
    , m_source(tabs, std::move(selectedTab))
    , m_target(target)
    , m_window(window)
    , m_next(new QAction(QStringLiteral("次を検索"), &window))
    , m_previous(new QAction(QStringLiteral("前を検索"), &window))
{
    m_next->setObjectName(QStringLiteral("actFindNext"));
    m_previous->setObjectName(QStringLiteral("actFindPrevious"));
    m_next->setShortcut(QKeySequence(Qt::Key_F3));
    m_previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    window.addActions({m_next, m_previous});
    window.installEventFilter(this);
    connect(m_next, &QAction::triggered, this, &FindCommands::findNext);
    connect(m_previous, &QAction::triggered, this, &FindCommands::findPrevious);
}

frmFind &FindCommands::ensureWindow()
{
    if (!m_find) {
        m_find = new frmFind(m_source, &m_window);
        m_find->addActions({m_next, m_previous});
        connect(m_find, &frmFind::resultChosen, this, &FindCommands::goTo);
    }
    return *m_find;
}

void FindCommands::open()
{
    frmFind &find = ensureWindow();
    find.rerun();
    find.show();
    find.raise();
    find.activateWindow();
    find.txtFind()->setFocus();
    find.txtFind()->selectAll();
}

void FindCommands::tabSetChanged()
{
    if (m_find && m_find->isVisible())
        m_find->rerun();
}

bool FindCommands::eventFilter(QObject *watched, QEvent *event)
{
    // The window comes back to the front after each of its dialogs (the titles dialog among
    // them), which may have changed what the rows show.
    if (watched == &m_window && event->type() == QEvent::WindowActivate && m_find
        && m_find->isVisible())
        m_find->rerun();
    return QObject::eventFilter(watched, event);
}

void FindCommands::step(int delta)
{
    if (!m_find || m_find->txtFind()->text().trimmed().isEmpty()) {
        open();
        return;
    }
    // The rows may be older than the last change of a title or a text.
    m_find->rerun();
    if (const std::optional<FindResult> result = m_find->step(delta))
        goTo(*result);
}

void FindCommands::goTo(const FindResult &chosen)
{
    // Read the entry as it is now: a row must never lead to an entry that no longer matches.
    const std::optional<FindResult> result = m_find->confirm(chosen);
    if (!result)
        return;
    const QString content = m_source.content(result->tab, result->entry);
    m_target.goToEntry(result->tab, result->entry);
    ContentBox *box = m_target.contentBox(result->tab);
    box->setFocus();
    if (result->match.field != Match::Field::Content || box->showsPreview())
        return;
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(int(boxPosition(content, result->match.start)));
    cursor.setPosition(int(boxPosition(content, result->match.start + result->match.length)),
        QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}
