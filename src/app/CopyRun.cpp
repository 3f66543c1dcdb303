#include "CopyRun.h"

#include "FolderPath.h"

#include "MessageBoxService.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "texts/Catalogue.h"

namespace rinvo {

CopyRun::CopyRun(FileSystem& fs, MessageBoxService& messages, CopyRunObserver& observer,
    CopyMode mode, FolderCreation creation)
    : m_fs(fs)
    , m_messages(messages)
    , m_observer(observer)
    , m_mode(mode)
    , m_creation(creation)
{ }

bool CopyRun::checkRow(const CopyRule& rule)
{
    const std::string& source = rule.source;
    const std::string& destination = rule.destination;
    // NOTE: on POSIX the drive of a path below a removable drive's folder (or a configured
    // mount point) is that folder, so an absent backup drive is told and never made anew.
    if (const auto drive = m_fs.driveOf(source); drive && !m_fs.driveExists(*drive)) {
        m_messages.show(messages::sourceDriveMissing(*drive), MessageButtons::Ok);
        return false;
    }
    // A single file goes straight to the copy; nothing about the destination is tested.
    if (m_fs.fileExists(source))
        return true;
    if (!m_fs.folderExists(source)) {
        m_messages.show(messages::sourceFolderMissing(source), MessageButtons::Ok);
        return false;
    }
    if (const auto drive = m_fs.driveOf(destination); drive && !m_fs.driveExists(*drive)) {
        m_messages.show(messages::destinationDriveMissing(*drive), MessageButtons::Ok);
        return false;
    }
    if (m_fs.folderExists(destination))
        return true;
    if (m_messages.show(
            messages::createDestinationQuestion(destination), MessageButtons::YesNoDefaultYes)
        != MessageAnswer::Yes)
        return false;
    if (m_mode == CopyMode::DryRun)
        return true;
    // NOTE: a folder that cannot be made (missing parent, no permission, invalid name) is told,
    // and the row is skipped like the other failed checks.
    FsStatus failed = m_creation == FolderCreation::WithParents
        ? createFolderPath(m_fs, destination)
        : m_fs.createFolder(destination);
    // A folder that another run made meanwhile is as good as one made here.
    if (failed && failed->kind == FsErrorKind::AlreadyExists && m_fs.folderExists(destination))
        failed.reset();
    if (failed) {
        m_messages.show(messages::destinationNotCreated(destination, describeError(*failed)),
            MessageButtons::Ok);
        return false;
    }
    return true;
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
    const CopyProgress progress
        = [this](std::string_view folder, std::string_view name, std::uint64_t bytes) {
              m_observer.fileCopied(folder, name, bytes);
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
        if (!checkRow(rule)) {
            ++result.rowsSkipped;
            continue;
        }
        m_observer.rowStarted(row);
        const CopyReport rowReport = CopyFolderTree(m_fs,
            { .source = rule.source,
                .destination = rule.destination,
                .option = option,
                .mode = m_mode,
                .stop = stop,
                .progress = progress });
        m_observer.rowFinished(row, rowReport);
        result.report.merge(rowReport);
        result.AnyRowRun = true;
        ++result.rowsRun;
        if (rowReport.failureCount > 0)
            ++result.rowsFailed;
        if (rowReport.stopped) {
            result.stopped = true;
            break;
        }
    }
    return result;
}

void tellRunOutcome(MessageBoxService& box, const CopyRunResult& result)
{
    const CopyReport& report = result.report;
    if (report.CopyStatusFlags & PermissionDeniedBit)
        box.show(messages::ReadOnlyNotice, MessageButtons::Ok);
    // NOTE: failures other than permission denied are told too, so "done" never hides them.
    if (report.CopyStatusFlags & CopyFailedBit) {
        std::string notice = messages::NotEverythingCopied;
        std::size_t named = 0;
        std::uint64_t others = 0;
        for (const CopyFailure& failure : report.failures) {
            if (failure.error.kind == FsErrorKind::PermissionDenied)
                continue;
            if (named < FailuresNamed) {
                notice += '\n';
                notice += describeFailedPath(failure.path, failure.error.side);
                notice += std::string(" (") + describeErrorKind(failure.error.kind) + ")";
                ++named;
            } else {
                ++others;
            }
        }
        // Failures beyond those the report keeps count as others too.
        others += report.failureCount - report.failures.size();
        if (others > 0) {
            notice += '\n';
            notice += messages::moreFailures(others);
        }
        box.show(notice, MessageButtons::Ok);
    }
    const char* end = result.stopped ? messages::CopyStopped
        : result.AnyRowRun           ? messages::CopyDone
                                     : messages::NothingCopied;
    box.show(end, MessageButtons::Ok);
}

} // namespace rinvo
