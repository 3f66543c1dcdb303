#include "CommandLine.h"
#include "texts/Catalogue.h"

#include "CommandLineArguments.h"
#include "ProgressPrinter.h"
#include "TextMessageBox.h"
#include "app/CopyRun.h"
#include "app/IndexStore.h"
#include "app/RunLog.h"
#include "app/RunProgress.h"
#include "app/RunSummary.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/StopRequest.h"
#include "rules/RuleFile.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <ostream>

namespace rinvo {

namespace {

using Clock = std::chrono::steady_clock;

// Tells an unattended run's progress: each row as it starts and ends, the row's messages on
// the error stream with its number, and every file copied when asked to (always in a dry run).
class PrintingObserver final : public CopyRunObserver
{
public:
    // 'messages' is the box whose lines the row's number begins; null where there are no rows.
    PrintingObserver(const CommandLineContext& context, const CopyRuleTable& rules,
        const CommandLineArguments& arguments, TextMessageBox* messages)
        : m_context(context)
        , m_rules(rules)
        , m_messages(messages)
        , m_listFiles(arguments.dryRun || arguments.list)
        , m_printer(context.out, m_listFiles ? ProgressLine::Hidden : context.progressLine)
    { }

    void rowChecking(std::size_t row) override
    {
        if (m_messages)
            m_messages->setPrefix(cli::ErrorPrefix + cli::rowPrefix(row + 1));
    }

    void rowStarted(std::size_t row) override
    {
        m_context.out << cli::rowHeading(row + 1, m_rules[row].source, m_rules[row].destination)
                      << "\n";
    }

    void fileCopied(std::string_view folder, std::string_view name, std::uint64_t) override
    {
        if (m_listFiles)
            m_context.out << "  " << joinPath(folder, name, m_context.fs.pathStyle()) << "\n";
        else
            m_printer.fileCopied(name);
    }

    void fileRefused(std::string_view, std::string_view name) override
    {
        // The list names copied files only; the refusal is among the failures.
        if (!m_listFiles)
            m_printer.fileCopied(name);
    }

    void rowFinished(std::size_t row, const CopyReport& report) override
    {
        finishFiles();
        m_context.out << cli::rowSummary(row + 1, report.filesCopied, report.bytesCopied,
            report.filesUpToDate, report.entriesExcluded, report.failureCount,
            report.entriesNotExamined)
                      << "\n";
    }

    // Clears the progress line, so what follows starts on a clean one.
    void finishFiles() { m_printer.finish(); }

private:
    const CommandLineContext& m_context;
    const CopyRuleTable& m_rules;
    TextMessageBox* m_messages;
    bool m_listFiles;
    ProgressPrinter m_printer;
};

// The log of a run that writes, or nothing (said on the error stream) where it cannot be
// written; a dry run writes nothing, so it keeps no log either.
std::unique_ptr<RunLog> beginLog(const CommandLineArguments& arguments,
    const CommandLineContext& context, std::string origin, const CopyRuleTable& rules)
{
    if (arguments.dryRun || context.logFolder.empty())
        return nullptr;
    FsResult<std::unique_ptr<RunLog>> log = RunLog::begin(context.fs, context.logFolder,
        { .version = RINVO_VERSION,
            .startedAt = std::time(nullptr),
            .origin = std::move(origin),
            .rules = rules,
            .option = arguments.option,
            .list = arguments.list ? ListCopiedFiles::Yes : ListCopiedFiles::No });
    if (!log) {
        context.err << cli::ErrorPrefix
                    << messages::logNotWritten(context.logFolder, describeError(log.error()))
                    << "\n";
        return nullptr;
    }
    context.out << cli::logFileInUse((*log)->place().path) << "\n";
    return std::move(*log);
}

// Ends the log with the run's outcome; a write that failed on the way is told now.
void endLog(RunLog* log, const CopyRunResult& result, Clock::duration elapsed,
    const CommandLineContext& context)
{
    if (!log)
        return;
    log->end(result, elapsed, std::time(nullptr));
    const LogPlace place = log->place();
    if (place.problem)
        context.err << cli::ErrorPrefix
                    << messages::logNotWritten(place.path, describeError(*place.problem)) << "\n";
}

// Prints the counts, every failure on the error stream, and how the run ended; returns the
// exit status.
int finishRun(const CommandLineArguments& arguments, const CommandLineContext& context,
    const CopyRunResult& result, Clock::duration elapsed)
{
    if (arguments.dryRun)
        context.out << cli::DryRunNote << "\n";
    for (const std::string& line : countLines(result.report, elapsed))
        context.out << line << "\n";
    for (const std::string& line : failureLines(result.report))
        context.err << cli::ErrorPrefix << line << "\n";
    if (result.stopped) {
        context.out << cli::StoppedLine << "\n";
        return ExitStopped;
    }
    context.out << endMessage(result) << "\n";
    const bool complete
        = result.AnyRowRun && result.rowsSkipped == 0 && result.report.CopyStatusFlags == 0;
    return complete ? ExitSuccess : ExitNotEverythingCopied;
}

int runCopy(const CommandLineArguments& arguments, const CommandLineContext& context)
{
    CopyRuleTable rules;
    rules[0] = { arguments.paths[0], arguments.paths[1] };
    const CopyRule& rule = rules[0];
    const auto started = Clock::now();
    const std::unique_ptr<RunLog> log = beginLog(arguments, context, {}, rules);
    CopyRunResult result;
    // A backup drive that is not plugged in is never made anew on the system disk; a path
    // relative to the working folder has no drive of its own here.
    std::optional<std::string> refusal;
    if (!context.fs.fileExists(rule.source) && !context.fs.folderExists(rule.source))
        refusal = messages::sourceFolderMissing(rule.source);
    else if (const auto drive = context.fs.driveOf(rule.destination);
             drive && drive->starts_with('/') && !context.fs.driveExists(*drive))
        refusal = messages::destinationDriveMissing(*drive);
    if (refusal) {
        context.err << cli::ErrorPrefix << *refusal << "\n";
        if (log)
            log->rowSkipped(0, *refusal);
        result.rowsSkipped = 1;
        endLog(log.get(), result, Clock::now() - started, context);
        return ExitNotEverythingCopied;
    }
    // One copy has no rows to tell apart: only its files are printed, and only its log has
    // the row.
    PrintingObserver printer(context, rules, arguments, nullptr);
    if (log)
        log->rowStarted(0);
    const IndexStore indexes(context.fs, context.indexFolder);
    const bool indexed = indexes.keepsIndexes() && !arguments.dryRun;
    DestinationIndex index
        = indexed ? indexes.load(rule.source, rule.destination) : DestinationIndex {};
    const CopyReport report = CopyFolderTree(context.fs,
        { .source = rule.source,
            .destination = rule.destination,
            .option = arguments.option,
            .mode = arguments.dryRun ? CopyMode::DryRun : CopyMode::Copy,
            .stop = context.stop,
            .progress =
                [&](std::string_view folder, std::string_view name, std::uint64_t bytes,
                    FileOutcome outcome) {
                    if (outcome == FileOutcome::Refused) {
                        printer.fileRefused(folder, name);
                        return;
                    }
                    printer.fileCopied(folder, name, bytes);
                    if (log)
                        log->fileCopied(folder, name, bytes);
                },
            .failed =
                [&](std::string_view path, const FsError& error) {
                    if (log)
                        log->failed(path, error);
                },
            .index = indexed ? &index : nullptr,
            .fullPass = arguments.fullCheck });
    if (indexed)
        indexes.save(rule.source, rule.destination, index);
    printer.finishFiles();
    if (log)
        log->rowFinished(0, report);
    result.addRow(report);
    const auto elapsed = Clock::now() - started;
    endLog(log.get(), result, elapsed, context);
    return finishRun(arguments, context, result, elapsed);
}

int runRules(const CommandLineArguments& arguments, const CommandLineContext& context)
{
    const std::string ruleFile = arguments.rulesFile.value_or(context.ruleFile);
    if (!context.fs.fileExists(ruleFile)) {
        context.err << cli::ErrorPrefix << cli::ruleFileMissing(ruleFile) << "\n";
        return ExitBadArguments;
    }
    RuleFileEncoding readAs = RuleFileEncoding::SystemCodePage;
    FsResult<CopyRuleTable> rules = LoadRuleFile(context.fs, ruleFile, context.codec, &readAs);
    if (!rules) {
        context.err << cli::ErrorPrefix
                    << cli::ruleFileUnreadable(ruleFile, describeError(rules.error())) << "\n";
        return ExitBadArguments;
    }
    // A dated header, so a log of nightly runs tells when each ran.
    context.out << logs::runHeader(RINVO_VERSION, readableLocalTime(std::time(nullptr))) << "\n"
                << cli::ruleFileInUse(ruleFile) << "\n";
    if (const auto notice = describeRuleFileEncoding(readAs, context.codec)) {
        TextMessageBox told(context.err, MessageAnswer::No);
        told.setPrefix(cli::ErrorPrefix);
        told.show(*notice, MessageButtons::Ok);
    }
    if (filledRows(*rules) == 0)
        context.err << cli::ErrorPrefix << cli::ruleFileEmpty(ruleFile) << "\n";
    const auto started = Clock::now();
    const std::unique_ptr<RunLog> log
        = beginLog(arguments, context, cli::ruleFileInUse(ruleFile), *rules);
    TextMessageBox messages(
        context.err, arguments.createMissing ? MessageAnswer::Yes : MessageAnswer::No);
    PrintingObserver printer(context, *rules, arguments, &messages);
    std::optional<ObserverPair> logged;
    if (log)
        logged.emplace(printer, *log);
    CopyRunObserver& printing = printer;
    CopyRunObserver& observer = logged ? *logged : printing;
    const CopyMode mode = arguments.dryRun ? CopyMode::DryRun : CopyMode::Copy;
    CopyRun run(context.fs, messages, observer, mode, FolderCreation::WithParents);
    const IndexStore indexes(context.fs, context.indexFolder);
    run.useIndexes(indexes, arguments.fullCheck);
    const CopyRunResult result = run.runRows(*rules, arguments.option, context.stop);
    const auto elapsed = Clock::now() - started;
    endLog(log.get(), result, elapsed, context);
    context.out << cli::rowCounts(result.rowsRun, result.rowsSkipped, result.rowsFailed) << "\n";
    return finishRun(arguments, context, result, elapsed);
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
        context.out << CommandLineUsage << cli::ruleFileInUse(context.ruleFile) << "\n"
                    << cli::logFolderInUse(context.logFolder) << "\n";
        return ExitSuccess;
    }
    if (arguments->command == "copy")
        return runCopy(*arguments, context);
    return runRules(*arguments, context);
}

} // namespace rinvo
