#include "CommitStage.h"

namespace rinvo {

std::optional<CommitStage::Batch> CommitStage::add(StagedCopy copy)
{
    const auto now = std::chrono::steady_clock::now();
    if (m_batch.empty())
        m_started = now;
    m_bytes += copy.written.bytes;
    m_batch.push_back(std::move(copy));
    if (m_batch.size() < MostCopies && m_bytes < MostBytes && now - m_started < MostWait)
        return std::nullopt;
    Batch full = std::move(m_batch);
    m_batch.clear();
    m_bytes = 0;
    return full;
}

CommitStage::Batch CommitStage::takeRest()
{
    Batch rest = std::move(m_batch);
    m_batch.clear();
    m_bytes = 0;
    return rest;
}

} // namespace rinvo
