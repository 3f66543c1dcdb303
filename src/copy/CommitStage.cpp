#include "CommitStage.h"

#include "Frame.h"

namespace rinvo {

std::optional<CommitStage::Batch> CommitStage::add(StagedCopy copy)
{
    const auto now = std::chrono::steady_clock::now();
    const std::uint64_t device = copy.frame->destination.folder->identity().device;
    std::lock_guard lock(m_mutex);
    m_devices.try_emplace(device, copy.frame);
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
    std::lock_guard lock(m_mutex);
    Batch rest = std::move(m_batch);
    m_batch.clear();
    m_bytes = 0;
    return rest;
}

std::vector<std::shared_ptr<const Frame>> CommitStage::foldersWrittenTo() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::shared_ptr<const Frame>> folders;
    for (const auto& [device, frame] : m_devices)
        folders.push_back(frame);
    return folders;
}

} // namespace rinvo
