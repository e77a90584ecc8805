#include "mainwin/SettingsFile.h"

#include "mainwin/TabStrip.h"
#include "mainwin/Twips.h"
#include "mainwin/frmMain.h"
#include "persist/IniFormat.h"
#include "persist/NoteCodec.h"
#include "platform/PlatformServices.h"
#include "store/TabError.h"
#include "store/clsTabCont.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// A line the reader could not apply; reported once, then reading goes on.
struct LineFailure : std::runtime_error
{
    LineFailure()
        : std::runtime_error("settings line failed")
    { }
};

// Only U+0020 blanks count: a tab or a lone LF belongs to the value.
QString trimBlanks(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line.at(begin) == u' ')
        ++begin;
    while (end > begin && line.at(end - 1) == u' ')
        --end;
    return line.mid(begin, end - begin);
}

qint16 int16Of(const QString &value)
{
    const auto number = parseIniNumber(value);
    const auto converted = number ? toInt16(*number) : std::nullopt;
    if (!converted)
        throw LineFailure();
    return *converted;
}

// On the screen the window overlaps most, or centred on the primary screen when it overlaps
// none (a monitor since removed); no larger than that screen's free area and wholly on it, so
// that a damaged size or a changed scale never puts the close button or the status bar out of
// reach.
QRect fitOnScreen(QRect client, const QMargins &frame)
{
    const QRect framed = client.marginsAdded(frame);
    const QScreen *best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(framed);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    const QRect room = (best ? best : QGuiApplication::primaryScreen())
                           ->availableGeometry()
                           .marginsRemoved(frame);
    client.setSize(client.size().boundedTo(room.size()));
    if (!best)
        client.moveCenter(room.center());
    client.moveLeft(std::clamp(client.left(), room.left(), room.right() + 1 - client.width()));
    client.moveTop(std::clamp(client.top(), room.top(), room.bottom() + 1 - client.height()));
    return client;
}

// A line as the report quotes it: a damaged file may hold lines of any length.
QString shortened(const QString &line)
{
    constexpr qsizetype Shown = 40;
    return line.size() <= Shown ? line : line.left(Shown) + u"…"_s;
}

QString problemReport(const QStringList &problems)
{
    constexpr qsizetype Listed = 5;
    QString text = u"Iniファイル読み込み時に予期せぬエラーが発生しました"_s;
    for (const QString &problem : problems.mid(0, Listed))
        text += u"\r\n"_s + problem;
    if (problems.size() > Listed)
        text += u"\r\nほか %1 件"_s.arg(problems.size() - Listed);
    return text;
}

} // namespace

SettingsFile::SettingsFile(frmMain &main)
    : m_main(main)
{ }

SaveFile SettingsFile::WriteIni() const
{
    const Twips twips = Twips::of(m_main);
    // The normal geometry, also while the window is minimised, hidden or maximised.
    const QRect normal = m_main.normalGeometry();
    IniGlobals globals;
    globals.top = float(twips.yFromPixels(normal.top()));
    globals.left = float(twips.xFromPixels(normal.left()));
    globals.height = float(twips.yFromPixels(normal.height()));
    globals.width = float(twips.xFromPixels(normal.width()));
    globals.tabDisp = qint16(m_main.tabMain().selectedPosition());
    globals.defFontName = m_main.tabs().DefFontName;
    globals.defFontSize = m_main.tabs().DefFontSize;
    globals.makeBackup = m_main.MakeBackup();
    globals.scrlType = m_main.ScrlType();

    QStringList infos;
    for (int i = 0; i < m_main.tabCount(); ++i)
        infos.append(m_main.tabs()[i].Info());
    // Always cp932: a file in UTF-8 would leave the Windows program without any tab.
    return {QString::fromLatin1(FileName), encodeCp932Lossy(composeIni(globals, infos))};
}

void SettingsFile::ReadIni()
{
    const QString path = QDir(m_main.appDir()).filePath(QString::fromLatin1(FileName));
    if (!QFileInfo(path).isFile())
        return;
    QString text;
    QString error;
    if (!readNoteFile(path, text, error)) {
        m_main.platform().showMessage(u"%1 を読み込めませんでした。\r\n%2"_s.arg(path, error),
            u"読み込み時のエラー"_s, MessageIcon::Critical);
        return;
    }

    QStringList problems;
    // `where` names the failed step for the report.
    const auto guarded = [&](const auto &where, const auto &step) {
        try {
            step();
        } catch (const TabError &failure) {
            // An alarm time that is not a minute ahead is simply not set.
            if (failure.number() != TabError::AlarmTooSoon)
                problems.append(where());
        } catch (const std::exception &) {
            problems.append(where());
        }
    };

    const QStringList lines = splitNoteLines(text);
    int section = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString s = trimBlanks(lines[n]);
        const auto where = [&] { return u"%1行目: %2"_s.arg(n + 1).arg(shortened(s)); };
        guarded(where, [&] {
            if (s.startsWith(u'-')) {
                section = 0;
            } else if (s.startsWith(u'[')) {
                if (s.startsWith(u"[Tab"_s) && s.endsWith(u']'))
                    section = int16Of(s.mid(4, s.size() - 5));
            } else {
                const IniLine parsed = SplitIniLine(s);
                if (!parsed.found)
                    return;
                if (section == 0)
                    applyGlobal(parsed.key, parsed.value);
                else if (section >= 1 && section <= m_main.tabCount())
                    applyTab(section - 1, parsed.key, parsed.value);
            }
        });
    }
    if (m_geometryRead)
        restoreGeometry();
    for (int i = 0; i < m_main.tabCount(); ++i)
        guarded([i] { return u"[Tab%1] の表示"_s.arg(i + 1); }, [this, i] { refreshPage(i); });
    // One box for the whole file, once it is all applied: a damaged file never asks for one
    // click per line, and a quit while the box is open finds the settings fully read.
    if (!problems.isEmpty())
        m_main.platform().showMessage(
            problemReport(problems), u"読み込み時のエラー"_s, MessageIcon::Critical);
}

void SettingsFile::applyGlobal(const QString &key, const QString &value)
{
    if (key == u"FormTop" || key == u"FormLeft" || key == u"FormHeight" || key == u"FormWidth") {
        const auto number = parseIniNumber(value);
        if (!number)
            return;
        // 32-bit: today's screens are wider than 32767 twips.
        const auto twips = toInt32(*number);
        if (!twips)
            throw LineFailure();
        applyGeometry(key, *twips);
    } else if (key == u"TabDisp") {
        if (!parseIniNumber(value))
            return;
        const qint16 position = int16Of(value);
        if (position >= 1 && position <= m_main.tabCount())
            m_main.tabMain().selectTab(position);
    } else if (key == u"DefFontName") {
        m_main.tabs().DefFontName = value;
    } else if (key == exactValueKey(u"DefFontName"_s)) {
        if (const auto exact = exactIniValue(m_main.tabs().DefFontName, value))
            m_main.tabs().DefFontName = *exact;
    } else if (key == u"DefFontSize") {
        if (parseIniNumber(value))
            m_main.tabs().DefFontSize = int16Of(value);
    } else if (key == u"MakeBackup") {
        if (const auto flag = parseIniBool(value))
            m_main.setMakeBackup(*flag);
    } else if (key == u"ScrlType") {
        if (value == u"N" || value == u"V" || value == u"W")
            m_main.setScrlType(value);
    }
}

void SettingsFile::applyTab(int index, const QString &key, const QString &value)
{
    clsTabCont &record = m_main.tabs()[index];
    if (key == u"FontName") {
        record.setFontName(value);
    } else if (key == exactValueKey(u"FontName"_s)) {
        if (const auto exact = exactIniValue(record.FontName(), value))
            record.setFontName(*exact);
    } else if (key == u"FontSize") {
        const auto number = parseIniNumber(value);
        if (!number)
            return;
        if (std::abs(*number) > 3.402823e38)
            throw LineFailure();
        record.setFontSize(float(*number));
    } else if (key == u"CreatDate") {
        if (const auto date = parseIniDate(value))
            record.setCrt(*date);
    } else if (key == u"AlarmDate") {
        const auto date = parseIniDate(value);
        if (!date)
            return;
        // The time is kept even when it is less than a minute ahead or past: AlarmSetOn then
        // decides, so an alarm due in a few seconds fires on time instead of being reported
        // as missed, and a missed one is reported with its own time.
        try {
            record.setAlarm(*date);
        } catch (const TabError &refused) {
            if (refused.number() != TabError::AlarmTooSoon)
                throw;
            record.setStoredAlarm(*date);
        }
    } else if (key == u"AlarmSetOn") {
        if (const auto flag = parseIniBool(value))
            record.setOnAlm(*flag);
    } else if (key == u"DispIndex") {
        if (parseIniNumber(value))
            record.setDispIndex(int16Of(value));
    } else if (key == u"TabCaption") {
        record.setOmidasi(value);
    } else if (key == exactValueKey(u"TabCaption"_s)) {
        if (const auto exact = exactIniValue(record.Omidasi(), value))
            record.setOmidasi(*exact);
    }
}

void SettingsFile::applyGeometry(const QString &key, qint32 twips)
{
    if (!m_geometryRead) {
        const Twips scale = Twips::of(m_main);
        const QRect current = m_main.geometry();
        m_geometry = QRect(scale.xFromPixels(current.left()), scale.yFromPixels(current.top()),
            scale.xFromPixels(current.width()), scale.yFromPixels(current.height()));
        m_geometryRead = true;
    }
    if (key == u"FormTop")
        m_geometry.moveTop(twips);
    else if (key == u"FormLeft")
        m_geometry.moveLeft(twips);
    else if (key == u"FormHeight")
        m_geometry.setHeight(twips);
    else
        m_geometry.setWidth(twips);
}

void SettingsFile::restoreGeometry()
{
    QRect wanted = Twips::of(m_main).toPixels(m_geometry);
    if (wanted.width() <= 0 || wanted.height() <= 0)
        wanted.setSize(m_main.size());
    // The native window, unmapped, is enough for most platforms to know the frame they add.
    m_main.winId();
    QMargins frame = m_main.windowHandle()->frameMargins();
    // On X11 the window manager's frame is known only once the window is shown; until then
    // the style's title bar height and frame width stand in for it, so that the title bar
    // stays on the screen.
    if (frame.isNull()) {
        const int border = m_main.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame = QMargins(border, border + m_main.style()->pixelMetric(QStyle::PM_TitleBarHeight),
            border, border);
    }
    m_main.setGeometry(fitOnScreen(wanted, frame));
}

void SettingsFile::refreshPage(int i)
{
    clsTabCont &record = m_main.tabs()[i];
    m_main.setBoxFont(i, record.FontName(), record.FontSize());
    record.DispCont(i);
    m_main.selectTitleItem(i, record.DispIndex());
    record.DispCont(i);
    m_main.refreshStripCaption(i + 1);
}
