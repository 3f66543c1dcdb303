#include "Terminal.h"

#include <unistd.h>

namespace rinvo {

bool isTerminal(StandardStream stream)
{
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace rinvo
