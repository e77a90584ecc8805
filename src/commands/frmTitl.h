#pragma once

#include <QDialog>

class PlatformServices;
class QLineEdit;
class QPushButton;
class TabPages;
class TabSet;
class Twips;

// The titles dialog: adds an entry with the typed title, renames the displayed entry, or
// deletes it. The opener sets ClsIndex, then TitlIndex, calls Form_Load and runs it modally;
// every way out closes it, and the opener finds the changes in the tab record.
class frmTitl final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmTitl)
public:
    frmTitl(TabSet &tabs, TabPages &pages, PlatformServices &platform, const Twips &twips);

    int ClsIndex() const { return m_clsIndex; }
    // A bad index is reported and stored all the same.
    void setClsIndex(int newIndex);
    int TitlIndex() const { return m_titlIndex; }
    void setTitlIndex(int newIndex);

    // Fills the window from the record, just before it is shown.
    void Form_Load();

private:
    bool indexesValid() const;
    void cmdNew_Click();
    void cmdChg_Click();
    void cmdDel_Click();

    TabSet &m_tabs;
    TabPages &m_pages;
    PlatformServices &m_platform;
    int m_clsIndex = 0;
    int m_titlIndex = 0;
    QLineEdit *m_txtInput;
    QPushButton *m_cmdNew;
    QPushButton *m_cmdChg;
    QPushButton *m_cmdCncl;
    QPushButton *m_cmdDel;
};
