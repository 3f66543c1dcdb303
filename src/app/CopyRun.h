#pragma once

#include "copy/CopyFolderTree.h"
#include "rules/CopyRule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rinvo {

class IndexStore;

class FileSystem;
class MessageBoxService;

/// Hears what a copy run does, row by row; fileCopied, fileRefused and failed may come from a
/// helper thread's walk, one call at a time.
class CopyRunObserver
{
public:
    virtual ~CopyRunObserver() = default;
    /// A filled row's checks begin; what they tell the user concerns this row.
    virtual void rowChecking(std::size_t) { }
    /// A row failed its checks, for the reason told to the user.
    virtual void rowSkipped(std::size_t, std::string_view /*reason*/) { }
    /// A row passed its checks and its copy begins.
    virtual void rowStarted(std::size_t row) = 0;
    /// A file was copied in the running row, with the bytes copied.
    virtual void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes)
        = 0;
    /// A file's copy was tried and refused with permission denied (a read-only target); the
    /// window shows it as the file it copies.
    virtual void fileRefused(std::string_view /*sourceFolder*/, std::string_view /*fileName*/) { }
    /// Something failed in the running row, as it happened; the row's report keeps the first
    /// failures only.
    virtual void failed(std::string_view /*path*/, const FsError& /*error*/) { }
    /// The row's copy ended with this report.
    virtual void rowFinished(std::size_t row, const CopyReport& report) = 0;
};

/// Tells two observers, in turn, all that a run does.
class ObserverPair final : public CopyRunObserver
{
public:
    ObserverPair(CopyRunObserver& first, CopyRunObserver& second)
        : m_first(first)
        , m_second(second)
    { }
    void rowChecking(std::size_t row) override;
    void rowSkipped(std::size_t row, std::string_view reason) override;
    void rowStarted(std::size_t row) override;
    void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes) override;
    void fileRefused(std::string_view sourceFolder, std::string_view fileName) override;
    void failed(std::string_view path, const FsError& error) override;
    void rowFinished(std::size_t row, const CopyReport& report) override;

private:
    CopyRunObserver& m_first;
    CopyRunObserver& m_second;
};

/// What a copy run did.
struct CopyRunResult
{
    /// At least one row passed its checks and was copied.
    bool AnyRowRun = false;
    /// How many filled rows were copied, were skipped by their checks, and had failures.
    std::size_t rowsRun = 0;
    std::size_t rowsSkipped = 0;
    std::size_t rowsFailed = 0;
    /// The user stopped the run; the rows after the one running then were not started.
    bool stopped = false;
    /// The rows' reports summed; CopyStatusFlags among them.
    CopyReport report;

    /// Counts a row that was copied, with its report.
    void addRow(const CopyReport& rowReport);
};

/// The run's last message: that it was stopped, done, or that nothing was copied.
const char* endMessage(const CopyRunResult& result);

/// How a missing destination folder is made once the user agrees.
enum class FolderCreation {
    /// That one folder; its parent must exist.
    OneLevel,
    /// With every missing folder above it, as mkdir -p does.
    WithParents,
};

/// How many failed paths the closing notice names before it counts the rest.
inline constexpr std::size_t FailuresNamed = 5;

/// Where a run's log went, for the end messages: its path, or why it could not be written.
struct LogPlace
{
    std::string path;
    std::optional<FsError> problem;
};

/// One backup of every filled rule row: each row is checked (source drive and folder,
/// destination drive and folder, offering to create a missing one), copied, and the outcome is
/// told at the end. The save question and closing the window are the caller's.
class CopyRun
{
public:
    CopyRun(FileSystem& fs, MessageBoxService& messages, CopyRunObserver& observer,
        CopyMode mode = CopyMode::Copy, FolderCreation creation = FolderCreation::OneLevel);

    /// Keeps each row's destination index in the store, so a re-run lists only the destination
    /// folders that changed; 'fullPass' lists them all this time. A dry run uses none.
    void useIndexes(const IndexStore& store, bool fullPass);

    /// Runs every filled row, then tells the outcome; a stop request ends the run after the
    /// file being copied.
    CopyRunResult run(
        const CopyRuleTable& rules, CopyOption option, const StopRequest* stop = nullptr);
    /// Runs every filled row without telling the outcome.
    CopyRunResult runRows(
        const CopyRuleTable& rules, CopyOption option, const StopRequest* stop = nullptr);

private:
    // Tells the user why the row cannot be copied and returns that reason; nothing for a row
    // that passes.
    std::optional<std::string> whyNotCopied(const CopyRule& rule);

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    CopyRunObserver& m_observer;
    CopyMode m_mode;
    FolderCreation m_creation;
    const IndexStore* m_indexes = nullptr;
    bool m_fullPass = false;
};

/// Tells the outcome of a run at its end: the read-only notice, the failures with their count
/// and where the log is, then that the copy was done, stopped, or that nothing was copied.
void tellRunOutcome(
    MessageBoxService& box, const CopyRunResult& result, const LogPlace* log = nullptr);

} // namespace rinvo
