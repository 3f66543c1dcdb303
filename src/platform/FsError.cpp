#include "FsError.h"

namespace rinvo {

const char* describeErrorKind(FsErrorKind kind)
{
    switch (kind) {
    case FsErrorKind::AlreadyExists:
        return "同じ名前のものが既にあります";
    case FsErrorKind::DiskFull:
        return "ディスクの空き容量が足りません";
    case FsErrorKind::DeviceUnavailable:
        return "デバイスが使用できません";
    case FsErrorKind::PermissionDenied:
        return "書き込みまたは読み取りが拒否されました";
    case FsErrorKind::PathNotFound:
        return "パスが見つかりません";
    case FsErrorKind::Other:
        break;
    }
    return "ファイルにアクセスできません";
}

std::string describeError(const FsError& error)
{
    std::string text = describeErrorKind(error.kind);
    if (!error.message.empty())
        text += " (" + error.message + ")";
    return text;
}

} // namespace rinvo
