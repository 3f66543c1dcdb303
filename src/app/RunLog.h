#pragma once

#include "CopyRun.h"

#include "platform/FileSystem.h"

#include <chrono>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace rinvo {

/// Whether a run's log names every copied file, as the command line's --list asks.
enum class ListCopiedFiles {
    No,
    Yes,
};

/// What a run's log tells before its rows.
struct RunLogHeading
{
    std::string version;
    std::time_t startedAt = 0;
    /// Where the rows come from, a line of its own; empty for none.
    std::string origin;
    CopyRuleTable rules;
    CopyOption option = DefaultCopyOption;
    ListCopiedFiles list = ListCopiedFiles::No;
};

/// The log of one run, in UTF-8, written as the run goes so a run that dies keeps what it did:
/// a dated heading, each row with its paths and outcome (copied, skipped and why, stopped,
/// ended by its destination), every failure with its side and reason as it happens, and at the
/// end the counts and the time taken. The walk's threads may report to it at once.
class RunLog final : public CopyRunObserver
{
public:
    /// Creates the run's log in the folder (made if missing; see createRunLog), deletes the
    /// logs beyond the newest KeptLogs and writes the heading.
    static FsResult<std::unique_ptr<RunLog>> begin(
        FileSystem& fs, std::string_view folder, const RunLogHeading& heading);

    /// Where the log is, and the first write that failed, after which it writes nothing more.
    LogPlace place() const;

    void rowSkipped(std::size_t row, std::string_view reason) override;
    void rowStarted(std::size_t row) override;
    void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes) override;
    void failed(std::string_view path, const FsError& error) override;
    void rowFinished(std::size_t row, const CopyReport& report) override;

    /// Writes the run's counts, the time it took and when it ended.
    void end(const CopyRunResult& result, std::chrono::steady_clock::duration elapsed,
        std::time_t endedAt);

private:
    RunLog(FileSystem& fs, std::string path, std::unique_ptr<FileWriter> writer,
        const RunLogHeading& heading);
    // Appends one line.
    void write(std::string_view line);

    FileSystem& m_fs;
    const std::string m_path;
    const CopyRuleTable m_rules;
    const ListCopiedFiles m_list;
    mutable std::mutex m_mutex;
    std::unique_ptr<FileWriter> m_writer;
    std::optional<FsError> m_problem;
};

/// "2026-12-10 15:30:00": a moment in the user's time zone, as logs and the command line show it.
std::string readableLocalTime(std::time_t moment);

} // namespace rinvo
