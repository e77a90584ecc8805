#include "mainwin/ContentMenu.h"

#include "mainwin/frmMain.h"

ContentMenu::ContentMenu(frmMain &main)
    : QObject(&main)
    , m_main(main)
{ }
