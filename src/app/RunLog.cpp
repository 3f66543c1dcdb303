#include "RunLog.h"

#include "LogFolder.h"
#include "RunSummary.h"

#include "platform/LocalTime.h"
#include "platform/PathRules.h"
#include "texts/Catalogue.h"

#include <algorithm>

namespace rinvo {

namespace {

const char* optionName(CopyOption option)
{
    switch (option) {
    case CopyOption::SkipHiddenAndSystem:
        return texts::SkipHiddenAndSystemEntry;
    case CopyOption::SkipSystem:
        return texts::SkipSystemEntry;
    case CopyOption::CopyEverything:
        break;
    }
    return texts::CopyEverythingEntry;
}

const char* rowOutcome(const CopyReport& report)
{
    if (report.stopped)
        return logs::RowStopped;
    if (report.endedByDestination)
        return logs::RowEndedByDestination;
    return report.failureCount > 0 ? logs::RowWithFailures : logs::RowDone;
}

} // namespace

std::string readableLocalTime(std::time_t moment)
{
    const std::tm local = localTime(moment);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

FsResult<std::unique_ptr<RunLog>> RunLog::begin(
    FileSystem& fs, std::string_view folder, const RunLogHeading& heading)
{
    if (folder.empty())
        return FsError { FsErrorKind::PathNotFound, "no log folder" };
    FsResult<NewLog> created = createRunLog(fs, folder, localTime(heading.startedAt));
    if (!created)
        return created.error();
    pruneRunLogs(fs, folder, lastComponent(created->path, fs.pathStyle()));
    std::unique_ptr<RunLog> log(
        new RunLog(fs, std::move(created->path), std::move(created->writer), heading));
    log->write(logs::runHeader(heading.version, readableLocalTime(heading.startedAt)));
    if (!heading.origin.empty())
        log->write(heading.origin);
    log->write(logs::CopyOptionLabel + std::string(optionName(heading.option)));
    return log;
}

RunLog::RunLog(FileSystem& fs, std::string path, std::unique_ptr<FileWriter> writer,
    const RunLogHeading& heading)
    : m_fs(fs)
    , m_path(std::move(path))
    , m_rules(heading.rules)
    , m_list(heading.list)
    , m_writer(std::move(writer))
{ }

LogPlace RunLog::place() const
{
    std::lock_guard lock(m_mutex);
    return { m_path, m_problem };
}

void RunLog::write(std::string_view line)
{
    // A message of several lines, or a name with a line break in it, stays on its one line, so
    // every line of the log begins as its kind does.
    std::string text(line);
    std::replace(text.begin(), text.end(), '\n', ' ');
    text += '\n';
    std::lock_guard lock(m_mutex);
    if (m_problem)
        return;
    // One call per line, so lines from several threads never interleave.
    if (FsStatus failed = m_writer->append(text))
        m_problem = std::move(failed);
}

void RunLog::rowSkipped(std::size_t row, std::string_view reason)
{
    write(cli::rowHeading(row + 1, m_rules[row].source, m_rules[row].destination));
    write(logs::rowSkipped(row + 1, reason));
}

void RunLog::rowStarted(std::size_t row)
{
    write(cli::rowHeading(row + 1, m_rules[row].source, m_rules[row].destination));
}

void RunLog::fileCopied(std::string_view sourceFolder, std::string_view fileName, std::uint64_t)
{
    if (m_list == ListCopiedFiles::Yes)
        write(logs::copiedFile(joinPath(sourceFolder, fileName, m_fs.pathStyle())));
}

void RunLog::failed(std::string_view path, const FsError& error)
{
    write(logs::failure(describeFailedPath(path, error.side) + ": " + describeError(error)));
}

void RunLog::rowFinished(std::size_t row, const CopyReport& report)
{
    write(logs::rowOutcome(row + 1, rowOutcome(report)));
    write(cli::rowSummary(row + 1, report.filesCopied, report.bytesCopied, report.filesUpToDate,
        report.entriesExcluded, report.failureCount, report.entriesNotExamined));
}

void RunLog::end(
    const CopyRunResult& result, std::chrono::steady_clock::duration elapsed, std::time_t endedAt)
{
    write(cli::rowCounts(result.rowsRun, result.rowsSkipped, result.rowsFailed));
    for (const std::string& line : countLines(result.report, elapsed))
        write(line);
    write(endMessage(result));
    write(logs::endedAt(readableLocalTime(endedAt)));
}

} // namespace rinvo
