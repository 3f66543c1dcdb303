// Real volumes failing under a run: a power cut on loop-mounted ext4 volumes (the kernel drops
// whatever is not yet on the device, EXT4_IOC_SHUTDOWN without flushing the journal, then the
// volume is checked and mounted again, as after a reboot), and a small tmpfs running full.
// Needs root and loop devices; skipped elsewhere.

#include "copy/CopyFolderTree.h"
#include "platform/FileSystem.h"
#include "platform/TempNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

// The shutdown request of ext4 (and of XFS), and its flag that drops the journal's tail.
constexpr unsigned long ShutDown = _IOR('X', 125, std::uint32_t);
constexpr std::uint32_t WithoutLogFlush = 2;

// Enough for batches to take their names while the run goes on.
constexpr int Files = 300;
constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// An ext4 image mounted through a loop device in a temporary folder.
class Ext4Volume
{
public:
    Ext4Volume(std::string image, std::string mountPoint)
        : m_image(std::move(image))
        , m_mountPoint(std::move(mountPoint))
    { }
    ~Ext4Volume()
    {
        if (m_mounted)
            run("umount '" + m_mountPoint + "'");
    }

    bool make()
    {
        makeFolders(m_mountPoint);
        m_mounted = run("truncate -s 64M '" + m_image + "'") == 0
            && run("mkfs.ext4 -q '" + m_image + "'") == 0 && mount();
        return m_mounted;
    }
    // Drops everything the volume has not yet written to its device; it takes no more writes.
    // With a journal commit, another program's fsync commits the journal first, with every
    // rename made so far, as the kernel's own commit every few seconds would.
    enum class Journal { AsItIs, CommittedFirst };
    void cutThePower(Journal journal) const
    {
        if (journal == Journal::CommittedFirst) {
            const int marker
                = ::open((m_mountPoint + "/.marker").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            EXPECT_EQ(::write(marker, "x", 1), 1);
            EXPECT_EQ(::fsync(marker), 0);
            ::close(marker);
        }
        const int fd = ::open(m_mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::uint32_t flags = WithoutLogFlush;
        ::ioctl(fd, ShutDown, &flags);
        ::close(fd);
    }
    // Unmounts, checks and mounts the volume again, as after a reboot.
    bool comeBack()
    {
        m_mounted = !(run("umount '" + m_mountPoint + "'") == 0);
        return run("e2fsck -fy '" + m_image + "'") <= 256 && mount();
    }
    const std::string& path() const { return m_mountPoint; }

private:
    bool mount()
    {
        m_mounted = run("mount -o loop '" + m_image + "' '" + m_mountPoint + "'") == 0;
        return m_mounted;
    }

    std::string m_image;
    std::string m_mountPoint;
    bool m_mounted = false;
};

std::string oldData(int i)
{
    return "old " + std::to_string(i) + std::string(static_cast<std::size_t>(i) * 37, 'o');
}

std::string newData(int i)
{
    return "new " + std::to_string(i) + std::string(static_cast<std::size_t>(i) * 53, 'n');
}

class PowerCutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (::geteuid() != 0 || run("command -v mkfs.ext4") != 0 || run("command -v e2fsck") != 0)
            GTEST_SKIP() << "needs root and the ext4 tools";
        if (!volume.make())
            GTEST_SKIP() << "this machine does not mount loop devices";
        // Files with an old copy in the backup and a newer source, and as many new ones.
        for (int i = 0; i < Files; ++i) {
            writeFile(temp / ("src/kept" + std::to_string(i)), newData(i), New);
            writeFile(temp / ("src/added" + std::to_string(i)), newData(i), New);
            writeFile(volume.path() + "/bak/kept" + std::to_string(i), oldData(i), Old);
        }
        ::sync();
    }

    // Copies the tree in a child process that cuts the power once 'cutAt' files have been
    // written; returns once the child has gone.
    void copyCutAfter(int cutAt)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            int written = 0;
            CopyRequest request { temp / "src", volume.path() + "/bak" };
            request.threads = 1;
            request.progress = [&](std::string_view, std::string_view, std::uint64_t, FileOutcome) {
                if (++written == cutAt)
                    volume.cutThePower(Ext4Volume::Journal::CommittedFirst);
            };
            CopyFolderTree(*fs, request);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }

    // Every name holds either its old whole content or its new whole content, with its time.
    void expectEveryNameWhole()
    {
        for (int i = 0; i < Files; ++i) {
            const std::string kept = volume.path() + "/bak/kept" + std::to_string(i);
            const std::optional<std::string> data = readFile(kept);
            ASSERT_TRUE(data) << kept;
            if (*data == oldData(i))
                EXPECT_EQ(modifiedTime(kept), Old) << kept;
            else
                EXPECT_EQ(*data, newData(i)) << kept << " is neither its old nor its new self";
            const std::string added = volume.path() + "/bak/added" + std::to_string(i);
            if (const auto addedData = readFile(added)) {
                EXPECT_EQ(*addedData, newData(i)) << added;
            }
        }
    }

    TempFolder temp;
    Ext4Volume volume { temp / "volume.img", temp / "mnt" };
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
};

} // namespace

TEST_F(PowerCutTest, EveryNameHoldsAWholeOldOrNewFileAndTheNextRunMendsTheBackup)
{
    // Before any batch took its names, while the second batch is written, at the last file.
    for (int cutAt : { 1, Files, 2 * Files }) {
        SCOPED_TRACE("power cut after " + std::to_string(cutAt) + " files written");
        copyCutAfter(cutAt);
        ASSERT_TRUE(volume.comeBack());
        expectEveryNameWhole();
    }
    const CopyReport mended = CopyFolderTree(*fs, { temp / "src", volume.path() + "/bak" });
    EXPECT_EQ(mended.failureCount, 0u);
    for (int i = 0; i < Files; ++i) {
        EXPECT_EQ(readFile(volume.path() + "/bak/kept" + std::to_string(i)), newData(i));
        EXPECT_EQ(readFile(volume.path() + "/bak/added" + std::to_string(i)), newData(i));
    }
    for (const auto& entry : std::filesystem::directory_iterator(volume.path() + "/bak"))
        EXPECT_FALSE(parseTempName(entry.path().filename().string())) << "left from a cut run";
}

TEST_F(PowerCutTest, ADriveMountedInsideTheDestinationKeepsWhatARunReportedDone)
{
    Ext4Volume inner { temp / "inner.img", volume.path() + "/bak/inner" };
    ASSERT_TRUE(inner.make());
    for (int i = 0; i < 20; ++i)
        writeFile(temp / ("src/inner/f" + std::to_string(i)), newData(i), New);
    const CopyReport done = CopyFolderTree(*fs, { temp / "src", volume.path() + "/bak" });
    ASSERT_EQ(done.failureCount, 0u);
    // The power goes right after the run has said it is done.
    inner.cutThePower(Ext4Volume::Journal::AsItIs);
    volume.cutThePower(Ext4Volume::Journal::AsItIs);
    ASSERT_TRUE(inner.comeBack());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(readFile(inner.path() + "/f" + std::to_string(i)), newData(i));
}

TEST(FullVolumeTest, AFileThatDoesNotFitIsPassedOverAndTheFilesThatFitAreCopied)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount a tmpfs";
    TempFolder temp;
    const std::string stick = temp / "stick";
    makeFolders(stick);
    if (run("mount -t tmpfs -o size=16m tmpfs '" + stick + "'") != 0)
        GTEST_SKIP() << "this machine does not mount a tmpfs";
    // 40 MB beside 300 documents of 8 KiB, on a 16 MB stick.
    writeFile(temp / "src/big.iso", std::string(40 << 20, 'b'), New);
    for (int i = 0; i < 300; ++i)
        writeFile(temp / ("src/doc" + std::to_string(i)), std::string(8 << 10, 'd'), New);
    auto fs = createNativeFileSystem();
    const CopyReport report = CopyFolderTree(*fs, { temp / "src", stick + "/bak" });
    run("umount '" + stick + "'");
    EXPECT_EQ(report.filesCopied, 300u);
    EXPECT_EQ(report.filesWithoutSpace, 1u);
    EXPECT_EQ(report.entriesNotExamined, 0u);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, stick + "/bak/big.iso");
    EXPECT_EQ(report.failures[0].error.kind, FsErrorKind::DiskFull);
}
