#pragma once

#include "CopyReport.h"
#include "CopyRequest.h"

namespace rinvo {

class FileSystem;

/// Copies the request's file or folder tree into its destination folder: a file only when the
/// destination lacks it or holds it with a strictly earlier time, skipping what the option
/// excludes, never removing anything. Failures are noted in the report, never thrown. A stop
/// request ends the copy after the file being copied (or between the blocks of a large one,
/// leaving that file as it was), with the report marked stopped.
/// The report is the one a walk on one thread gives, its failures in that walk's order (depth
/// first, a folder's files before its subfolders), whatever the number of threads. Only the
/// order in which the progress is told of copied files may differ, and the counts of a row that
/// a stop or an unusable destination ended early.
CopyReport CopyFolderTree(FileSystem& fs, const CopyRequest& request);

} // namespace rinvo
