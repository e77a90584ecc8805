#pragma once

#include <QObject>

class frmMain;

class TrayCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayCommands)
public:
    explicit TrayCommands(frmMain &main);

private:
    frmMain &m_main;
};
