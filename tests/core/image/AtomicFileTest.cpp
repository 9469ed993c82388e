#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestSupport.h"
#include "core/common/AtomicFile.h"

namespace kanvo {
namespace {

TEST(AtomicFileTest, ReplacesALongerFileCompletely)
{
    test::TempDir dir;
    const std::string file = dir.file("a.bin");
    test::writeBytes(file, std::vector<std::uint8_t>(500, 7));
    const std::vector<std::uint8_t> bytes = {1, 2, 3};
    std::string error;
    ASSERT_TRUE(writeFileAtomically(file, bytes, &error)) << error;
    EXPECT_EQ(test::readBytes(file), bytes);
}

TEST(AtomicFileTest, NewFileGetsTheUsualPermissions)
{
    test::TempDir dir;
    const std::string file = dir.file("p.bin");
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(writeFileAtomically(file, std::vector<std::uint8_t>{1}));
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFileTest, FailureKeepsTheOldFileAndCleansUp)
{
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir.file("no/such/folder/x.bin"), std::vector<std::uint8_t>{1}, &error));
    EXPECT_FALSE(error.empty());
    const std::string folder = dir.file("busy");
    std::filesystem::create_directories(folder + "/child");
    EXPECT_FALSE(writeFileAtomically(folder, std::vector<std::uint8_t>{1}, &error));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/child"));
    EXPECT_FALSE(writeFileAtomically("", std::vector<std::uint8_t>{1}, &error));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFileTest, WritesAnEmptyFile)
{
    test::TempDir dir;
    const std::string file = dir.file("empty.bin");
    ASSERT_TRUE(writeFileAtomically(file, {}));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

} // namespace
} // namespace kanvo
