#pragma once

#include "WalkContext.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace rinvo {

struct Frame;

/// The steps one thread of the walk takes; each thread has steps of its own.
class WalkSteps
{
public:
    virtual ~WalkSteps() = default;
    /// Copies the frame's files to copy from position 'first' of its list on, 'count' of them.
    virtual Flow copyFiles(
        const std::shared_ptr<const Frame>& frame, std::size_t first, std::size_t count)
        = 0;
    /// Runs on the step's thread once the walk has no more work for it.
    virtual void walkEnded() = 0;
    /// Opens and enters the subfolder at this listing position of 'parent'; 'child' holds it
    /// then, or stays empty when the subfolder is not to be walked.
    virtual Flow enterSubfolder(
        const Frame& parent, std::size_t index, std::unique_ptr<Frame>& child)
        = 0;
};

/// Walks everything below an entered root that has work left, one thread for each of the
/// steps given (the calling thread takes the first). Returns how many entries were left
/// unexamined because a step ended the row; a stop ends the walk without counting any.
std::uint64_t walkBelow(const std::shared_ptr<Frame>& root, const std::vector<WalkSteps*>& threads);

} // namespace rinvo
