#pragma once

#include <QtGlobal>
#include <sys/types.h>

// The peak resident memory of a process since it started its program (VmHWM); 0 where the
// process has ended. getrusage's ru_maxrss does not do: across exec it keeps the peak of the
// process that started the program, here the bench holding hundreds of megabytes of notes.
qint64 peakResidentKb(pid_t pid);
qint64 ownPeakResidentKb();
