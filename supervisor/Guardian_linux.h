// The guardian (Linux): a small process forked when Torvane starts that outlives it. Torvane
// tells it each program group it starts and each it has ended; if Torvane dies without
// finishing its stop (SIGKILL, a crash), the guardian sees its pipe close and kills every
// group still listed, so that no program's descendant outlives the supervisor. (The programs
// themselves also die by their parent-death signal.)
#pragma once

#include <sys/types.h>

namespace torvane::guardian {

// Forks the guardian; between the fork and its end the guardian makes system calls only.
void Start();
void Guard(pid_t group);
void Release(pid_t group);
// The stop is complete: the guardian ends without killing anything (and is reaped).
void StandDown();
// Its process id, 0 when there is none.
pid_t Pid();

} // namespace torvane::guardian
