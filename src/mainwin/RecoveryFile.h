#pragma once

#include "store/TabSnapshot.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <optional>

class frmMain;

// Unsaved work survives a crash, a kill or a power cut: a few seconds after typing pauses (and
// at the latest a few seconds after it began) the tab set goes into a recovery file beside the
// notes, entries that the saved files hold as pointers to them. The notes themselves still
// change only on a save, which removes the recovery file, and so does a normal quit.
class RecoveryFile final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecoveryFile)
public:
    static constexpr auto FileName = "Nokuri.recovery";

    explicit RecoveryFile(frmMain &main);

    // Something changed that no save holds yet: write it once typing pauses.
    void noteChange();
    // Writes now when a change is pending (before a risky step).
    bool flush();
    // The notes are saved (or deliberately dropped): the recovery file has served.
    void discard();
    // At start-up: a recovery file newer than the last save is offered back to the user.
    void offerRestore();

    void setPauseInterval(int milliseconds) { m_pause.setInterval(milliseconds); }

private:
    struct Recovered
    {
        QList<TabSnapshot> tabs;
        int selected = 0;
    };

    QString path() const;
    bool write();
    std::optional<Recovered> parse(const QByteArray &bytes) const;
    void restore(const Recovered &recovered);

    frmMain &m_main;
    QTimer m_pause;
    QTimer m_latest;
};
