// The POSIX save as other threads of the process see it.
#include "FileSystem.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::atomic<int> umaskCalls{0};
} // namespace

// Every call of umask() in this program comes here first: the umask is the
// process's, so a save that changed it, even for a moment, would give files
// that other threads create meanwhile the wrong mode.
extern "C" mode_t umask(mode_t mask) {
    umaskCalls.fetch_add(1);
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

using testing_support::TempDir;

TEST(FileSystem, ASaveNeverTouchesTheProcesssUmask) {
    const mode_t before = static_cast<mode_t>(::syscall(SYS_umask, 027));
    TempDir dir;
    const int calls = umaskCalls.load();
    ASSERT_TRUE(platform::WriteFileReplacing(dir.File("new.ini"), "new"));
    ASSERT_TRUE(platform::WriteFileReplacing(dir.File("new.ini"), "again"));
    EXPECT_EQ(umaskCalls.load(), calls);
    struct stat info {};
    ASSERT_EQ(::stat((dir.Path() / "new.ini").c_str(), &info), 0);
    // A new file: 0666 less the umask, as any create would make it.
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A file that exists keeps its own mode.
    ASSERT_EQ(::chmod((dir.Path() / "new.ini").c_str(), 0604), 0);
    ASSERT_TRUE(platform::WriteFileReplacing(dir.File("new.ini"), "third"));
    ASSERT_EQ(::stat((dir.Path() / "new.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    ::syscall(SYS_umask, before);
}
