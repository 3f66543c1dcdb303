#include "CommandLineArguments.h"

#include "texts/Catalogue.h"

#include <ostream>
#include <utility>

namespace rinvo {

const char* const CommandLineUsage = cli::Usage;

namespace {

// Splits "--name=value" into its name and value; other arguments have no value of their own.
std::pair<std::string, std::optional<std::string>> splitOption(const std::string& arg)
{
    const std::size_t equals = arg.find('=');
    if (!arg.starts_with("--") || equals == std::string::npos)
        return { arg, std::nullopt };
    return { arg.substr(0, equals), arg.substr(equals + 1) };
}

} // namespace

std::optional<CommandLineArguments> parseCommandLine(
    const std::vector<std::string>& args, std::ostream& err)
{
    CommandLineArguments parsed;
    auto fail = [&](const std::string& why) -> std::optional<CommandLineArguments> {
        err << cli::ErrorPrefix << why << "\n";
        return std::nullopt;
    };
    if (args.size() == 1 && (args[0] == "--version" || args[0] == "-V")) {
        parsed.version = true;
        return parsed;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        parsed.help = true;
        return parsed;
    }
    if (args.empty() || (args[0] != "copy" && args[0] != "run")) {
        if (args.empty())
            return std::nullopt;
        return args[0].starts_with("-") ? fail(cli::unknownOption(args[0]))
                                        : fail(cli::unknownCommand(args[0]));
    }
    parsed.command = args[0];
    const bool isRun = parsed.command == "run";
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with("-") || arg == "-") {
            parsed.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto [name, inlineValue] = splitOption(arg);
        // An option's value follows it, or stands after its "=".
        auto value = [&, inlineValue = inlineValue]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        if ((name == "--help" || name == "-h") && !inlineValue) {
            parsed.help = true;
        } else if (name == "--option") {
            const std::optional<std::string> chosen = value();
            if (!chosen || chosen->size() != 1 || (*chosen)[0] < '1' || (*chosen)[0] > '3')
                return fail(cli::OptionValueWanted);
            parsed.option = static_cast<CopyOption>((*chosen)[0] - '0');
        } else if (isRun && name == "--rules") {
            const std::optional<std::string> file = value();
            if (!file || file->empty())
                return fail(cli::RulesFileWanted);
            parsed.rulesFile = *file;
        } else if (isRun && name == "--create-missing" && !inlineValue) {
            parsed.createMissing = true;
        } else if (name == "--dry-run" && !inlineValue) {
            parsed.dryRun = true;
        } else if (name == "--list" && !inlineValue) {
            parsed.list = true;
        } else if (name == "--full-check" && !inlineValue) {
            parsed.fullCheck = true;
        } else {
            return fail(cli::unknownOption(arg));
        }
    }
    if (parsed.help)
        return parsed;
    const std::size_t wantedPaths = isRun ? 0 : 2;
    if (parsed.paths.size() != wantedPaths)
        return fail(isRun ? cli::RunTakesNoPaths : cli::CopyTakesTwoPaths);
    for (const std::string& path : parsed.paths) {
        if (path.empty())
            return fail(cli::EmptyPath);
    }
    return parsed;
}

} // namespace rinvo
