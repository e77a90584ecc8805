#pragma once

#include <QObject>

class frmMain;

class TabCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabCommands)
public:
    explicit TabCommands(frmMain &main);

private:
    frmMain &m_main;
};
