// Measures the part of a re-run that the kernel does: looking up every file of the trees (a
// source and its backup, say). The same look-ups are made with fstatat on one thread, with
// fstatat on several, and as statx requests batched through io_uring, interleaved over five
// rounds; medians and ratios are printed.
//   rinvo_stat_batch TREE...

#include <liburing.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Entry
{
    int folder;
    std::string name;
};

// Opens every folder of the tree (kept open, as a walk holds them) and lists its files.
void collect(int folder, std::vector<Entry>& files, std::vector<int>& folders)
{
    DIR* listing = ::fdopendir(::dup(folder));
    if (!listing)
        return;
    while (const dirent* record = ::readdir(listing)) {
        if (!std::strcmp(record->d_name, ".") || !std::strcmp(record->d_name, ".."))
            continue;
        if (record->d_type == DT_DIR) {
            const int child = ::openat(folder, record->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (child >= 0) {
                folders.push_back(child);
                collect(child, files, folders);
            }
        } else {
            files.push_back({ folder, record->d_name });
        }
    }
    ::closedir(listing);
}

// Looks up the files from a shared position onward, a slice at a time; returns those found.
std::size_t statSlices(const std::vector<Entry>& files, std::atomic<std::size_t>& next)
{
    constexpr std::size_t Slice = 256;
    std::size_t found = 0;
    struct stat st;
    for (std::size_t first; (first = next.fetch_add(Slice)) < files.size();) {
        const std::size_t end = std::min(first + Slice, files.size());
        for (std::size_t i = first; i < end; ++i)
            found
                += ::fstatat(files[i].folder, files[i].name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    }
    return found;
}

std::size_t statOnThreads(const std::vector<Entry>& files, unsigned threads)
{
    std::atomic<std::size_t> next { 0 };
    std::atomic<std::size_t> found { 0 };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t)
        pool.emplace_back([&] { found += statSlices(files, next); });
    for (std::thread& thread : pool)
        thread.join();
    return found;
}

// Keeps 'depth' statx requests in flight on one ring, one io_uring_enter per batch.
std::size_t statByRing(const std::vector<Entry>& files, unsigned depth)
{
    io_uring ring;
    if (io_uring_queue_init(depth, &ring, 0) < 0)
        return 0;
    std::vector<struct statx> results(depth);
    std::vector<unsigned> freeSlots(depth);
    for (unsigned i = 0; i < depth; ++i)
        freeSlots[i] = i;
    std::size_t next = 0;
    std::size_t found = 0;
    std::size_t inFlight = 0;
    while (next < files.size() || inFlight > 0) {
        while (next < files.size() && !freeSlots.empty()) {
            const unsigned slot = freeSlots.back();
            freeSlots.pop_back();
            io_uring_sqe* sqe = io_uring_get_sqe(&ring);
            io_uring_prep_statx(sqe, files[next].folder, files[next].name.c_str(),
                AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME,
                &results[slot]);
            io_uring_sqe_set_data64(sqe, slot);
            ++next;
            ++inFlight;
        }
        io_uring_submit_and_wait(&ring, 1);
        io_uring_cqe* cqe;
        unsigned head;
        unsigned seen = 0;
        io_uring_for_each_cqe(&ring, head, cqe)
        {
            found += cqe->res == 0;
            freeSlots.push_back(static_cast<unsigned>(io_uring_cqe_get_data64(cqe)));
            ++seen;
        }
        io_uring_cq_advance(&ring, seen);
        inFlight -= seen;
    }
    io_uring_queue_exit(&ring);
    return found;
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TREE...\n", argv[0]);
        return 2;
    }
    constexpr int rounds = 5;
    rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::vector<Entry> files;
    std::vector<int> folders;
    for (int tree = 1; tree < argc; ++tree) {
        const int root = ::open(argv[tree], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (root < 0) {
            std::perror(argv[tree]);
            return 1;
        }
        folders.push_back(root);
        collect(root, files, folders);
    }

    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    struct Way
    {
        std::string name;
        std::function<std::size_t()> run;
        std::vector<double> seconds;
    };
    std::vector<Way> ways {
        { "fstatat, 1 thread", [&] { return statOnThreads(files, 1); }, {} },
        { "fstatat, " + std::to_string(processors) + " threads",
            [&] { return statOnThreads(files, processors); }, {} },
        { "io_uring statx, depth 64", [&] { return statByRing(files, 64); }, {} },
        { "io_uring statx, depth 256", [&] { return statByRing(files, 256); }, {} },
    };
    for (int round = 0; round < rounds; ++round) {
        for (Way& way : ways) {
            const auto start = std::chrono::steady_clock::now();
            const std::size_t found = way.run();
            way.seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (found != files.size()) {
                std::fprintf(
                    stderr, "%s found %zu of %zu files\n", way.name.c_str(), found, files.size());
                return 1;
            }
        }
    }
    const double peer = median(ways[1].seconds);
    std::printf("%zu files in %zu folders; medians of %d interleaved rounds\n\n", files.size(),
        folders.size(), rounds);
    std::printf("| look-ups | s | / fstatat on %u threads |\n|---|---|---|\n", processors);
    for (const Way& way : ways)
        std::printf("| %s | %.3f | %.2f |\n", way.name.c_str(), median(way.seconds),
            median(way.seconds) / peer);
    return 0;
}
