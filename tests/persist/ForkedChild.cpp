#include "ForkedChild.h"

#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int CannotDropRoot = 77;
constexpr int CannotLimit = 78;

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count
            = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += count;
    }
    return true;
}

[[noreturn]] void runChild(
    int out, const ChildOptions &options, const std::function<QByteArray()> &body)
{
    if (options.dropRoot && ::geteuid() == 0) {
        const auto uid = nobodyUser();
        const auto gid = nobodyGroup();
        if (!uid || !gid || ::setgroups(0, nullptr) != 0 || ::setgid(*gid) != 0
            || ::setuid(*uid) != 0)
            ::_exit(CannotDropRoot);
    }
    if (options.fileSizeLimit) {
        const rlimit limit {*options.fileSizeLimit, *options.fileSizeLimit};
        if (::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(CannotLimit);
    }
    const bool written = writeAll(out, body());
    ::close(out);
    // _exit: the child must not run the test process's exit handlers.
    ::_exit(written ? 0 : 1);
}

} // namespace

std::optional<uid_t> nobodyUser()
{
    const passwd *entry = ::getpwnam("nobody");
    return entry ? std::optional<uid_t>(entry->pw_uid) : std::nullopt;
}

std::optional<gid_t> nobodyGroup()
{
    const passwd *entry = ::getpwnam("nobody");
    return entry ? std::optional<gid_t>(entry->pw_gid) : std::nullopt;
}

ChildResult runInChild(const ChildOptions &options, const std::function<QByteArray()> &body)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return {u"pipe: "_s + qt_error_string(errno), {}};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipe[0]);
        ::close(pipe[1]);
        return {u"fork: "_s + qt_error_string(errno), {}};
    }
    if (pid == 0) {
        ::close(pipe[0]);
        runChild(pipe[1], options, body);
    }
    ::close(pipe[1]);
    ChildResult result;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(pipe[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        result.output.append(buffer, count);
    }
    ::close(pipe[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    if (!WIFEXITED(status))
        result.notRun = u"the child ended by signal %1"_s.arg(WTERMSIG(status));
    else if (WEXITSTATUS(status) == CannotDropRoot)
        result.notRun = u"could not become the user nobody"_s;
    else if (WEXITSTATUS(status) == CannotLimit)
        result.notRun = u"could not set the file size limit"_s;
    else if (WEXITSTATUS(status) != 0)
        result.notRun = u"the child exited with %1"_s.arg(WEXITSTATUS(status));
    return result;
}
