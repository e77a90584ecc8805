#pragma once

#include <QObject>

class frmMain;

class AlarmCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlarmCommands)
public:
    explicit AlarmCommands(frmMain &main);

private:
    frmMain &m_main;
};
