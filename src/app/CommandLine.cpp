#include "CommandLine.h"

#include "CopySummary.h"
#include "ProgressPrinter.h"
#include "copy/CopyFolderTree.h"
#include "platform/FileSystem.h"

#include <chrono>
#include <optional>
#include <ostream>

namespace rinvo {

namespace {

constexpr const char* Usage
    = "使い方: rinvo copy コピー元 コピー先 [--option 1|2|3]\n"
      "  コピー元のフォルダ (またはファイル) をコピー先のフォルダへコピーします。\n"
      "  コピー先に無いファイルと、コピー先より新しいファイルだけをコピーします。\n"
      "  --option 1  隠しファイルもシステムファイルもコピーしない\n"
      "  --option 2  システムファイルはコピーしない (既定)\n"
      "  --option 3  すべてのファイルをコピーする\n";

struct CopyArguments
{
    std::string source;
    std::string destination;
    CopyOption option = DefaultCopyOption;
};

std::optional<CopyArguments> parseCopyArguments(
    const std::vector<std::string>& args, std::ostream& err)
{
    CopyArguments parsed;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--option") {
            if (i + 1 >= args.size() || args[i + 1].size() != 1 || args[i + 1][0] < '1'
                || args[i + 1][0] > '3') {
                err << "--option には 1、2、3 のいずれかを指定して下さい。\n";
                return std::nullopt;
            }
            parsed.option = static_cast<CopyOption>(args[++i][0] - '0');
        } else if (arg.starts_with("--") && arg != "--") {
            err << "不明なオプションです: " << arg << "\n";
            return std::nullopt;
        } else {
            paths.push_back(arg);
        }
    }
    if (paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        err << "コピー元とコピー先を一つずつ指定して下さい。\n";
        return std::nullopt;
    }
    parsed.source = paths[0];
    parsed.destination = paths[1];
    return parsed;
}

int runCopy(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out,
    std::ostream& err, ProgressLine progressLine)
{
    auto parsed = parseCopyArguments(args, err);
    if (!parsed) {
        err << Usage;
        return ExitBadArguments;
    }
    if (!fs.fileExists(parsed->source) && !fs.folderExists(parsed->source)) {
        err << "コピー元フォルダ " << parsed->source << " が存在しません。正しく設定して下さい。\n";
        return ExitNotEverythingCopied;
    }
    const auto started = std::chrono::steady_clock::now();
    CopyReport report;
    ProgressPrinter printer(out, progressLine);
    CopyFolderTree(fs, parsed->source, parsed->destination, parsed->option, report,
        [&](std::string_view name) { printer.fileCopied(name, report); });
    printer.finish();
    printCopySummary(out, report, std::chrono::steady_clock::now() - started);
    return report.CopyStatusFlags == 0 ? ExitSuccess : ExitNotEverythingCopied;
}

} // namespace

bool isCommandLineRequest(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    const std::string& first = args[0];
    return first == "copy" || first == "--help" || first == "-h"
        || (!first.empty() && first[0] != '-');
}

int runCommandLine(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out,
    std::ostream& err, ProgressLine progressLine)
{
    if (!args.empty() && args[0] == "copy")
        return runCopy(args, fs, out, err, progressLine);
    err << Usage;
    return ExitBadArguments;
}

} // namespace rinvo
