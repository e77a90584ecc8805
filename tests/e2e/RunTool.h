#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs a tool (xdotool, syncthing, xprop …) in `environment`; its trimmed output, or an empty
// string and a warning when it did not finish within `timeoutMs`.
inline QString runTool(const QProcessEnvironment &environment, const QString &program,
    const QStringList &args, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        qWarning("%s %s did not finish", qPrintable(program), qPrintable(args.join(u' ')));
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
