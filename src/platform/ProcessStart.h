#pragma once

#include "TempNames.h"

#include <cstdint>

namespace rinvo {

/// Returns a number that identifies the running process with this number by when it started
/// (and, on Linux, in which boot of the system), or 0 when no such process runs.
std::uint64_t processStart(std::uint64_t processId);

/// Returns this process as the writer of its temporary files.
TempWriter thisWriter();

/// Tells whether the writer of a temporary file still runs: a process with its number that
/// started when it did. For a name of an earlier version, which carries the number alone, the
/// number still in use counts.
bool writerRuns(const TempWriter& writer);

} // namespace rinvo
