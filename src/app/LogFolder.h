#pragma once

#include "platform/FileSystem.h"

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace rinvo {

/// How many run logs the log folder keeps: the newest by name.
inline constexpr std::size_t KeptLogs = 30;

/// A run's log, just made and empty.
struct NewLog
{
    std::string path;
    std::unique_ptr<FileWriter> writer;
};

/// Makes the log folder (with its parents, private to the user) if it is missing and creates a
/// log named by the run's local start time: "20261210-153000.log", or "20261210-153000-2.log",
/// "-3"… when a run that started in the same second has taken the name.
FsResult<NewLog> createRunLog(FileSystem& fs, std::string_view folder, const std::tm& startedAt);

/// Deletes all but the newest 'keep' logs of the folder, ordered by the time and number in
/// their names, never the one named 'current' (which a clock set back may place among the
/// oldest); files with other names are the user's and are left alone.
void pruneRunLogs(
    FileSystem& fs, std::string_view folder, std::string_view current, std::size_t keep = KeptLogs);

} // namespace rinvo
