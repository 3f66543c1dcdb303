#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace rinvo {

/// Kinds of file-system failure the program tells apart; the numbers are the service's error
/// numbers, which the copy and the folder selection react to, where the service has one.
enum class FsErrorKind : int {
    AlreadyExists = 58,
    DiskFull = 61,
    DeviceUnavailable = 68,
    PermissionDenied = 70,
    /// The volume as a whole takes no writes (mounted read-only, a write-protected medium).
    ReadOnlyVolume = 71,
    Other = 75,
    PathNotFound = 76,
    /// A symbolic link (or another reparse point) stands in the destination, which is never
    /// followed.
    LinkInDestination = 1001,
    /// The destination folds case, and another name of the same source folder differs from
    /// this one only in case; the message holds that other name.
    NameDiffersOnlyInCase = 1002,
    /// The user asked to stop; a file stopped part way is left as it was.
    Stopped = 1003,
    /// A link to a folder in the source, where the destination cannot hold links: it is never
    /// walked, since it may lead out of the tree.
    LinkToFolder = 1004,
};

/// Which side of a copy a failure concerns, so that a report points at the right disk.
enum class FailedSide : std::uint8_t {
    Unknown,
    Source,
    Destination,
};

/// A failed file-system operation: its kind and a note on the cause.
struct FsError
{
    FsErrorKind kind = FsErrorKind::Other;
    /// The system's own wording of the cause (in the user's language) where systemWording is
    /// set; otherwise the program's own note, for logs and tests, never shown to the user.
    std::string message;
    /// Set by a file copy, which touches both sides; other operations act on one known side.
    FailedSide side = FailedSide::Unknown;
    bool systemWording = false;
};

/// Tells whether the failure shows a whole volume gone or unusable (an I/O error, a device
/// or connection gone, a read-only or full volume), not a problem of one entry.
bool showsVolumeUnusable(const FsError& error);

/// The outcome of an operation that returns nothing: empty on success.
using FsStatus = std::optional<FsError>;

/// The outcome of an operation that returns a value: the value or the failure.
template <class T> class FsResult
{
public:
    FsResult(T value)
        : m_state(std::move(value))
    { }
    FsResult(FsError error)
        : m_state(std::move(error))
    { }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

    const FsError& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, FsError> m_state;
};

} // namespace rinvo
