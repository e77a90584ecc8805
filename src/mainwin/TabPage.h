#pragma once

#include <QFrame>

class ContentBox;
class QComboBox;
class QPushButton;

// The controls of one tab page: frame fraMain(i) holding the title list cboTitle(i), the
// title button cmdTitle(i) and the content box. A page is created inert (disabled).
class TabPage final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TabPage)
public:
    explicit TabPage(QWidget *parent = nullptr);

    QFrame *fraMain() { return this; }
    QComboBox *cboTitle() const { return m_cboTitle; }
    QPushButton *cmdTitle() const { return m_cmdTitle; }
    ContentBox *txtCont() const { return m_txtCont; }

private:
    QComboBox *m_cboTitle;
    ContentBox *m_txtCont;
    QPushButton *m_cmdTitle;
};
