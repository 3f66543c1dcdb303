#include "CopyRun.h"

#include "FolderPath.h"
#include "IndexStore.h"
#include "MessageBoxService.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "texts/Catalogue.h"

#include <algorithm>

namespace rinvo {

CopyRun::CopyRun(FileSystem& fs, MessageBoxService& messages, CopyRunObserver& observer,
    CopyMode mode, FolderCreation creation)
    : m_fs(fs)
    , m_messages(messages)
    , m_observer(observer)
    , m_mode(mode)
    , m_creation(creation)
{ }

void CopyRun::useIndexes(const IndexStore& store, bool fullPass)
{
    m_indexes = store.keepsIndexes() ? &store : nullptr;
    m_fullPass = fullPass;
}

std::optional<std::string> CopyRun::whyNotCopied(const CopyRule& rule)
{
    const std::string& source = rule.source;
    const std::string& destination = rule.destination;
    auto tell = [this](std::string reason) {
        m_messages.show(reason, MessageButtons::Ok);
        return std::optional<std::string>(std::move(reason));
    };
    // NOTE: on POSIX the drive of a path below a removable drive's folder (or a configured
    // mount point) is that folder, so an absent backup drive is told and never made anew.
    if (const auto drive = m_fs.driveOf(source); drive && !m_fs.driveExists(*drive))
        return tell(messages::sourceDriveMissing(*drive));
    // A single file goes straight to the copy; nothing about the destination is tested.
    if (m_fs.fileExists(source))
        return std::nullopt;
    if (!m_fs.folderExists(source))
        return tell(messages::sourceFolderMissing(source));
    if (const auto drive = m_fs.driveOf(destination); drive && !m_fs.driveExists(*drive))
        return tell(messages::destinationDriveMissing(*drive));
    if (m_fs.folderExists(destination))
        return std::nullopt;
    const std::string question = messages::createDestinationQuestion(destination);
    if (m_messages.show(question, MessageButtons::YesNoDefaultYes) != MessageAnswer::Yes)
        return question + " → " + texts::No;
    if (m_mode == CopyMode::DryRun)
        return std::nullopt;
    // NOTE: a folder that cannot be made (missing parent, no permission, invalid name) is told,
    // and the row is skipped like the other failed checks.
    FsStatus failed = m_creation == FolderCreation::WithParents
        ? createFolderPath(m_fs, destination)
        : m_fs.createFolder(destination);
    // A folder that another run made meanwhile is as good as one made here.
    if (failed && failed->kind == FsErrorKind::AlreadyExists && m_fs.folderExists(destination))
        failed.reset();
    if (failed)
        return tell(messages::destinationNotCreated(destination, describeError(*failed)));
    return std::nullopt;
}

void CopyRunResult::addRow(const CopyReport& rowReport)
{
    report.merge(rowReport);
    AnyRowRun = true;
    ++rowsRun;
    if (rowReport.failureCount > 0)
        ++rowsFailed;
    stopped = stopped || rowReport.stopped;
}

const char* endMessage(const CopyRunResult& result)
{
    return result.stopped  ? messages::CopyStopped
        : result.AnyRowRun ? messages::CopyDone
                           : messages::NothingCopied;
}

void ObserverPair::rowChecking(std::size_t row)
{
    m_first.rowChecking(row);
    m_second.rowChecking(row);
}

void ObserverPair::rowSkipped(std::size_t row, std::string_view reason)
{
    m_first.rowSkipped(row, reason);
    m_second.rowSkipped(row, reason);
}

void ObserverPair::rowStarted(std::size_t row)
{
    m_first.rowStarted(row);
    m_second.rowStarted(row);
}

void ObserverPair::fileCopied(
    std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes)
{
    m_first.fileCopied(sourceFolder, fileName, bytes);
    m_second.fileCopied(sourceFolder, fileName, bytes);
}

void ObserverPair::fileRefused(std::string_view sourceFolder, std::string_view fileName)
{
    m_first.fileRefused(sourceFolder, fileName);
    m_second.fileRefused(sourceFolder, fileName);
}

void ObserverPair::failed(std::string_view path, const FsError& error)
{
    m_first.failed(path, error);
    m_second.failed(path, error);
}

void ObserverPair::rowFinished(std::size_t row, const CopyReport& report)
{
    m_first.rowFinished(row, report);
    m_second.rowFinished(row, report);
}

CopyRunResult CopyRun::run(const CopyRuleTable& rules, CopyOption option, const StopRequest* stop)
{
    const CopyRunResult result = runRows(rules, option, stop);
    tellRunOutcome(m_messages, result);
    return result;
}

CopyRunResult CopyRun::runRows(
    const CopyRuleTable& rules, CopyOption option, const StopRequest* stop)
{
    CopyRunResult result;
    const CopyProgress progress = [this](std::string_view folder, std::string_view name,
                                      std::uint64_t bytes, FileOutcome outcome) {
        if (outcome == FileOutcome::Copied)
            m_observer.fileCopied(folder, name, bytes);
        else
            m_observer.fileRefused(folder, name);
    };
    // Each row is finished, its copy included, before the next is read.
    for (std::size_t row = 0; row < rules.size(); ++row) {
        const CopyRule& rule = rules[row];
        if (rule.source.empty() || rule.destination.empty())
            continue;
        // NOTE: rows after a stop are not started, nor checked.
        if (stopRequested(stop)) {
            result.stopped = true;
            break;
        }
        m_observer.rowChecking(row);
        if (const auto reason = whyNotCopied(rule)) {
            m_observer.rowSkipped(row, *reason);
            ++result.rowsSkipped;
            continue;
        }
        m_observer.rowStarted(row);
        const bool indexed = m_indexes && m_mode == CopyMode::Copy;
        DestinationIndex index
            = indexed ? m_indexes->load(rule.source, rule.destination) : DestinationIndex {};
        const CopyReport rowReport = CopyFolderTree(m_fs,
            { .source = rule.source,
                .destination = rule.destination,
                .option = option,
                .mode = m_mode,
                .stop = stop,
                .progress = progress,
                .failed = [this](std::string_view path,
                              const FsError& error) { m_observer.failed(path, error); },
                .index = indexed ? &index : nullptr,
                .fullPass = m_fullPass });
        if (indexed)
            m_indexes->save(rule.source, rule.destination, index);
        m_observer.rowFinished(row, rowReport);
        result.addRow(rowReport);
        if (result.stopped)
            break;
    }
    return result;
}

void tellRunOutcome(MessageBoxService& box, const CopyRunResult& result, const LogPlace* log)
{
    const CopyReport& report = result.report;
    // NOTE: the read-only notice says a read-only file was to be overwritten, so it is shown
    // only for a destination that refused a write; every failure, that one included, is then
    // counted and named in the failure notice, which tells where the log keeps them all.
    if (report.CopyStatusFlags & PermissionDeniedBit)
        box.show(messages::ReadOnlyNotice, MessageButtons::Ok);
    if (report.failureCount > 0) {
        std::string notice = messages::notEverythingCopied(report.failureCount);
        const std::size_t named = std::min(report.failures.size(), FailuresNamed);
        for (std::size_t i = 0; i < named; ++i) {
            const CopyFailure& failure = report.failures[i];
            notice += '\n';
            notice += describeFailedPath(failure.path, failure.error.side);
            notice += std::string(" (") + describeErrorKind(failure.error.kind) + ")";
        }
        if (report.failureCount > named) {
            notice += '\n';
            notice += messages::moreFailures(report.failureCount - named);
        }
        if (log) {
            notice += "\n\n";
            notice += log->problem
                ? messages::logNotWritten(log->path, describeError(*log->problem))
                : messages::logWrittenTo(log->path);
        }
        box.show(notice, MessageButtons::Ok);
    }
    box.show(endMessage(result), MessageButtons::Ok);
}

} // namespace rinvo
