#include "Catalogue.h"

#include <cstdio>
#include <iterator>

namespace rinvo::texts {

namespace {

// "12,345": a count with its thousands marked.
std::string grouped(std::uint64_t number)
{
    const std::string digits = std::to_string(number);
    std::string text;
    for (std::size_t at = 0; at < digits.size(); ++at) {
        if (at > 0 && (digits.size() - at) % 3 == 0)
            text += ',';
        text += digits[at];
    }
    return text;
}

// "1.2 GB": a size in the largest unit that keeps it at one or more, with one decimal.
std::string humanSize(std::uint64_t bytes)
{
    const char* const units[] = { "B", "KB", "MB", "GB", "TB" };
    double size = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (size >= 1000 && unit + 1 < std::size(units)) {
        size /= 1000;
        ++unit;
    }
    if (unit == 0)
        return std::to_string(bytes) + " B";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
    return text;
}

} // namespace

std::string runningCaption(
    std::size_t row, std::size_t rows, std::uint64_t files, std::uint64_t bytes)
{
    return std::string(MainCaption) + " - コピー中 " + std::to_string(row) + "/"
        + std::to_string(rows) + " 行 " + grouped(files) + " ファイル " + humanSize(bytes);
}

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

std::string ruleFileConverted(std::string_view readAs, std::string_view systemCodePage)
{
    return "設定ファイルは " + std::string(readAs)
        + " で書かれていたため、変換して読み込みました。\n保存すると、このシステムの文字コード ("
        + std::string(systemCodePage) + ") で書き込みます。";
}

std::string notEverythingCopied(std::uint64_t failures)
{
    return "一部のファイルまたはフォルダをコピーできませんでした。(失敗 " + std::to_string(failures)
        + " 件)";
}

std::string moreFailures(std::uint64_t count)
{
    return "ほか " + std::to_string(count) + " 件";
}

std::string logWrittenTo(std::string_view path)
{
    return "すべての失敗は記録ファイルに書きました:\n" + std::string(path);
}

std::string logNotWritten(std::string_view path, std::string_view reason)
{
    std::string text = "記録ファイルを書き込めませんでした";
    if (!path.empty())
        text.append(": ").append(path);
    return text.append(" (").append(reason).append(")");
}

std::string newFolderPrompt(std::string_view parentName)
{
    return std::string(parentName) + " の下に新規のフォルダを作成します。";
}

} // namespace rinvo::messages

namespace rinvo::cli {

const char* const Usage
    = "使い方: rinvo copy コピー元 コピー先 [--option 1|2|3] [--list] [--dry-run] "
      "[--full-check]\n"
      "        rinvo run [--rules 設定ファイル] [--option 1|2|3] [--create-missing] [--list] "
      "[--dry-run] [--full-check]\n"
      "        rinvo --version\n"
      "  copy: コピー元のフォルダ (またはファイル) をコピー先のフォルダへコピーします。\n"
      "  run:  設定ファイルのすべての手順でコピーします。\n"
      "  コピー先に無いファイルと、コピー先より新しいファイルだけをコピーします。\n"
      "  --option 1          隠しファイルもシステムファイルもコピーしない\n"
      "  --option 2          システムファイルはコピーしない (既定)\n"
      "  --option 3          すべてのファイルをコピーする\n"
      "  --create-missing    存在しないコピー先フォルダを途中のフォルダごと作成する (run)\n"
      "  --list              コピーしたファイルをすべて表示し、記録ファイルにも書く\n"
      "  --dry-run           コピーするファイルを表示するだけで、何も書き込まない\n"
      "  --full-check        前回から変わっていないコピー先フォルダも、すべて調べ直す\n"
      "  --help, -h          この説明を表示する\n"
      "  --version, -V       バージョンを表示する\n"
      "  実行のたびに記録ファイルを記録フォルダに書きます (新しいもの 30 個を残します)。\n"
      "  終了コード:\n"
      "    0    すべてコピーした\n"
      "    1    一部をコピーできなかった、または省いた手順がある\n"
      "    2    引数の誤り、または設定ファイルが無いか読み込めない\n"
      "    130  Ctrl-C (SIGINT) で中止した\n"
      "    143  SIGTERM で中止した\n";

std::string versionLine(std::string_view version)
{
    return "rinvo " + std::string(version);
}

std::string rowCounts(std::size_t run, std::size_t skipped, std::size_t failed)
{
    return "手順: 実行 " + std::to_string(run) + ", 省略 " + std::to_string(skipped) + ", 失敗 "
        + std::to_string(failed);
}

std::string unknownCommand(std::string_view command)
{
    return "不明なコマンドです: " + std::string(command);
}

std::string unknownOption(std::string_view option)
{
    return "不明なオプションです: " + std::string(option);
}

std::string ruleFileMissing(std::string_view path)
{
    return "設定ファイル " + std::string(path) + " がありません。";
}

std::string windowProgramUnavailable(std::string_view why)
{
    return "ウィンドウのプログラムを起動できませんでした: " + std::string(why);
}

std::string ruleFileUnreadable(std::string_view path, std::string_view reason)
{
    return "設定ファイル " + std::string(path) + " を読み込めませんでした: " + std::string(reason);
}

std::string ruleFileInUse(std::string_view path)
{
    return "設定ファイル: " + std::string(path);
}

std::string ruleFileEmpty(std::string_view path)
{
    return "設定ファイル " + std::string(path) + " にはコピーの手順がありません。";
}

std::string logFileInUse(std::string_view path)
{
    return "記録ファイル: " + std::string(path);
}

std::string logFolderInUse(std::string_view path)
{
    return "記録フォルダ: " + std::string(path);
}

std::string rowPrefix(std::size_t rowNumber)
{
    return "行 " + std::to_string(rowNumber) + ": ";
}

std::string rowHeading(std::size_t rowNumber, std::string_view source, std::string_view destination)
{
    return "行 " + std::to_string(rowNumber) + ": " + std::string(source) + " → "
        + std::string(destination);
}

std::string rowSummary(std::size_t rowNumber, std::uint64_t copied, std::uint64_t bytes,
    std::uint64_t upToDate, std::uint64_t excluded, std::uint64_t failed, std::uint64_t notExamined)
{
    std::string line = "行 " + std::to_string(rowNumber) + ": コピー " + std::to_string(copied)
        + " (" + std::to_string(bytes) + " バイト), 最新 " + std::to_string(upToDate) + ", 対象外 "
        + std::to_string(excluded) + ", 失敗 " + std::to_string(failed);
    if (notExamined > 0)
        line += ", 調べなかった項目 " + std::to_string(notExamined);
    return line;
}

std::string progressLine(std::uint64_t count, std::string_view name)
{
    return std::to_string(count) + " 個目  " + std::string(name);
}

} // namespace rinvo::cli

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
    case FsErrorKind::Stopped:
        return "コピーを中止しました";
    case FsErrorKind::LinkToFolder:
        return "フォルダへのリンクのため、コピーできません";
    case FsErrorKind::Other:
        break;
    }
    return "ファイルにアクセスできません";
}

} // namespace rinvo

namespace rinvo::logs {

std::string runHeader(std::string_view version, std::string_view startedAt)
{
    return "rinvo " + std::string(version) + " — " + std::string(startedAt) + " 開始";
}

std::string copiedFile(std::string_view path)
{
    return "  コピー: " + std::string(path);
}

std::string failure(std::string_view line)
{
    return "  失敗: " + std::string(line);
}

std::string rowSkipped(std::size_t rowNumber, std::string_view reason)
{
    return cli::rowPrefix(rowNumber) + "省略 — " + std::string(reason);
}

std::string rowOutcome(std::size_t rowNumber, std::string_view outcome)
{
    return cli::rowPrefix(rowNumber) + std::string(outcome);
}

std::string endedAt(std::string_view time)
{
    return "終了: " + std::string(time);
}

} // namespace rinvo::logs

namespace rinvo {

std::string describeError(const FsError& error)
{
    // The other name leads, as the sentence reads: "README と大文字・小文字だけが…".
    if (error.kind == FsErrorKind::NameDiffersOnlyInCase)
        return error.message + " と" + describeErrorKind(error.kind);
    // Only the system's own wording, which is in the user's language, is added: the
    // program's notes on an error are English and belong to nobody's screen.
    std::string text = describeErrorKind(error.kind);
    if (error.systemWording && !error.message.empty())
        text.append(" (").append(error.message).append(")");
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
