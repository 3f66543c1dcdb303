#pragma once

#include <string>
#include <string_view>

// The texts the copy run shows; pieces are joined with nothing between them.

namespace rinvo::messages {

inline std::string sourceDriveMissing(std::string_view drive)
{
    return "コピー元のドライブ (" + std::string(drive) + ") が存在しませんので、コピー出来ません。";
}

inline std::string sourceFolderMissing(std::string_view source)
{
    return "コピー元フォルダ " + std::string(source) + " が存在しません。正しく設定して下さい。";
}

inline std::string destinationDriveMissing(std::string_view drive)
{
    return "コピー先のドライブ (" + std::string(drive) + ") が存在しませんので、コピー出来ません。";
}

inline std::string createDestinationQuestion(std::string_view destination)
{
    return "コピー先フォルダ " + std::string(destination) + " が存在しません。作成しますか？";
}

inline std::string destinationNotCreated(std::string_view destination, std::string_view reason)
{
    return "コピー先フォルダ " + std::string(destination) + " を作成できませんでした。\n"
        + std::string(reason);
}

inline constexpr const char* ReadOnlyNotice
    = "読み取り専用ファイルを上書きしようとしましたので、すべてをコピーしていません。";
inline constexpr const char* NotEverythingCopied
    = "一部のファイルまたはフォルダをコピーできませんでした。";
inline constexpr const char* CopyDone = "コピーを完了しました。";
inline constexpr const char* NothingCopied = "コピーは行われませんでした。";
inline constexpr const char* SaveChangedRules = "変更された設定を保存しますか？";

} // namespace rinvo::messages
