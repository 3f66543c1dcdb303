// Writes the benchmark's source trees, the same bytes and times on every run.
//   rinvo_make_tree small DIR   about 100,000 files of 1 to 8 KiB in 2,000 folders
//   rinvo_make_tree mixed DIR   about 20,000 files and 1 GiB, twenty of them large
//   rinvo_make_tree wide DIR    one folder of 200,000 empty files
//   rinvo_make_tree share DIR   5,000 files of 1 to 8 KiB in 100 folders, for the network share

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A fixed-seed generator, so every machine writes the same tree.
struct Generator
{
    std::uint64_t state;
    std::uint64_t next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 17;
    }
};

constexpr std::int64_t BaseTime = 1'650'000'000;

bool writeFile(const std::string& path, std::uint64_t size, Generator& random, std::int64_t time)
{
    static std::vector<char> buffer(1 << 20);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::uint64_t left = size;
    while (left > 0) {
        const std::size_t chunk
            = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        for (std::size_t i = 0; i < chunk; i += 8) {
            const std::uint64_t word = random.next();
            std::memcpy(buffer.data() + i, &word, std::min<std::size_t>(8, chunk - i));
        }
        if (::write(fd, buffer.data(), chunk) != static_cast<ssize_t>(chunk)) {
            ::close(fd);
            return false;
        }
        left -= chunk;
    }
    const struct timespec times[2] = { { time, 0 }, { time, 0 } };
    ::futimens(fd, times);
    return ::close(fd) == 0;
}

bool makeTree(const std::string& root, int topFolders, int subFolders, int filesPerFolder,
    int largeFiles, std::uint64_t largeSize)
{
    Generator random { 20261208 };
    ::mkdir(root.c_str(), 0755);
    std::int64_t serial = 0;
    for (int top = 0; top < topFolders; ++top) {
        const std::string topPath = root + "/dir" + std::to_string(top);
        ::mkdir(topPath.c_str(), 0755);
        for (int sub = 0; sub < subFolders; ++sub) {
            const std::string folder = topPath + "/sub" + std::to_string(sub);
            ::mkdir(folder.c_str(), 0755);
            for (int file = 0; file < filesPerFolder; ++file) {
                const std::uint64_t size = 1024 + random.next() % (7 * 1024 + 1);
                const std::string path = folder + "/file" + std::to_string(file) + ".dat";
                if (!writeFile(path, size, random, BaseTime + serial++ % 100'000))
                    return false;
            }
        }
    }
    const std::string largeFolder = root + "/large";
    if (largeFiles > 0)
        ::mkdir(largeFolder.c_str(), 0755);
    for (int i = 0; i < largeFiles; ++i) {
        if (!writeFile(
                largeFolder + "/big" + std::to_string(i) + ".bin", largeSize, random, BaseTime + i))
            return false;
    }
    return true;
}

bool makeWideFolder(const std::string& root, int files)
{
    ::mkdir(root.c_str(), 0755);
    const int folder = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    bool made = true;
    for (int i = 0; i < files && made; ++i) {
        const std::string name = "file" + std::to_string(i);
        const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const struct timespec times[2] = { { BaseTime, 0 }, { BaseTime + i % 1000, 0 } };
        made = fd >= 0 && ::futimens(fd, times) == 0 && ::close(fd) == 0;
    }
    ::close(folder);
    return made;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s small|mixed|wide|share DIR\n", argv[0]);
        return 2;
    }
    const std::string kind = argv[1];
    bool made = false;
    if (kind == "small")
        made = makeTree(argv[2], 40, 50, 50, 0, 0);
    else if (kind == "mixed")
        made = makeTree(argv[2], 10, 20, 100, 20, 46ULL << 20);
    else if (kind == "share")
        made = makeTree(argv[2], 10, 10, 50, 0, 0);
    else if (kind == "wide")
        made = makeWideFolder(argv[2], 200'000);
    else
        return 2;
    if (!made) {
        std::perror("rinvo_make_tree");
        return 1;
    }
    return 0;
}
