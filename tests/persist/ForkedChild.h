#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <sys/resource.h>

// Runs a piece of a test in a forked child, for what must not touch the test process itself:
// a file-size limit, or giving up root so that permissions count.
struct ChildOptions
{
    // setrlimit(RLIMIT_FSIZE) in the child, with SIGXFSZ ignored so that write() fails.
    std::optional<rlim_t> fileSizeLimit;
    // When running as root, become "nobody" first (root ignores file permissions).
    bool dropRoot = false;
};

struct ChildResult
{
    // Empty when the child ran `body` and exited normally; else why not (to skip or fail on).
    QString notRun;
    QByteArray output; // what `body` returned
};

ChildResult runInChild(const ChildOptions &options, const std::function<QByteArray()> &body);

// The user "nobody" that dropRoot turns into, for giving it files (chown) beforehand.
std::optional<uid_t> nobodyUser();
std::optional<gid_t> nobodyGroup();
