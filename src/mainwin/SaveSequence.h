#pragma once

#include <functional>

class ModalGate;

// One save at a time. The window's events run while a save writes its files (the tray's and the
// session's requests reach it then): a save asked for meanwhile follows the running one instead
// of starting inside it, and a change made meanwhile is in none of the files written, so it is
// reported once the write is over.
class SaveSequence final
{
public:
    // `write` saves everything once and says whether it succeeded; `changedDuringWrite` hears of
    // a change that a write left out. A change counts as made during a write while `modals`
    // waits.
    SaveSequence(
        ModalGate &modals, std::function<bool()> write, std::function<void()> changedDuringWrite);

    // The result of the last write; false at once while a save runs, the new one following it.
    bool save();
    bool running() const { return m_saving; }
    // Something a save writes has changed.
    void noteChange();

private:
    ModalGate &m_modals;
    std::function<bool()> m_write;
    std::function<void()> m_changedDuringWrite;
    bool m_saving = false;
    bool m_saveAgain = false;
    bool m_changedWhileSaving = false;
};
