#include "mainwin/SettingsFile.h"

#include "mainwin/TabStrip.h"
#include "mainwin/Twips.h"
#include "mainwin/frmMain.h"
#include "persist/IniFormat.h"
#include "persist/IniSettings.h"
#include "persist/NoteCodec.h"
#include "platform/PlatformServices.h"
#include "store/clsTabCont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <variant>

using namespace Qt::StringLiterals;

namespace {

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
    globals.scrlType = m_main.scrollType();

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
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        m_main.platform().showMessage(
            u"%1 を読み込めませんでした。\r\n%2"_s.arg(path, file.errorString()),
            u"読み込み時のエラー"_s, MessageIcon::Critical);
        return;
    }
    apply(parseIni(bytes));
}

void SettingsFile::apply(const IniSettings &settings)
{
    QList<IniProblem> problems = settings.problems;
    applyGlobals(settings);
    for (auto tab = settings.tabs.begin(); tab != settings.tabs.end(); ++tab) {
        if (tab.key() <= m_main.tabCount())
            applyTab(tab.key() - 1, tab.value(), problems);
    }
    std::stable_sort(problems.begin(), problems.end(),
        [](const IniProblem &a, const IniProblem &b) { return a.line < b.line; });
    QStringList report;
    for (const IniProblem &problem : problems)
        report.append(u"%1行目: %2"_s.arg(problem.line).arg(shortened(problem.text)));
    if (settings.top || settings.left || settings.height || settings.width)
        restoreGeometry(settings);
    for (int i = 0; i < m_main.tabCount(); ++i)
        refreshPage(i);
    // One box for the whole file, once it is all applied: a damaged file never asks for one
    // click per line, and a quit while the box is open finds the settings fully read.
    if (!report.isEmpty())
        m_main.platform().showMessage(
            problemReport(report), u"読み込み時のエラー"_s, MessageIcon::Critical);
}

void SettingsFile::applyGlobals(const IniSettings &settings)
{
    const auto shown = std::find_if(settings.tabDisp.rbegin(), settings.tabDisp.rend(),
        [this](qint16 position) { return position >= 1 && position <= m_main.tabCount(); });
    if (shown != settings.tabDisp.rend())
        m_main.tabMain().selectTab(*shown);
    TabSet &tabs = m_main.tabs();
    tabs.DefFontName = settings.defFontName.appliedTo(tabs.DefFontName);
    if (settings.defFontSize)
        tabs.DefFontSize = *settings.defFontSize;
    if (settings.makeBackup)
        m_main.setMakeBackup(*settings.makeBackup);
    if (settings.scrlType)
        m_main.ApplyScrlType(*settings.scrlType);
}

void SettingsFile::applyTab(int index, const IniTabSettings &tab, QList<IniProblem> &problems)
{
    clsTabCont &record = m_main.tabs()[index];
    problems.append(tab.problems);
    if (tab.fontName.isRead())
        record.setFontName(tab.fontName.appliedTo(record.FontName()));
    if (tab.fontSize)
        record.setFontSize(*tab.fontSize);
    if (tab.created)
        record.setCrt(*tab.created);
    for (const auto &step : tab.alarmSteps) {
        if (const auto *on = std::get_if<bool>(&step)) {
            record.setOnAlm(*on);
            continue;
        }
        const QDateTime &time = std::get<QDateTime>(step);
        // The time is kept even when it is less than a minute ahead or past (the record's only
        // refusal): AlarmSetOn then decides, so an alarm due in a few seconds fires on time
        // instead of being reported as missed, and a missed one is reported with its own time.
        record.setStoredAlarm(time);
        if (record.acceptsAlarm(time))
            record.setOnAlm(true);
    }
    for (const IniDispIndex &shown : tab.dispIndexes) {
        if (shown.index >= 0 && shown.index < record.NoOfCont())
            record.setDispIndex(shown.index);
        else
            problems.append(shown.source);
    }
    if (tab.caption.isRead())
        record.setOmidasi(tab.caption.appliedTo(record.Omidasi()));
}

void SettingsFile::restoreGeometry(const IniSettings &settings)
{
    const Twips scale = Twips::of(m_main);
    const QRect current = m_main.geometry();
    const QRect twips(settings.left.value_or(scale.xFromPixels(current.left())),
        settings.top.value_or(scale.yFromPixels(current.top())),
        settings.width.value_or(scale.xFromPixels(current.width())),
        settings.height.value_or(scale.yFromPixels(current.height())));
    QRect wanted = scale.toPixels(twips);
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
