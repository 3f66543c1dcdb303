#include "CommandLineArguments.h"

#include <ostream>

namespace rinvo {

const char* const CommandLineUsage
    = "使い方: rinvo copy コピー元 コピー先 [--option 1|2|3]\n"
      "        rinvo run [--rules 設定ファイル] [--option 1|2|3] [--create-missing] [--dry-run]\n"
      "  copy: コピー元のフォルダ (またはファイル) をコピー先のフォルダへコピーします。\n"
      "  run:  設定ファイル (既定はプログラムと同じフォルダの copyrule.txt) のすべての手順で\n"
      "        コピーします。\n"
      "  コピー先に無いファイルと、コピー先より新しいファイルだけをコピーします。\n"
      "  --option 1          隠しファイルもシステムファイルもコピーしない\n"
      "  --option 2          システムファイルはコピーしない (既定)\n"
      "  --option 3          すべてのファイルをコピーする\n"
      "  --create-missing    存在しないコピー先フォルダを作成する (run)\n"
      "  --dry-run           コピーするファイルを表示するだけで、何も書き込まない (run)\n";

std::optional<CommandLineArguments> parseCommandLine(
    const std::vector<std::string>& args, std::ostream& err)
{
    CommandLineArguments parsed;
    if (args.empty() || (args[0] != "copy" && args[0] != "run")) {
        if (!args.empty() && args[0] != "--help" && args[0] != "-h")
            err << "不明なコマンドです: " << args[0] << "\n";
        return std::nullopt;
    }
    parsed.command = args[0];
    const bool isRun = parsed.command == "run";
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--option") {
            const std::string value = hasValue ? args[++i] : std::string();
            if (value.size() != 1 || value[0] < '1' || value[0] > '3') {
                err << "--option には 1、2、3 のいずれかを指定して下さい。\n";
                return std::nullopt;
            }
            parsed.option = static_cast<CopyOption>(value[0] - '0');
        } else if (isRun && arg == "--rules") {
            if (!hasValue) {
                err << "--rules には設定ファイルを指定して下さい。\n";
                return std::nullopt;
            }
            parsed.rulesFile = args[++i];
        } else if (isRun && arg == "--create-missing") {
            parsed.createMissing = true;
        } else if (isRun && arg == "--dry-run") {
            parsed.dryRun = true;
        } else if (arg.starts_with("--") && arg != "--") {
            err << "不明なオプションです: " << arg << "\n";
            return std::nullopt;
        } else {
            parsed.paths.push_back(arg);
        }
    }
    const std::size_t wantedPaths = isRun ? 0 : 2;
    if (parsed.paths.size() != wantedPaths) {
        err << (isRun ? "run はパスを取りません。\n"
                      : "コピー元とコピー先を一つずつ指定して下さい。\n");
        return std::nullopt;
    }
    for (const std::string& path : parsed.paths) {
        if (path.empty()) {
            err << "空のパスは指定できません。\n";
            return std::nullopt;
        }
    }
    return parsed;
}

} // namespace rinvo
