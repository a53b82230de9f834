#include "core/system/CoreDumps.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace CoreDumps {

void switchOff()
{
    // Either alone leaves a way open: a crash handler that pipes the core
    // (core_pattern "|...") ignores the size limit, and a process made
    // dumpable again by a change of credentials would fall back on the limit.
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
}

} // namespace CoreDumps
