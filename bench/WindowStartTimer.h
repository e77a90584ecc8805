#pragma once

#include <QStringList>

struct xcb_connection_t;

// Starts a program and times it from the start of the process to its first top-level window
// being mapped on the X display; then ends it with SIGTERM and collects its peak memory.
class WindowStartTimer final
{
public:
    struct Run
    {
        qint64 shownNs = 0;
        qint64 peakRssKb = 0; // over the whole life of the process, its quit included
    };

    // Watches the display in $DISPLAY.
    WindowStartTimer();
    ~WindowStartTimer();
    WindowStartTimer(const WindowStartTimer &) = delete;
    WindowStartTimer &operator=(const WindowStartTimer &) = delete;

    // `environment` holds "NAME=value" items for the program. Throws when the program ends or
    // shows nothing within a minute.
    Run run(
        const QString &program, const QStringList &environment, const QStringList &arguments = {});

private:
    void waitForMap(int pid);

    xcb_connection_t *m_connection;
};
