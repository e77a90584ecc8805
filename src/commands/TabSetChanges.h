#pragma once

#include <QObject>

class frmMain;

// Reports that tabs were added, deleted, renamed or moved to another index, so that whatever
// shows tabs by index (the manual sort dialog) can follow. One per window, shared by every
// command that changes the tab set.
class TabSetChanges final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabSetChanges)
public:
    // The window's notifier, created on first use and owned by the window.
    static TabSetChanges &of(frmMain &main);

    void report() { emit changed(); }

signals:
    void changed();

private:
    explicit TabSetChanges(QObject *parent);
};
