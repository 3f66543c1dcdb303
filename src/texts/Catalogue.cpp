#include "Catalogue.h"

namespace rinvo::texts {

std::string ruleBoxName(bool source, int rowNumber)
{
    return std::string(source ? SourceColumnHeading : DestinationColumnHeading) + " "
        + std::to_string(rowNumber);
}

} // namespace rinvo::texts

namespace rinvo::messages {

std::string pathOutsideCodePage(std::string_view codePage)
{
    return "パスに文字コード " + std::string(codePage) + " で表せない文字が含まれています";
}

std::string sourceDriveMissing(std::string_view drive)
{
    return "コピー元のドライブ (" + std::string(drive) + ") が存在しませんので、コピー出来ません。";
}

std::string sourceFolderMissing(std::string_view source)
{
    return "コピー元フォルダ " + std::string(source) + " が存在しません。正しく設定して下さい。";
}

std::string destinationDriveMissing(std::string_view drive)
{
    return "コピー先のドライブ (" + std::string(drive) + ") が存在しませんので、コピー出来ません。";
}

std::string createDestinationQuestion(std::string_view destination)
{
    return "コピー先フォルダ " + std::string(destination) + " が存在しません。作成しますか？";
}

std::string destinationNotCreated(std::string_view destination, std::string_view reason)
{
    return "コピー先フォルダ " + std::string(destination) + " を作成できませんでした。\n"
        + std::string(reason);
}

std::string moreFailures(std::uint64_t count)
{
    return "ほか " + std::to_string(count) + " 件";
}

std::string newFolderPrompt(std::string_view parentName)
{
    return std::string(parentName) + " の下に新規のフォルダを作成します。";
}

} // namespace rinvo::messages

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

std::string describeFailedPath(std::string_view path, FailedSide side)
{
    switch (side) {
    case FailedSide::Source:
        return std::string(texts::SourceSide) + " " + std::string(path);
    case FailedSide::Destination:
        return std::string(texts::DestinationSide) + " " + std::string(path);
    case FailedSide::Unknown:
        break;
    }
    return std::string(path);
}

} // namespace rinvo
