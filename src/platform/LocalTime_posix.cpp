#include "LocalTime.h"

namespace rinvo {

std::tm localTime(std::time_t moment)
{
    std::tm local {};
    ::localtime_r(&moment, &local);
    return local;
}

} // namespace rinvo
