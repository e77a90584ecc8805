#pragma once

#include <QString>

// Why a file operation failed, from its errno, in words a Japanese user reads in a save error:
// Japanese for the failures a note folder meets (disk full, no permission, read-only disk, a
// folder gone, a failing disk, quota), the system's own text for the rest.
QString systemReason(int error);
