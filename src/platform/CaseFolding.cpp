#include "CaseFolding.h"

namespace rinvo {

bool mayChangeWhenFolded(std::string_view name)
{
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || byte >= 0x80)
            return true;
    }
    return false;
}

} // namespace rinvo
