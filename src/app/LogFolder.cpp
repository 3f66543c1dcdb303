#include "LogFolder.h"

#include "FolderPath.h"

#include "platform/PathRules.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <tuple>
#include <vector>

namespace rinvo {

namespace {

constexpr std::string_view LogSuffix = ".log";
// "20261210-153000": the date, a dash and the time.
constexpr std::size_t StampLength = 15;
// A run that finds this many logs of its second already gets none: something is starting
// runs in a loop.
constexpr unsigned MaxNumber = 999;

std::string stampOf(const std::tm& time)
{
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &time);
    return text;
}

bool allDigits(std::string_view text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Where a log's name places it: its stamp, then its number (1 for the name without one);
// nothing for a name that is not a log's.
std::optional<std::tuple<std::string, unsigned>> logOrder(std::string_view name)
{
    if (name.size() < StampLength + LogSuffix.size() || !name.ends_with(LogSuffix))
        return std::nullopt;
    const std::string_view stamp = name.substr(0, StampLength);
    if (!allDigits(stamp.substr(0, 8)) || stamp[8] != '-' || !allDigits(stamp.substr(9)))
        return std::nullopt;
    std::string_view rest = name.substr(StampLength);
    rest.remove_suffix(LogSuffix.size());
    unsigned number = 1;
    if (!rest.empty()) {
        if (rest.front() != '-' || !allDigits(rest.substr(1)) || rest[1] == '0')
            return std::nullopt;
        const auto [end, failed]
            = std::from_chars(rest.data() + 1, rest.data() + rest.size(), number);
        if (failed != std::errc() || number < 2)
            return std::nullopt;
    }
    return std::tuple(std::string(stamp), number);
}

} // namespace

FsResult<NewLog> createRunLog(FileSystem& fs, std::string_view folder, const std::tm& startedAt)
{
    // Logs name the user's files: the folders made for them are the user's own.
    if (FsStatus failed = createFolderPath(fs, folder, PrivateFolderPermissions))
        return *failed;
    const std::string stamp = stampOf(startedAt);
    for (unsigned number = 1;; ++number) {
        const std::string name = number == 1
            ? stamp + std::string(LogSuffix)
            : stamp + "-" + std::to_string(number) + std::string(LogSuffix);
        const std::string path = joinPath(folder, name, fs.pathStyle());
        FsResult<std::unique_ptr<FileWriter>> created = fs.createNewFile(path);
        if (created)
            return NewLog { path, std::move(*created) };
        if (created.error().kind != FsErrorKind::AlreadyExists || number == MaxNumber)
            return created.error();
    }
}

void pruneRunLogs(
    FileSystem& fs, std::string_view folder, std::string_view current, std::size_t keep)
{
    auto opened = fs.openFolder(folder, FolderSide::Source);
    if (!opened)
        return;
    auto entries = (*opened)->list();
    if (!entries)
        return;
    using Order = std::tuple<std::string, unsigned>;
    std::vector<std::pair<Order, std::string>> logs;
    for (const FolderEntry& entry : *entries) {
        if (entry.error || entry.info.kind != EntryKind::File)
            continue;
        if (auto order = logOrder(entry.name))
            logs.emplace_back(std::move(*order), std::string(entry.name));
    }
    if (logs.size() <= keep)
        return;
    std::sort(logs.begin(), logs.end());
    // NOTE: a log that cannot be deleted is left; the next run tries again.
    std::size_t extra = logs.size() - keep;
    for (std::size_t i = 0; i < logs.size() && extra > 0; ++i) {
        if (logs[i].second == current)
            continue;
        fs.deleteFile(joinPath(folder, logs[i].second, fs.pathStyle()));
        --extra;
    }
}

} // namespace rinvo
