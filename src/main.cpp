#include "CommandLine.h"
#include "Program.h"
#include "mainwin/AppDirectory.h"
#include "mainwin/QuitSignals.h"
#include "mainwin/SingleInstance.h"
#include "mainwin/frmMain.h"
#include "persist/FolderReadAhead.h"
#include "platform/QtPlatformServices.h"
#include "platform/QtTranslations.h"

#include <QApplication>
#include <QSessionManager>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    if (const std::optional<int> exitCode = answerCommandLine(argc, argv))
        return *exitCode;
    const bool atLogin = startedAtLogin(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nokuri"));
    QApplication::setApplicationVersion(programVersion());
    // Ties the windows to nokuri.desktop, so that the desktop shows its name and icon for them.
    QApplication::setDesktopFileName(QStringLiteral("nokuri"));
    installQtTranslations();
    // The window hides in the tray; only its unloading ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    // Installed first: a request to end that comes during start-up is served once it is done.
    QuitSignals quitSignals;

    const QString appDir = locateAppDirectory(QApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    SingleInstance instance(appDir);
    if (!instance.claim())
        return 0;
    // The earliest moment the folder may be read: its lock is held, so repairing an interrupted
    // save cannot meet another instance's save. The window is built meanwhile.
    FolderReadAhead readAhead(appDir);

    QtPlatformServices platform;
    const std::unique_ptr<frmMain> program = assembleProgram(platform, appDir);
    frmMain &window = *program;
    QObject::connect(
        &instance, &SingleInstance::activationRequested, &window, &frmMain::restoreWindow);
    // exit, not quit: quit() sends the Quit event that the window turns into a quit request.
    QObject::connect(&window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, &frmMain::requestQuit);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
        [&window](QSessionManager &) { window.commitData(); });

    window.Form_Load(&readAhead);
    // Hidden in the tray only where there is a tray to come back from.
    if (!atLogin || !platform.isSystemTrayAvailable())
        window.show();
    return app.exec();
}
