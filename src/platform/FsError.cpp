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
    case FsErrorKind::ReadOnlyVolume:
        return "ドライブが書き込み禁止です";
    case FsErrorKind::LinkInDestination:
        return "リンクがあるためコピーできません";
    case FsErrorKind::NameDiffersOnlyInCase:
        return "大文字・小文字だけが違う名前のファイルがあるため、コピーできません";
    case FsErrorKind::Other:
        break;
    }
    return "ファイルにアクセスできません";
}

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

std::string describeError(const FsError& error)
{
    // The other name leads, as the sentence reads: "README と大文字・小文字だけが…".
    if (error.kind == FsErrorKind::NameDiffersOnlyInCase)
        return error.message + " と" + describeErrorKind(error.kind);
    std::string text = describeErrorKind(error.kind);
    if (!error.message.empty())
        text += " (" + error.message + ")";
    return text;
}

} // namespace rinvo
