#include "CommandLine.h"
#include "texts/Catalogue.h"

#include "CommandLineArguments.h"
#include "CopySummary.h"
#include "ProgressPrinter.h"
#include "TextMessageBox.h"
#include "app/CopyRun.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/StopRequest.h"
#include "rules/RuleFile.h"

#include <chrono>
#include <ctime>
#include <ostream>

namespace rinvo {

namespace {

using Clock = std::chrono::steady_clock;

// Returns the local time as "2026-12-09 02:30:00", for a run's header.
std::string localTimeNow()
{
    // The command line reads the clock on its one thread, so the shared result is safe.
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text;
}

int runCopy(const CommandLineArguments& arguments, const CommandLineContext& context)
{
    const std::string& source = arguments.paths[0];
    const std::string& destination = arguments.paths[1];
    if (!context.fs.fileExists(source) && !context.fs.folderExists(source)) {
        context.err << cli::ErrorPrefix << messages::sourceFolderMissing(source) << "\n";
        return ExitNotEverythingCopied;
    }
    // A backup drive that is not plugged in is never made anew on the system disk; a path
    // relative to the working folder has no drive of its own here.
    if (const auto drive = context.fs.driveOf(destination);
        drive && drive->starts_with('/') && !context.fs.driveExists(*drive)) {
        context.err << cli::ErrorPrefix << messages::destinationDriveMissing(*drive) << "\n";
        return ExitNotEverythingCopied;
    }
    const auto started = Clock::now();
    const CopyMode mode = arguments.dryRun ? CopyMode::DryRun : CopyMode::Copy;
    ProgressPrinter printer(
        context.out, mode == CopyMode::DryRun ? ProgressLine::Hidden : context.progressLine);
    const CopyReport report = CopyFolderTree(context.fs,
        { .source = source,
            .destination = destination,
            .option = arguments.option,
            .mode = mode,
            .stop = context.stop,
            .progress = [&](std::string_view folder, std::string_view name, std::uint64_t) {
                if (mode == CopyMode::DryRun)
                    context.out << "  " << joinPath(folder, name, context.fs.pathStyle()) << "\n";
                else
                    printer.fileCopied(name);
            } });
    printer.finish();
    if (arguments.dryRun)
        context.out << cli::DryRunNote << "\n";
    printCopySummary(context.out, context.err, report, Clock::now() - started);
    if (report.stopped) {
        context.out << cli::StoppedLine << "\n";
        return ExitStopped;
    }
    return report.CopyStatusFlags == 0 ? ExitSuccess : ExitNotEverythingCopied;
}

// Tells an unattended run's progress: each row as it starts and ends, and in a dry run every
// file that would be copied.
class PrintingObserver final : public CopyRunObserver
{
public:
    PrintingObserver(const CommandLineContext& context, const CopyRuleTable& rules, CopyMode mode)
        : m_context(context)
        , m_rules(rules)
        , m_mode(mode)
        , m_printer(
              context.out, mode == CopyMode::DryRun ? ProgressLine::Hidden : context.progressLine)
    { }

    void rowStarted(std::size_t row) override
    {
        m_context.out << cli::rowHeading(row + 1, m_rules[row].source, m_rules[row].destination)
                      << "\n";
    }

    void fileCopied(std::string_view folder, std::string_view name, std::uint64_t) override
    {
        if (m_mode == CopyMode::DryRun)
            m_context.out << "  " << joinPath(folder, name, m_context.fs.pathStyle()) << "\n";
        else
            m_printer.fileCopied(name);
    }

    void rowFinished(std::size_t row, const CopyReport& report) override
    {
        m_printer.finish();
        m_context.out << cli::rowSummary(row + 1, report.filesCopied, report.bytesCopied,
            report.filesUpToDate, report.entriesExcluded, report.failureCount,
            report.entriesNotExamined)
                      << "\n";
    }

private:
    const CommandLineContext& m_context;
    const CopyRuleTable& m_rules;
    CopyMode m_mode;
    ProgressPrinter m_printer;
};

int runRules(const CommandLineArguments& arguments, const CommandLineContext& context)
{
    const std::string ruleFile = arguments.rulesFile.value_or(context.ruleFile);
    if (!context.fs.fileExists(ruleFile)) {
        context.err << cli::ErrorPrefix << cli::ruleFileMissing(ruleFile) << "\n";
        return ExitBadArguments;
    }
    FsResult<CopyRuleTable> rules = LoadRuleFile(context.fs, ruleFile, context.codec);
    if (!rules) {
        context.err << cli::ErrorPrefix
                    << cli::ruleFileUnreadable(ruleFile, describeError(rules.error())) << "\n";
        return ExitBadArguments;
    }
    // A dated header, so a log of nightly runs tells when each ran.
    context.out << cli::runHeader(RINVO_VERSION, localTimeNow()) << "\n"
                << cli::ruleFileInUse(ruleFile) << "\n";
    const auto started = Clock::now();
    const CopyMode mode = arguments.dryRun ? CopyMode::DryRun : CopyMode::Copy;
    TextMessageBox messages(
        context.out, arguments.createMissing ? MessageAnswer::Yes : MessageAnswer::No);
    PrintingObserver observer(context, *rules, mode);
    CopyRun run(context.fs, messages, observer, mode, FolderCreation::WithParents);
    const CopyRunResult result = run.run(*rules, arguments.option, context.stop);
    if (arguments.dryRun)
        context.out << cli::DryRunNote << "\n";
    context.out << cli::rowCounts(result.rowsRun, result.rowsSkipped, result.rowsFailed) << "\n";
    printCopySummary(context.out, context.err, result.report, Clock::now() - started);
    if (result.stopped) {
        context.out << cli::StoppedLine << "\n";
        return ExitStopped;
    }
    const bool complete
        = result.AnyRowRun && result.rowsSkipped == 0 && result.report.CopyStatusFlags == 0;
    return complete ? ExitSuccess : ExitNotEverythingCopied;
}

} // namespace

bool isCommandLineRequest(const std::vector<std::string>& args)
{
    // NOTE: any argument at all goes to the command line, so a mistyped option is told about
    // and never opens the window.
    return !args.empty();
}

int runCommandLine(const std::vector<std::string>& args, const CommandLineContext& context)
{
    const std::optional<CommandLineArguments> arguments = parseCommandLine(args, context.err);
    if (!arguments) {
        context.err << CommandLineUsage;
        return ExitBadArguments;
    }
    if (arguments->version) {
        context.out << cli::versionLine(RINVO_VERSION) << "\n";
        return ExitSuccess;
    }
    if (arguments->help) {
        context.out << CommandLineUsage << cli::ruleFileInUse(context.ruleFile) << "\n";
        return ExitSuccess;
    }
    if (arguments->command == "copy")
        return runCopy(*arguments, context);
    return runRules(*arguments, context);
}

} // namespace rinvo
