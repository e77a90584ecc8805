#include "mainwin/ContentMenu.h"

#include "mainwin/ContentBox.h"
#include "mainwin/MenuItems.h"
#include "mainwin/TabWindow.h"
#include "platform/PlatformServices.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QDateTime>
#include <QLocale>
#include <QMenu>
#include <QTextCursor>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// One piece of a QLocale date format: a field such as "MMMM", a quoted or plain literal, or a
// run of blanks and punctuation between them.
struct FormatPiece
{
    enum Kind { Field, Weekday, Separator, Literal };
    QString text;
    Kind kind;
};

bool isSeparator(QChar c)
{
    return c.isSpace() || (c.isPunct() && c != u'\'');
}

QList<FormatPiece> splitFormat(const QString &format)
{
    QList<FormatPiece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        qsizetype end = i + 1;
        FormatPiece::Kind kind = FormatPiece::Literal;
        if (c == u'\'') {
            const qsizetype closing = format.indexOf(u'\'', i + 1);
            end = closing < 0 ? format.size() : closing + 1;
        } else if (c.isLetter() && c.unicode() < 0x80) {
            while (end < format.size() && format[end] == c)
                ++end;
            // "ddd" and "dddd" are the weekday's names; "d" and "dd" the day of the month.
            kind = c == u'd' && end - i >= 3 ? FormatPiece::Weekday : FormatPiece::Field;
        } else if (isSeparator(c)) {
            while (end < format.size() && isSeparator(format[end]))
                ++end;
            kind = FormatPiece::Separator;
        }
        pieces.append({format.mid(i, end - i), kind});
        i = end;
    }
    return pieces;
}

// The long date format without the weekday and the blanks and punctuation that part it from
// the date: "dddd, MMMM d, yyyy" gives "MMMM d, yyyy", "yyyy年M月d日dddd" gives "yyyy年M月d日".
QString withoutWeekday(const QString &format)
{
    QList<FormatPiece> pieces = splitFormat(format);
    qsizetype i = 0;
    while (i < pieces.size()) {
        if (pieces[i].kind != FormatPiece::Weekday) {
            ++i;
            continue;
        }
        pieces.removeAt(i);
        if (i == 0) {
            if (!pieces.isEmpty() && pieces[0].kind == FormatPiece::Separator)
                pieces.removeAt(0);
        } else if (pieces[i - 1].kind == FormatPiece::Separator) {
            pieces.removeAt(--i);
        }
    }
    QString result;
    for (const FormatPiece &piece : pieces)
        result += piece.text;
    return result.trimmed();
}

// The default font size is a whole number: halves go to the even neighbour (10.5 gives 10,
// 11.5 gives 12), as nearbyint does in the default rounding mode. A size beyond the 16-bit
// range, which only a damaged settings file can hold, is kept at its end.
qint16 wholePoints(float size)
{
    const double whole = std::nearbyint(static_cast<double>(size));
    return static_cast<qint16>(std::clamp(whole, -32768.0, 32767.0));
}

} // namespace

QString dateTimeStamp(const QDateTime &when, const QLocale &locale)
{
    const QString date
        = locale.toString(when.date(), withoutWeekday(locale.dateFormat(QLocale::LongFormat)));
    const int hour = when.time().hour();
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return u"%1 %2:%3 %4"_s.arg(date)
        .arg(hour12)
        .arg(when.time().minute(), 2, 10, QChar(u'0'))
        .arg(hour < 12 ? u"AM"_s : u"PM"_s);
}

ContentMenu::ContentMenu(TabSet &tabs, TabWindow &window, PlatformServices &platform)
    : QObject(&window.widget())
    , m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
    , m_mnuCont(new QMenu(u"コンテンツ"_s, &window.widget()))
{
    m_mnuCont->setObjectName(u"mnuCont"_s);
    m_mnuContFont = addMenuItem(*m_mnuCont, u"mnuContFont"_s, u"フォント(&F)"_s);
    m_mnuContDflt = addMenuItem(*m_mnuCont, u"mnuContDflt"_s, u"デフォルト設定(&S)"_s);
    addMenuSeparator(*m_mnuCont, u"mnuContSct1"_s);
    m_mnuContCut = addMenuItem(*m_mnuCont, u"mnuContCut"_s, u"切り取り(&T)"_s);
    m_mnuContCopy = addMenuItem(*m_mnuCont, u"mnuContCopy"_s, u"コピー(&C)"_s);
    m_mnuContPast = addMenuItem(*m_mnuCont, u"mnuContPast"_s, u"貼り付け(&P)"_s);
    m_mnuContDel = addMenuItem(*m_mnuCont, u"mnuContDel"_s, u"削除(&D)"_s);
    addMenuSeparator(*m_mnuCont, u"mnuContSct2"_s);
    m_mnuContUndo = addMenuItem(*m_mnuCont, u"mnuContUndo"_s, u"元に戻す(&U)"_s);
    addMenuSeparator(*m_mnuCont, u"mnuContSct3"_s);
    m_mnuContTmin = addMenuItem(*m_mnuCont, u"mnuContTmin"_s, u"日時挿入"_s);

    connect(m_mnuContFont, &QAction::triggered, this, &ContentMenu::mnuContFont_Click);
    connect(m_mnuContDflt, &QAction::triggered, this, &ContentMenu::mnuContDflt_Click);
    onMenuBox(m_mnuContCut, &ContentMenu::mnuContCut_Click);
    onMenuBox(m_mnuContCopy, &ContentMenu::mnuContCopy_Click);
    onMenuBox(m_mnuContPast, &ContentMenu::mnuContPast_Click);
    onMenuBox(m_mnuContDel, &ContentMenu::mnuContDel_Click);
    onMenuBox(m_mnuContUndo, &ContentMenu::mnuContUndo_Click);
    onMenuBox(m_mnuContTmin, &ContentMenu::mnuContTmin_Click);
}

void ContentMenu::onMenuBox(QAction *item, void (ContentMenu::*command)(ContentBox &))
{
    connect(item, &QAction::triggered, this, [this, command] {
        if (m_menuBox)
            (this->*command)(*m_menuBox);
    });
}

void ContentMenu::txtCont_MouseDown(ContentBox *box, const QPoint &globalPos)
{
    m_menuBox = box;
    PopupContMenu(globalPos);
}

void ContentMenu::PopupContMenu(const QPoint &globalPos)
{
    // The box's own context menu is switched off, so only this menu appears.
    m_menuBox->setFocus(Qt::PopupFocusReason);
    const bool selected = m_menuBox->textCursor().hasSelection();
    const bool editable = !m_menuBox->showsPreview();
    m_mnuContCut->setEnabled(selected && editable);
    m_mnuContCopy->setEnabled(selected);
    m_mnuContDel->setEnabled(selected && editable);
    m_mnuContPast->setEnabled(editable && !m_platform.clipboardText().isEmpty());
    m_mnuContTmin->setEnabled(editable);
    m_platform.popupMenu(*m_mnuCont, globalPos);
}

void ContentMenu::mnuContFont_Click()
{
    const int t = m_window.selectedTab();
    clsTabCont &record = m_tabs[t];
    const auto chosen
        = m_platform.chooseFont(&m_window.widget(), {record.FontName(), record.FontSize()});
    if (!chosen)
        return;
    record.setFontName(chosen->name);
    record.setFontSize(chosen->size);
    // The menu box is page t's box: only the selected page takes right presses.
    m_window.setBoxFont(t, chosen->name, chosen->size);
}

void ContentMenu::mnuContDflt_Click()
{
    const clsTabCont &record = m_tabs[m_window.selectedTab()];
    m_tabs.setDefaultFont(record.FontName(), wholePoints(record.FontSize()));
}

void ContentMenu::mnuContCut_Click(ContentBox &box)
{
    box.cut();
}

void ContentMenu::mnuContCopy_Click(ContentBox &box)
{
    box.copy();
}

void ContentMenu::mnuContPast_Click(ContentBox &box)
{
    box.paste();
}

void ContentMenu::mnuContDel_Click(ContentBox &box)
{
    QTextCursor cursor = box.textCursor();
    cursor.removeSelectedText();
    box.setTextCursor(cursor);
}

void ContentMenu::mnuContUndo_Click(ContentBox &box)
{
    box.undo();
}

void ContentMenu::mnuContTmin_Click(ContentBox &box)
{
    box.insertPlainText(dateTimeStamp(m_platform.now(), QLocale()));
}
