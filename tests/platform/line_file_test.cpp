// The append-only line file of the trace: created private, appended to, refused with a reason.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>

#include "platform/line_file.h"
#include "support/scratch_directory.h"

namespace ptk::platform {
namespace {

using testing::ScratchDirectory;

TEST(LineFile, AppendsWholeLinesAndKeepsWhatWasThere) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "trace.log").string();
    directory.write("trace.log", "earlier\n");
    std::string error;
    {
        const auto file = LineFile::open(path, error);
        ASSERT_TRUE(file) << error;
        EXPECT_TRUE(file->append("one\n", 4));
        EXPECT_TRUE(file->append("two\n", 4));
    }
    {
        const auto file = LineFile::open(path, error);
        ASSERT_TRUE(file) << error;
        EXPECT_TRUE(file->append("three\n", 6));
    }
    EXPECT_EQ(directory.read("trace.log"), "earlier\none\ntwo\nthree\n");
}

TEST(LineFile, RefusesWhatCannotBeOpenedWithTheReason) {
    ScratchDirectory directory;
    std::string error;
    const std::string missingFolder = (directory.path() / "no" / "such" / "trace.log").string();
    EXPECT_FALSE(LineFile::open(missingFolder, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(LineFile::open(directory.path().string(), error)) << "a folder";
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "no"));
}

#ifndef _WIN32
mode_t permissions(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(LineFile, ANewFileAndAnExistingOpenOneAreReadableByTheOwnerOnly) {
    ScratchDirectory directory;
    const mode_t oldMask = ::umask(0);  // the widest a user could ask for
    std::string error;
    const std::string fresh = (directory.path() / "fresh.log").string();
    EXPECT_TRUE(LineFile::open(fresh, error)) << error;
    EXPECT_EQ(permissions(fresh), 0600u);

    const std::string existing = (directory.path() / "existing.log").string();
    directory.write("existing.log", "x\n");
    ::chmod(existing.c_str(), 0644);
    EXPECT_TRUE(LineFile::open(existing, error)) << error;
    EXPECT_EQ(permissions(existing), 0600u);
    ::umask(oldMask);
}

TEST(LineFile, ADeviceIsLeftAsItIs) {
    std::string error;
    const auto file = LineFile::open("/dev/null", error);
    ASSERT_TRUE(file) << error;
    EXPECT_TRUE(file->append("x\n", 2));
    EXPECT_EQ(permissions("/dev/null"), 0666u);
}
#endif

}  // namespace
}  // namespace ptk::platform
