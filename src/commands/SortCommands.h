#pragma once

#include <QObject>

class frmMain;

class SortCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SortCommands)
public:
    explicit SortCommands(frmMain &main);

private:
    frmMain &m_main;
};
