#pragma once

// Every text the windows and their message boxes show, each defined once: window captions,
// control captions and tooltips, the copy-option entries, messages, and how failures read.
// Texts that take a value are functions; pieces are joined with nothing between them.

#include "platform/FsError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rinvo::texts {

// Window and message-box captions.
inline constexpr const char* MainCaption = "Rinvo Ver5";
/// The main window's caption during a run: "Rinvo Ver5 - コピー中 3/7 行 12,345 ファイル 1.2 GB".
std::string runningCaption(
    std::size_t row, std::size_t rows, std::uint64_t files, std::uint64_t bytes);
inline constexpr const char* HelpCaption = "Rinvoの使い方";
inline constexpr const char* SelectFolderCaption = "フォルダ選択";
inline constexpr const char* MessageTitle = "Rinvo V40";
inline constexpr const char* Yes = "はい";
inline constexpr const char* No = "いいえ";

// The main window.
inline constexpr const char* Title = "Rinvo";
inline constexpr const char* Version = "Ver 5.0";
inline constexpr const char* HelpCommand = "説明";
inline constexpr const char* SaveCommand = "設定保存";
inline constexpr const char* ReloadCommand = "設定    ロード";
inline constexpr const char* CopyCommand = "コピー  開始";
inline constexpr const char* QuitCommand = "終了";
inline constexpr const char* CopyOptionHeading = "コピーオプション";
inline constexpr const char* CopyOptionTip = "コピーオプションを３種類選択出来ます。";
inline constexpr const char* SourceColumnHeading = "コピー元フォルダ";
inline constexpr const char* DestinationColumnHeading = "コピー先フォルダ";
inline constexpr const char* SourceBoxTip
    = "クリックするとコピー元フォルダを選択できます。右クリックするとクリアします。";
inline constexpr const char* DestinationBoxTip
    = "クリックするとコピー先フォルダを選択出来ます。右クリックするとクリアします。";
inline constexpr const char* CurrentFileHeading = "コピー中のファイル：";
inline constexpr const char* CurrentFileName = "コピー中のファイル";
inline constexpr const char* CurrentFileTip = "実際にコピーしたファイルを表示します。";
/// The accessible name of a rule box: its column and its row number, 1 to 10.
std::string ruleBoxName(bool source, int rowNumber);

// The copy-option entries, in the box's order.
inline constexpr const char* SkipHiddenAndSystemEntry
    = "隠しファイルもシステムファイルもコピーしない";
inline constexpr const char* SkipSystemEntry = "システムファイルはコピーしない";
inline constexpr const char* CopyEverythingEntry = "すべてのファイルをコピーする";

// The help window.
inline constexpr const char* CloseCommand = "閉じる";
inline constexpr const char* HelpHeading = "Rinvo の使い方";

// The folder selection window.
inline constexpr const char* DrivesName = "ドライブ";
inline constexpr const char* FolderListHeading = "フォルダリスト";
inline constexpr const char* FileListHeading = "選択フォルダ内のファイルリスト";
inline constexpr const char* AcceptCommand = "決定";
inline constexpr const char* CancelCommand = "キャンセル";
inline constexpr const char* NewFolderCommand = "フォルダ作成";

// The folder-browse dialog of the Qt windows.
inline constexpr const char* BrowseCaption = "フォルダーの参照";
inline constexpr const char* BrowseNewFolderCommand = "新しいフォルダーの作成";
inline constexpr const char* BrowseNewFolderName = "新しいフォルダー";
inline constexpr const char* OkCommand = "OK";

// Prompts of the folder-browse dialog.
inline constexpr const char* SourcePrompt = "コピー元フォルダを選択して下さい。";
inline constexpr const char* DestinationPrompt = "コピー先フォルダを選択して下さい。";

// Which side of a copy a failed path lies on.
inline constexpr const char* SourceSide = "コピー元";
inline constexpr const char* DestinationSide = "コピー先";

} // namespace rinvo::texts

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
/// Asked by the quit command and at the end of a copy run.
inline constexpr const char* SaveQuestion = "変更された設定を保存しますか？";
inline constexpr const char* FixRulesQuestion
    = "設定が有効でないか、もしくは設定されていません。再設定しますか？";
inline constexpr const char* SaveFailed = "設定を保存できませんでした。";
inline constexpr const char* LoadFailed = "設定ファイルを読み込めませんでした。";
/// Told once when the rule file was read in another character set than the system's.
std::string ruleFileConverted(std::string_view readAs, std::string_view systemCodePage);
inline constexpr const char* RuleFileCharsetUnknown
    = "設定ファイルの文字コードが分かりませんでした。一部のパスが正しく読み込まれていない可能性があ"
      "ります。";

// Why a path cannot be kept in the rule file.
inline constexpr const char* PathHasQuote = "パスに \" (二重引用符) が含まれています";
std::string pathOutsideCodePage(std::string_view codePage);

// The copy run.
std::string sourceDriveMissing(std::string_view drive);
std::string sourceFolderMissing(std::string_view source);
std::string destinationDriveMissing(std::string_view drive);
std::string createDestinationQuestion(std::string_view destination);
std::string destinationNotCreated(std::string_view destination, std::string_view reason);
inline constexpr const char* ReadOnlyNotice
    = "読み取り専用ファイルを上書きしようとしましたので、すべてをコピーしていません。";
/// Opens the failure notice: "一部の…できませんでした。(失敗 12 件)".
std::string notEverythingCopied(std::uint64_t failures);
/// Closes the failure notice's list after the first names: "ほか 3 件".
std::string moreFailures(std::uint64_t count);
/// Closes the failure notice with where the run's log keeps every failure.
std::string logWrittenTo(std::string_view path);
/// Closes the failure notice when the log could not be written; the path may be empty.
std::string logNotWritten(std::string_view path, std::string_view reason);
inline constexpr const char* CopyDone = "コピーを完了しました。";
inline constexpr const char* CopyStopped = "コピーを中止しました。";
/// Asked when the window is closed during a run; No is the default.
inline constexpr const char* StopQuestion = "コピーを中止しますか？";
inline constexpr const char* NothingCopied = "コピーは行われませんでした。";

// The folder selection window.
inline constexpr const char* FolderClash = "同一名称のフォルダがありますので、作成出来ません。";
std::string newFolderPrompt(std::string_view parentName);

} // namespace rinvo::messages

namespace rinvo::cli {

// The command line: its usage, its complaints about arguments, its progress and summaries.
extern const char* const Usage;
/// Begins every line the command line writes about a failure.
inline constexpr const char* ErrorPrefix = "rinvo: ";
/// "rinvo 5.0": what --version prints.
std::string versionLine(std::string_view version);
/// "手順: 実行 2, 省略 1, 失敗 0": how the rows of a run went.
std::string rowCounts(std::size_t run, std::size_t skipped, std::size_t failed);
std::string unknownCommand(std::string_view command);
std::string unknownOption(std::string_view option);
inline constexpr const char* OptionValueWanted
    = "--option には 1、2、3 のいずれかを指定して下さい。";
inline constexpr const char* RulesFileWanted = "--rules には設定ファイルを指定して下さい。";
inline constexpr const char* RunTakesNoPaths = "run はパスを取りません。";
inline constexpr const char* CopyTakesTwoPaths = "コピー元とコピー先を一つずつ指定して下さい。";
inline constexpr const char* EmptyPath = "空のパスは指定できません。";
std::string ruleFileMissing(std::string_view path);
std::string ruleFileUnreadable(std::string_view path, std::string_view reason);
/// The window program beside the command line could not be started: its path and why.
std::string windowProgramUnavailable(std::string_view why);
/// "設定ファイル: /path/copyrule.txt": which rule file the program uses.
std::string ruleFileInUse(std::string_view path);
/// A rule file that holds no row with both paths.
std::string ruleFileEmpty(std::string_view path);
/// "記録ファイル: /path/20261210-153000.log": where this run's log is.
std::string logFileInUse(std::string_view path);
/// "記録フォルダ: /path/logs": where the runs' logs go, in the help.
std::string logFolderInUse(std::string_view path);
/// Begins the message of a row, after ErrorPrefix: "行 3: ".
std::string rowPrefix(std::size_t rowNumber);
inline constexpr const char* DryRunNote = "(--dry-run: 何も書き込んでいません)";
/// "行 3: /src → /dst", as a row begins.
std::string rowHeading(
    std::size_t rowNumber, std::string_view source, std::string_view destination);
/// "行 3: コピー 2 (10 バイト), 最新 5, 対象外 0, 失敗 0", as a row ends.
std::string rowSummary(std::size_t rowNumber, std::uint64_t copied, std::uint64_t bytes,
    std::uint64_t upToDate, std::uint64_t excluded, std::uint64_t failed,
    std::uint64_t notExamined);
/// "中止しました (Ctrl-C)": the line a stopped command-line run ends its summary with.
inline constexpr const char* StoppedLine = "中止しました。次の実行で続きをコピーします。";
/// "12 個目  name", the progress line.
std::string progressLine(std::uint64_t count, std::string_view name);
// The summary's labels, each followed by its number.
inline constexpr const char* FilesCopiedLabel = "コピーしたファイル: ";
inline constexpr const char* BytesUnit = " バイト";
inline constexpr const char* UpToDateLabel = "最新のため省いたファイル: ";
inline constexpr const char* ExcludedLabel = "対象外の項目: ";
inline constexpr const char* FailuresLabel = "失敗: ";
inline constexpr const char* NotExaminedLabel = "コピー先が使えなくなったため調べなかった項目: ";
inline constexpr const char* WithoutSpaceLabel = "空き容量が足りずコピーしなかったファイル: ";
inline constexpr const char* ElapsedLabel = "所要時間: ";
inline constexpr const char* SecondsUnit = " 秒";

} // namespace rinvo::cli

namespace rinvo::logs {

/// The first line of a run's log and of the command line's output: "rinvo 5.0 — … 開始".
std::string runHeader(std::string_view version, std::string_view startedAt);
inline constexpr const char* CopyOptionLabel = "コピーオプション: ";
inline constexpr const char* WindowRun = "ウィンドウから実行";
/// A copied file's line: its source path, indented below its row.
std::string copiedFile(std::string_view path);
/// A failure's line: "  失敗: コピー元 /src/x: reason".
std::string failure(std::string_view line);
std::string rowSkipped(std::size_t rowNumber, std::string_view reason);
inline constexpr const char* RowDone = "完了";
inline constexpr const char* RowWithFailures = "一部をコピーできませんでした";
inline constexpr const char* RowStopped = "中止しました";
inline constexpr const char* RowEndedByDestination = "コピー先が使えなくなったため終了しました";
std::string rowOutcome(std::size_t rowNumber, std::string_view outcome);
std::string endedAt(std::string_view time);

} // namespace rinvo::logs

namespace rinvo {

/// Returns the kind's wording for people, in the program's language.
const char* describeErrorKind(FsErrorKind kind);

/// Returns "kind (system wording)" for reports.
std::string describeError(const FsError& error);

/// Returns a failed path with the side it lies on ("コピー元 …" or "コピー先 …"), so a user
/// looks at the right disk.
std::string describeFailedPath(std::string_view path, FailedSide side);

} // namespace rinvo
