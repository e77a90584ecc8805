#pragma once

#include <QString>
#include <optional>

struct stat;

// Which file a name leads to and when it last changed. A file whose stamp is the same as when
// it was read or written still holds what it held then, the rule that build tools and version
// control go by; rename and link change the stamp too, so take it after them.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileStamp &) const = default;

    static FileStamp of(const struct stat &status);
};

// The stamp of the file at `path`; nothing when there is none.
std::optional<FileStamp> fileStampOf(const QString &path);
