#pragma once

// The texts the settings commands and rule editing show in message boxes; the copy run keeps
// its own in copy/CopyRunMessages.h.

namespace rinvo::messages {

// Rule editing.
inline constexpr const char* InvalidChoice = "指定が不正です！";
inline constexpr const char* DestinationIsFile = "コピー先にファイルを指定することは出来ません！";
inline constexpr const char* ClearQuestion = "クリアしますか？";
inline constexpr const char* PathNotStorable
    = "このパスは設定ファイルに保存できないため、選択できません。";

// Save, reload and quit.
inline constexpr const char* NothingChanged = "設定は変更されていません。";
inline constexpr const char* NoValidRule = "設定が有効でないか、もしくは設定されていません。";
inline constexpr const char* ReloadQuestion
    = "コピールール設定は、一部もしくは全部変更されています。設定を再ロードしますか？";
inline constexpr const char* ResetQuestion
    = "設定ファイルは存在しません。画面の設定内容を初期化しますか？";
inline constexpr const char* SaveQuestion = "変更された設定を保存しますか？";
inline constexpr const char* FixRulesQuestion
    = "設定が有効でないか、もしくは設定されていません。再設定しますか？";
inline constexpr const char* SaveFailed = "設定を保存できませんでした。";
inline constexpr const char* LoadFailed = "設定ファイルを読み込めませんでした。";

} // namespace rinvo::messages
