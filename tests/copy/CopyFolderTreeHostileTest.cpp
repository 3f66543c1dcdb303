// The copy on real folders where the kernel is the point: holes, permission bits, planted
// links, two processes at once, and a tree deeper than any stack would hold.

#include "copy/CopyFolderTree.h"
#include "platform/FileSystem.h"
#include "platform/OpenFileLimit.h"
#include "platform/TempNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr FileTime New { 1'700'000'000, 0 };

class HostileCopy : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    CopyReport report;

    void copy(const std::string& src, const std::string& dst)
    {
        report = CopyFolderTree(
            *fs, { .source = src, .destination = dst, .option = CopyOption::CopyEverything });
    }
};

struct stat statOf(const std::string& path)
{
    struct stat st
    { };
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Runs the body in a child process and returns its exit status, or -signal when it died.
template <class Body> int inChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

} // namespace

TEST_F(HostileCopy, ASparseFileKeepsItsHolesAndItsSize)
{
    constexpr off_t Size = off_t(4) << 30;
    const std::string image = temp / "src/disk.img";
    makeFolders(temp / "src");
    const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, Size), 0);
    const std::string block(2 << 20, 'd');
    ASSERT_EQ(::pwrite(fd, block.data(), block.size(), 0), ssize_t(block.size()));
    ASSERT_EQ(::pwrite(fd, block.data(), block.size(), Size / 2), ssize_t(block.size()));
    const bool findsHoles = ::lseek(fd, 0, SEEK_HOLE) < Size;
    ::close(fd);
    if (!findsHoles || statOf(image).st_blocks * 512 >= Size)
        GTEST_SKIP() << "this file system keeps no holes";

    copy(temp / "src", temp / "dst");
    ASSERT_EQ(report.failureCount, 0u);
    const struct stat copied = statOf(temp / "dst/disk.img");
    EXPECT_EQ(copied.st_size, Size);
    EXPECT_LT(copied.st_blocks * 512, off_t(64) << 20) << "the holes stayed holes";
    const int in = ::open((temp / "dst/disk.img").c_str(), O_RDONLY);
    std::string data(block.size(), '\0');
    EXPECT_EQ(::pread(in, data.data(), data.size(), Size / 2), ssize_t(data.size()));
    EXPECT_EQ(data, block);
    EXPECT_EQ(::pread(in, data.data(), 16, Size / 4), 16);
    EXPECT_EQ(data.substr(0, 16), std::string(16, '\0'));
    ::close(in);
}

TEST_F(HostileCopy, OddNamesAndFarTimesArriveExactlyAndASecondRunCopiesNothing)
{
    const struct
    {
        std::string name;
        FileTime time;
    } files[] = {
        { std::string(255, 'n'), { -2'145'916'800, 123'456'789 } }, // 1902
        { "line\nbreak", { 15'000'000'000, 999'999'999 } }, // 2445
        { std::string("bad\xff\xfe utf-8"), { 0, 1 } },
        { "back\\slash \"quoted\"", { 1'700'000'000, 5 } },
    };
    for (const auto& file : files)
        writeFile(temp / ("src/" + file.name), file.name, file.time);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.failureCount, 0u);
    for (const auto& file : files) {
        EXPECT_EQ(readFile(temp / ("dst/" + file.name)), file.name);
        EXPECT_EQ(modifiedTime(temp / ("dst/" + file.name)), file.time) << file.name;
    }
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.filesUpToDate, std::size(files));
}

TEST_F(HostileCopy, AFileThatReportsNoSizeIsCopiedToItsEnd)
{
    makeFolders(temp / "dst");
    // procfs reports 0 bytes for files that have content when read.
    copy("/proc/self/status", temp / "dst");
    ASSERT_EQ(report.filesCopied, 1u);
    const auto copied = readFile(temp / "dst/status");
    ASSERT_TRUE(copied);
    EXPECT_NE(copied->find("Pid:"), std::string::npos);
}

TEST_F(HostileCopy, AFolderMadeByTheCopyIsNoMoreOpenThanItsSource)
{
    const mode_t mask = ::umask(022);
    writeFile(temp / "src/.ssh/id", "key", New);
    writeFile(temp / "src/shared/readme", "r", New);
    writeFile(temp / "src/kept/f", "f", New);
    ASSERT_EQ(::chmod((temp / "src/.ssh").c_str(), 0700), 0);
    ASSERT_EQ(::chmod((temp / "src/shared").c_str(), 0750), 0);
    ASSERT_EQ(::chmod((temp / "src/kept").c_str(), 0700), 0);
    makeFolders(temp / "dst/kept");
    ASSERT_EQ(::chmod((temp / "dst/kept").c_str(), 0755), 0);
    copy(temp / "src", temp / "dst");
    ::umask(mask);
    EXPECT_EQ(report.failureCount, 0u);
    EXPECT_EQ(statOf(temp / "dst/.ssh").st_mode & 07777, 0700u);
    EXPECT_EQ(statOf(temp / "dst/shared").st_mode & 07777, 0750u);
    EXPECT_EQ(statOf(temp / "dst/kept").st_mode & 07777, 0755u) << "an existing folder stays";
}

TEST_F(HostileCopy, LinksInTheDestinationAreNeverFollowedNorReplaced)
{
    writeFile(temp / "src/sub/f", "new", New);
    writeFile(temp / "src/note", "new", New);
    makeFolders(temp / "outside");
    writeFile(temp / "outside/note", "theirs", { 1'000'000'000, 0 });
    makeFolders(temp / "dst");
    ASSERT_EQ(::symlink("../outside", (temp / "dst/sub").c_str()), 0);
    ASSERT_EQ(::symlink("../outside/note", (temp / "dst/note").c_str()), 0);

    copy(temp / "src", temp / "dst");
    EXPECT_EQ(countEntries(temp / "outside"), 1) << "nothing was written through the links";
    EXPECT_EQ(readFile(temp / "outside/note"), "theirs");
    EXPECT_TRUE(S_ISLNK(statOf(temp / "dst/sub").st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(temp / "dst/note").st_mode));
    ASSERT_EQ(report.failures.size(), 2u);
    for (const CopyFailure& failure : report.failures)
        EXPECT_EQ(failure.error.kind, FsErrorKind::LinkInDestination) << failure.path;
}

TEST_F(HostileCopy, TheRulesOwnDestinationMayBeALink)
{
    writeFile(temp / "src/f", "x", New);
    makeFolders(temp / "real");
    ASSERT_EQ(::symlink("real", (temp / "dst").c_str()), 0);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.failureCount, 0u);
    EXPECT_EQ(readFile(temp / "real/f"), "x");
}

TEST_F(HostileCopy, TwoRunsAtOnceIntoAMissingDestinationBothSucceed)
{
    for (int folder = 0; folder < 20; ++folder) {
        for (int file = 0; file < 20; ++file) {
            writeFile(temp / ("src/d" + std::to_string(folder) + "/f" + std::to_string(file)),
                std::string(100, 'x'), New);
        }
    }
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    const std::string src = temp / "src";
    const std::string dst = temp / "dst/backup";
    makeFolders(temp / "dst");
    pid_t children[2];
    for (pid_t& child : children) {
        child = ::fork();
        if (child == 0) {
            char go;
            ::close(start[1]);
            if (::read(start[0], &go, 1) != 0)
                ::_exit(3);
            auto native = createNativeFileSystem();
            CopyReport result = CopyFolderTree(*native,
                { .source = src, .destination = dst, .option = CopyOption::CopyEverything });
            ::_exit(result.failureCount == 0 ? 0 : 1);
        }
    }
    // Closing the pipe lets both start at the same moment.
    ::close(start[0]);
    ::close(start[1]);
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(countEntries(dst), 20 + 20 * 20);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dst))
        EXPECT_FALSE(parseTempName(entry.path().filename().string())) << entry.path();
}

namespace {

constexpr int DeepLevels = 5000;

// Makes a chain of folders named "d", 'levels' deep, with a file at its bottom; paths that
// long exceed PATH_MAX, so the chain is made and removed relative to open folders.
bool makeChain(const std::string& root, int levels)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < levels && fd >= 0; ++level) {
        ::mkdirat(fd, "d", 0755);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        return false;
    const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT, 0644);
    ::close(fd);
    ::close(file);
    return file >= 0;
}

// Tells whether the chain reaches its bottom file, and removes it from the bottom up.
bool checkAndRemoveChain(const std::string& root, int levels)
{
    std::vector<int> fds { ::open(root.c_str(), O_RDONLY | O_DIRECTORY) };
    for (int level = 0; level < levels && fds.back() >= 0; ++level)
        fds.push_back(::openat(fds.back(), "d", O_RDONLY | O_DIRECTORY));
    const bool reached = fds.back() >= 0 && ::faccessat(fds.back(), "bottom", F_OK, 0) == 0;
    if (fds.back() >= 0)
        ::unlinkat(fds.back(), "bottom", 0);
    for (std::size_t i = fds.size() - 1; i > 0; --i) {
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], "d", AT_REMOVEDIR);
    }
    ::close(fds[0]);
    return reached;
}

struct DeepCopy
{
    std::string src;
    std::string dst;
    bool succeeded = false;
};

void* copyDeepTree(void* argument)
{
    auto* job = static_cast<DeepCopy*>(argument);
    auto native = createNativeFileSystem();
    CopyReport result = CopyFolderTree(*native,
        { .source = job->src, .destination = job->dst, .option = CopyOption::CopyEverything });
    job->succeeded = result.failureCount == 0 && result.filesCopied == 1;
    return nullptr;
}

} // namespace

TEST_F(HostileCopy, ATreeThousandsOfFoldersDeepNeedsNoDeepStack)
{
    struct rlimit files;
    ::getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_max < 3 * DeepLevels)
        GTEST_SKIP() << "the hard limit on open files is below what the walk needs";
    makeFolders(temp / "src");
    ASSERT_TRUE(makeChain(temp / "src", DeepLevels));
    const int status = inChild([&] {
        raiseOpenFileLimit();
        DeepCopy job { temp / "src", temp / "dst" };
        // A 2 MiB stack, as a thread or a constrained service has.
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, 2 << 20);
        pthread_t thread;
        if (pthread_create(&thread, &attributes, copyDeepTree, &job) != 0)
            return 3;
        pthread_join(thread, nullptr);
        return job.succeeded ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "a negative status is the signal that ended the copy";
    EXPECT_TRUE(checkAndRemoveChain(temp / "dst", DeepLevels));
    checkAndRemoveChain(temp / "src", DeepLevels);
}

namespace {

// Asks to stop from its third look on: after the engine's look before the file and the first
// block of the file.
class StopInTheMiddle final : public StopRequest
{
public:
    bool requested() const noexcept override { return ++m_looks >= 3; }

private:
    mutable int m_looks = 0;
};

} // namespace

TEST_F(HostileCopy, AStopInTheMiddleOfALargeFileKeepsTheOldOneAndNoTemporaryFile)
{
    const std::string block(1 << 20, 'n');
    makeFolders(temp / "src");
    {
        std::ofstream big(temp / "src/big.bin", std::ios::binary);
        for (int i = 0; i < 160; ++i)
            big << block;
    }
    setModifiedTime(temp / "src/big.bin", New);
    writeFile(temp / "dst/big.bin", "old", { 1'000'000'000, 0 });
    StopInTheMiddle stop;
    report = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = temp / "dst",
            .option = CopyOption::CopyEverything,
            .mode = CopyMode::Copy,
            .stop = &stop });
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.failureCount, 0u) << "a stop is no failure";
    EXPECT_EQ(readFile(temp / "dst/big.bin"), "old");
    EXPECT_EQ(countEntries(temp / "dst"), 1) << "the temporary file is gone";
}
