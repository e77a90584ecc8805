#pragma once

#include <QObject>

class frmMain;

class ContentMenu final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ContentMenu)
public:
    explicit ContentMenu(frmMain &main);

private:
    frmMain &m_main;
};
