#pragma once

#include <string>
#include <string_view>

namespace rinvo {

/// Which operating system's path rules apply.
enum class PathStyle {
    Posix,
    Windows,
};

/// Returns the separator of the style: "/" on POSIX, "\" on Windows.
char pathSeparator(PathStyle style);

/// Returns the path without one trailing separator; a POSIX root "/" stays as it is.
std::string trimTrailingSeparator(std::string_view path, PathStyle style);

/// Returns folder + one separator + name; a folder that ends with the separator (a root) gets
/// no second one.
std::string joinPath(std::string_view folder, std::string_view name, PathStyle style);

/// Returns the last component of the path: the text after the last separator.
std::string_view lastComponent(std::string_view path, PathStyle style);

/// Returns the path as the file system names it: doubled separators made single, no trailing
/// separator except on a root ("/", or "C:\" on Windows).
std::string normalizedPath(std::string_view path, PathStyle style);

/// Returns the folder part of a path to a file: "/" for "/x", "." for a bare name, "C:" for "C:x".
std::string parentPath(std::string_view path, PathStyle style);

} // namespace rinvo
