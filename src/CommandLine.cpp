#include "CommandLine.h"

#include "CommandLineTexts.h"

#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Exit code for a command line the program does not take, as for any other Unix command.
constexpr int usageErrorExitCode = 2;

// The options QGuiApplication and QApplication take out of argv themselves. The session
// manager restarts the program with "-session <id>" (and "-name <name>"); Qt reads each of
// them with one dash or two.
struct QtOption
{
    QLatin1StringView name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"platform"_L1, true},
    {"platformpluginpath"_L1, true},
    {"platformtheme"_L1, true},
    {"plugin"_L1, true},
    {"qwindowgeometry"_L1, true},
    {"qwindowicon"_L1, true},
    {"qwindowtitle"_L1, true},
    {"session"_L1, true},
    {"display"_L1, true},
    {"geometry"_L1, true},
    {"title"_L1, true},
    {"icon"_L1, true},
    {"name"_L1, true},
    {"style"_L1, true},
    {"stylesheet"_L1, true},
    {"reverse"_L1, false},
    {"widgetcount"_L1, false},
};
// Qt also takes these as "-style=fusion" and so on, in one argument.
constexpr QLatin1StringView qtJoinedOptions[]
    = {"style="_L1, "stylesheet="_L1, "qmljsdebugger="_L1};

enum class Request { Run, Help, Version, Refuse };

struct Parsed
{
    Request request = Request::Run;
    QString refused;
    bool autostart = false;
};

// How many arguments a Qt option at the head of the list takes up, 0 for none of Qt's.
qsizetype qtOptionLength(const QStringList &arguments, qsizetype at)
{
    const QString &argument = arguments.at(at);
    if (!argument.startsWith(u'-'))
        return 0;
    const QStringView name = QStringView(argument).mid(argument.startsWith(u"--"_s) ? 2 : 1);
    for (const QLatin1StringView joined : qtJoinedOptions) {
        if (name.startsWith(joined))
            return 1;
    }
    for (const QtOption &option : qtOptions) {
        if (name != option.name)
            continue;
        if (!option.takesValue)
            return 1;
        return at + 1 < arguments.size() ? 2 : 0;
    }
    return 0;
}

// Reads the arguments in order: the first that is ours or unknown decides.
Parsed parse(const QStringList &arguments)
{
    Parsed run;
    for (qsizetype at = 0; at < arguments.size();) {
        const QString &argument = arguments.at(at);
        if (argument == "--help"_L1 || argument == "-h"_L1)
            return {Request::Help, {}};
        if (argument == "--version"_L1)
            return {Request::Version, {}};
        if (argument == "--autostart"_L1) {
            run.autostart = true;
            ++at;
            continue;
        }
        const qsizetype length = qtOptionLength(arguments, at);
        if (length == 0)
            return {Request::Refuse, argument};
        at += length;
    }
    return run;
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

QString usage()
{
    using namespace CommandLineTexts;
    const auto text = [](const char16_t *chars) { return QString::fromUtf16(chars); };
    const QString options
        = u"  -h, --help    %1\n                %2\n"
          u"  --version     %3\n                %4\n"
          u"  --autostart   %5\n                %6\n"_s.arg(text(helpJa), text(helpEn),
              text(versionJa), text(versionEn), text(autostartJa), text(autostartEn));
    return u"使い方: %1\nUsage:  %1\n\nNokuri: %2\nNokuri: %3\n\n%4\n%5\n%6\n%7\n%8\n"_s.arg(
        text(synopsis), text(summaryJa), text(summaryEn), options, text(runJa), text(runEn),
        text(qtJa), text(qtEn));
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

} // namespace

QString programVersion()
{
    return QString::fromUtf16(CommandLineTexts::version);
}

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    const Parsed parsed = parse(argumentList(argc, argv));
    switch (parsed.request) {
    case Request::Run:
        return std::nullopt;
    case Request::Help:
        print(stdout, usage());
        return 0;
    case Request::Version:
        print(stdout, u"Nokuri %1\n"_s.arg(programVersion()));
        return 0;
    case Request::Refuse:
        print(stderr,
            u"nokuri: 使えないオプションまたは引数です / unknown option or argument: %1\n\n%2"_s
                .arg(parsed.refused, usage()));
        return usageErrorExitCode;
    }
    return std::nullopt;
}

bool startedAtLogin(int argc, char *argv[])
{
    return parse(argumentList(argc, argv)).autostart;
}
