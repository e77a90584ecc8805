#pragma once

#include <QDialog>
#include <array>

class QLabel;
class PlatformServices;
class QLineEdit;
class TabSet;
class TabWindow;

// The manual sort dialog: one row per tab with a number box and the tab's caption; Sort puts
// the tabs in the order of the numbers. Modeless and deleted when closed.
class frmSort final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSort)
public:
    static constexpr int Rows = 30;

    frmSort(TabSet &tabs, TabWindow &window, PlatformServices &platform);

    // Rows of existing tabs get 100, 200, ... and the tab's caption; the rest stay empty.
    void Form_Load();

    QLineEdit *txtNo(int row) const { return m_txtNo.at(static_cast<size_t>(row)); }
    QLabel *lblTitle(int row) const { return m_lblTitle.at(static_cast<size_t>(row)); }

signals:
    // The tabs were put in the order of the numbers.
    void sorted();

private:
    void cmdSort_Click();
    // Reports the row whose number cannot be used and leaves its box ready for a new one.
    void refuseRow(int row);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
    std::array<QLineEdit *, Rows> m_txtNo {};
    std::array<QLabel *, Rows> m_lblTitle {};
};
