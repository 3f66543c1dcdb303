#include "CommitStage.h"

namespace rinvo {

std::optional<CommitStage::Batch> CommitStage::add(StagedCopy copy)
{
    const auto now = std::chrono::steady_clock::now();
    if (m_batch.empty())
        m_started = now;
    // A thread copies a folder's files one after another, so a new folder shows as a change.
    if (m_batch.empty() || m_batch.back().frame != copy.frame)
        ++m_folders;
    m_bytes += copy.written.bytes;
    m_batch.push_back(std::move(copy));
    if (m_batch.size() < MostCopies && m_bytes < MostBytes && m_folders < MostFolders
        && now - m_started < MostWait)
        return std::nullopt;
    return takeRest();
}

CommitStage::Batch CommitStage::takeRest()
{
    Batch rest = std::move(m_batch);
    m_batch.clear();
    m_bytes = 0;
    m_folders = 0;
    return rest;
}

std::optional<CommitStage::Batch> CommitStage::takeIfDue()
{
    if (m_batch.empty() || std::chrono::steady_clock::now() - m_started < MostWait)
        return std::nullopt;
    return takeRest();
}

} // namespace rinvo
