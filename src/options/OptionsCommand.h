#pragma once

#include <QObject>

class frmMain;

class OptionsCommand final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsCommand)
public:
    explicit OptionsCommand(frmMain &main);

private:
    frmMain &m_main;
};
