#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class frmMain;

// The manual sort dialog: one row per tab with a number box and the tab's caption; Sort puts
// the tabs in the order of the numbers. Modeless and deleted when closed. While it is open,
// any change to the tab set rebuilds the rows, so a number never goes to the wrong tab.
class frmSort final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSort)
public:
    static constexpr int Rows = 30;

    explicit frmSort(frmMain &main);

    QLineEdit *txtNo(int row) const { return m_txtNo.at(static_cast<size_t>(row)); }
    QLabel *lblTitle(int row) const { return m_lblTitle.at(static_cast<size_t>(row)); }

private:
    // Rows of existing tabs get 100, 200, ... and the tab's caption; the rest stay empty.
    void Form_Load();
    void cmdSort_Click();
    // Reports the row whose number cannot be used and leaves its box ready for a new one.
    void refuseRow(int row);

    frmMain &m_main;
    std::array<QLineEdit *, Rows> m_txtNo {};
    std::array<QLabel *, Rows> m_lblTitle {};
};
