#pragma once

#include <QObject>

class frmMain;

// The tab menu's options command: lets the user change the scroll type and the backup flag
// through the options dialog. Nothing is saved here; the next save writes both.
class OptionsCommand final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsCommand)
public:
    explicit OptionsCommand(frmMain &main);

    void mnuTabOpt_Click();

private:
    frmMain &m_main;
};
