#include "OpenFileLimit.h"

#include <sys/resource.h>

namespace rinvo {

void raiseOpenFileLimit()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max;
    // NOTE: a failure leaves the old limit, which the walk reports when it reaches it.
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

} // namespace rinvo
