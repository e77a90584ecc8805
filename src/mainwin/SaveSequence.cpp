#include "mainwin/SaveSequence.h"

#include "platform/ModalGate.h"

#include <utility>

SaveSequence::SaveSequence(
    ModalGate &modals, std::function<bool()> write, std::function<void()> changedDuringWrite)
    : m_modals(modals)
    , m_write(std::move(write))
    , m_changedDuringWrite(std::move(changedDuringWrite))
{ }

bool SaveSequence::save()
{
    if (m_saving) {
        m_saveAgain = true;
        return false;
    }
    m_saving = true;
    bool saved = false;
    do {
        m_saveAgain = false;
        saved = m_write();
        if (std::exchange(m_changedWhileSaving, false))
            m_changedDuringWrite();
    } while (m_saveAgain);
    m_saving = false;
    return saved;
}

void SaveSequence::noteChange()
{
    if (m_modals.waiting())
        m_changedWhileSaving = true;
}
