#include "SaneState.h"

#include "mainwin/ContentBox.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabStrip.h"
#include "mainwin/frmMain.h"
#include "store/clsTabCont.h"

#include <QComboBox>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

QStringList saneStateProblems(const frmMain &window)
{
    QStringList problems;
    const auto check = [&problems](bool ok, const QString &what) {
        if (!ok)
            problems.append(what);
    };
    const int count = window.tabCount();
    check(count >= 1 && count <= TabSet::MaxTabs, u"tab count %1"_s.arg(count));
    check(window.tabMain().count() == count,
        u"strip has %1 tabs for %2 records"_s.arg(window.tabMain().count()).arg(count));
    const int selected = window.selectedTab();
    check(selected >= 0 && selected < count, u"selected tab %1"_s.arg(selected));
    const QString type = window.ScrlType();
    check(type == u"N" || type == u"V" || type == u"W", u"scroll type "_s + type);
    check(window.width() > 0 && window.height() > 0, u"window has no size"_s);
    if (!problems.isEmpty())
        return problems;

    check(window.tabMain().pageStack()->currentWidget() == &window.page(selected),
        u"the selected page is not in front"_s);
    for (int i = 0; i < count; ++i) {
        const clsTabCont &record = window.tabs()[i];
        const TabPage &page = window.page(i);
        const QString tab = u"tab %1: "_s.arg(i);
        check(record.NoOfCont() >= 1 && record.NoOfCont() <= TabSet::MaxEntries,
            tab + u"%1 entries"_s.arg(record.NoOfCont()));
        check(record.DispIndex() >= 0 && record.DispIndex() < record.NoOfCont(),
            tab + u"displayed entry %1"_s.arg(record.DispIndex()));
        check(page.cboTitle()->count() == record.NoOfCont(),
            tab + u"%1 titles listed"_s.arg(page.cboTitle()->count()));
        check(page.cboTitle()->currentIndex() == record.DispIndex(),
            tab + u"title list shows %1"_s.arg(page.cboTitle()->currentIndex()));
        check(page.txtCont()->isEnabled() == (i == selected),
            tab + (i == selected ? u"box disabled"_s : u"box of a hidden page enabled"_s));
    }
    return problems;
}
