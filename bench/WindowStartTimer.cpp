#include "WindowStartTimer.h"

#include "PeakMemory.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int TimeoutMs = 60000;

std::vector<QByteArray> toBytes(const QStringList &strings)
{
    std::vector<QByteArray> bytes;
    for (const QString &s : strings)
        bytes.push_back(QFile::encodeName(s));
    return bytes;
}

std::vector<char *> toArgv(std::vector<QByteArray> &bytes)
{
    std::vector<char *> pointers;
    for (QByteArray &b : bytes)
        pointers.push_back(b.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

WindowStartTimer::WindowStartTimer()
    : m_connection(xcb_connect(nullptr, nullptr))
{
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot connect to the X display in $DISPLAY");
    }
    // Map notifications of every top-level window arrive at the root.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    xcb_change_window_attributes(m_connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

WindowStartTimer::~WindowStartTimer()
{
    xcb_disconnect(m_connection);
}

WindowStartTimer::Run WindowStartTimer::run(
    const QString &program, const QStringList &environment, const QStringList &arguments)
{
    // Map notifications left from an earlier run must not end this one.
    while (xcb_generic_event_t *stale = xcb_poll_for_event(m_connection))
        free(stale);

    std::vector<QByteArray> argBytes = toBytes(QStringList {program} + arguments);
    std::vector<QByteArray> envBytes = toBytes(environment);
    std::vector<char *> argv = toArgv(argBytes);
    std::vector<char *> envp = toArgv(envBytes);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error(qPrintable(QStringLiteral("cannot start ") + program));

    Run result;
    try {
        waitForMap(pid);
        result.shownNs = timer.nsecsElapsed();
    } catch (...) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        throw;
    }
    // Looked at until the process ends, its quit included; first while it surely runs, as a
    // small program may be gone before the first look after the signal.
    result.peakRssKb = peakResidentKb(pid);
    ::kill(pid, SIGTERM);
    for (;;) {
        result.peakRssKb = std::max(result.peakRssKb, peakResidentKb(pid));
        const pid_t ended = ::waitpid(pid, nullptr, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            break;
        ::usleep(1000);
    }
    return result;
}

void WindowStartTimer::waitForMap(int pid)
{
    const int fd = xcb_get_file_descriptor(m_connection);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
            free(event);
            if (mapped)
                return;
        }
        if (xcb_connection_has_error(m_connection))
            throw std::runtime_error("lost the X display");
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            throw std::runtime_error("the program ended before it showed a window");
        if (waited.elapsed() > TimeoutMs)
            throw std::runtime_error("the program showed no window within a minute");
        pollfd wait {fd, POLLIN, 0};
        ::poll(&wait, 1, 20);
    }
}
