#pragma once

#include "find/FindQuery.h"
#include "find/NoteSearch.h"

#include <QDialog>
#include <optional>

class NoteSource;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

// The find window: a search box, the かな/カナ check box and the list of matching entries
// (tab caption, entry title, a line of context with the match marked) with their count.
// It searches as the user types, and again whenever it comes to the front or rerun() is
// called, so its rows always describe the notes as they are. Modeless; closing only hides it,
// so it comes back as it was left.
class frmFind final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmFind)
public:
    frmFind(const NoteSource &source, QWidget *parent);

    QLineEdit *txtFind() const { return m_txtFind; }
    QCheckBox *chkKana() const { return m_chkKana; }
    QTreeWidget *lstResult() const { return m_lstResult; }
    QLabel *lblCount() const { return m_lblCount; }

    // Searches again; the current row stays on the same entry, or on the next one that matches.
    void rerun();
    const QList<FindResult> &results() const { return m_results; }
    std::optional<FindResult> currentResult() const;
    // The query the rows were found with.
    const FindQuery &query() const { return m_query; }
    // Moves the current row `delta` rows on, round the ends; a row not yet gone to is gone to
    // first. Nothing when there are no rows.
    std::optional<FindResult> step(int delta);
    // The row as the notes are now; when its entry no longer matches, nothing, and the rows are
    // found again.
    std::optional<FindResult> confirm(const FindResult &result);

signals:
    // Enter or a double click on a row (or Enter in the search box): go to that entry.
    void resultChosen(const FindResult &result);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void searchAgain();
    void fillRows();
    void chooseCurrent();
    void setCurrentRow(int row);
    int currentRow() const;

    const NoteSource &m_source;
    NoteSearch m_search;
    FindQuery m_query;
    QList<FindResult> m_results;
    // Whether the user has gone to the current row, so that F3 moves on from it.
    bool m_wentToCurrent = false;

    QLineEdit *m_txtFind;
    QCheckBox *m_chkKana;
    QTreeWidget *m_lstResult;
    QLabel *m_lblCount;
};
