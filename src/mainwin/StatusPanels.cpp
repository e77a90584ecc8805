#include "mainwin/StatusPanels.h"

#include "mainwin/Twips.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

class PanelLabel final : public QLabel
{
public:
    PanelLabel(int panel, StatusPanels *bar)
        : QLabel(bar)
        , m_panel(panel)
        , m_bar(bar)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }

protected:
    // A right click is where users look for a menu; it must not renew the creation date.
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) {
            QLabel::mousePressEvent(event);
            return;
        }
        emit m_bar->panelClicked(m_panel, event->globalPosition().toPoint());
    }

private:
    int m_panel;
    StatusPanels *m_bar;
};

} // namespace

StatusPanels::StatusPanels(QWidget *parent)
    : QStatusBar(parent)
    , m_panels {new PanelLabel(1, this), new PanelLabel(2, this)}
{
    setSizeGripEnabled(true);
    for (QLabel *panel : m_panels)
        addWidget(panel);
    // The panels act on a click, which nothing else on them tells.
    m_panels[0]->setToolTip(QStringLiteral("クリックで作成日時を今の日時にする"));
    m_panels[1]->setToolTip(QStringLiteral("クリックでアラームのメニュー"));
}

void StatusPanels::setPanelWidths(const Twips &twips)
{
    // At least the designed widths; wider where the font needs it, so no date is cut off.
    m_panels[0]->setMinimumWidth(twips.xToPixels(1440));
    m_panels[1]->setMinimumWidth(twips.xToPixels(2000));
}

QString StatusPanels::panelText(int panel) const
{
    return m_panels[panel - 1]->text();
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    m_panels[panel - 1]->setText(text);
}
