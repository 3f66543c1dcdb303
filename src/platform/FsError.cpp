#include "FsError.h"

namespace rinvo {

bool showsVolumeUnusable(const FsError& error)
{
    switch (error.kind) {
    case FsErrorKind::DiskFull:
    case FsErrorKind::DeviceUnavailable:
    case FsErrorKind::ReadOnlyVolume:
        return true;
    default:
        return false;
    }
}

} // namespace rinvo
