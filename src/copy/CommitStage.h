#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace rinvo {

struct Frame;

/// A copy written under a temporary name, waiting for its data to be on the device before it
/// takes its own name.
struct StagedCopy
{
    /// The folder the copy was written into; kept open until the copy is published.
    std::shared_ptr<const Frame> frame;
    /// The source file's position in the frame's listing.
    std::size_t index = 0;
    WrittenFile written;
};

/// Gathers the copies one thread of a walk writes into batches, so that one flush of their file
/// systems makes a few hundred of them durable at once: a batch is full at MostCopies copies,
/// MostBytes bytes, or once its first copy has waited MostWait. Each thread has its own, so the
/// threads give their copies names side by side.
class CommitStage
{
public:
    using Batch = std::vector<StagedCopy>;

    static constexpr std::size_t MostCopies = 256;
    static constexpr std::uint64_t MostBytes = 32 << 20;
    static constexpr std::chrono::milliseconds MostWait { 1000 };
    /// Each copy keeps its folder open until it has its name: so many folders at most.
    static constexpr std::size_t MostFolders = 64;

    /// Adds a written copy; returns the batch to commit now when this one fills it.
    std::optional<Batch> add(StagedCopy copy);
    /// Returns the copies still waiting, at the walk's end.
    Batch takeRest();
    /// Returns the copies waiting when the first has waited MostWait, between tasks.
    std::optional<Batch> takeIfDue();

private:
    Batch m_batch;
    std::uint64_t m_bytes = 0;
    std::size_t m_folders = 0;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace rinvo
