#include "CommandLineArguments.h"

#include "texts/Catalogue.h"

#include <ostream>

namespace rinvo {

const char* const CommandLineUsage = cli::Usage;

std::optional<CommandLineArguments> parseCommandLine(
    const std::vector<std::string>& args, std::ostream& err)
{
    CommandLineArguments parsed;
    if (args.empty() || (args[0] != "copy" && args[0] != "run")) {
        if (!args.empty() && args[0] != "--help" && args[0] != "-h")
            err << cli::unknownCommand(args[0]) << "\n";
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
                err << cli::OptionValueWanted << "\n";
                return std::nullopt;
            }
            parsed.option = static_cast<CopyOption>(value[0] - '0');
        } else if (isRun && arg == "--rules") {
            if (!hasValue) {
                err << cli::RulesFileWanted << "\n";
                return std::nullopt;
            }
            parsed.rulesFile = args[++i];
        } else if (isRun && arg == "--create-missing") {
            parsed.createMissing = true;
        } else if (isRun && arg == "--dry-run") {
            parsed.dryRun = true;
        } else if (arg.starts_with("--") && arg != "--") {
            err << cli::unknownOption(arg) << "\n";
            return std::nullopt;
        } else {
            parsed.paths.push_back(arg);
        }
    }
    const std::size_t wantedPaths = isRun ? 0 : 2;
    if (parsed.paths.size() != wantedPaths) {
        err << (isRun ? cli::RunTakesNoPaths : cli::CopyTakesTwoPaths) << "\n";
        return std::nullopt;
    }
    for (const std::string& path : parsed.paths) {
        if (path.empty()) {
            err << cli::EmptyPath << "\n";
            return std::nullopt;
        }
    }
    return parsed;
}

} // namespace rinvo
