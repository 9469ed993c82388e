// Every writer of the program over a folder that refuses the write: a read-only file system and
// one that runs out of space, both small tmpfs mounts made by the test (which needs root and
// mount rights; the tests are skipped with a message otherwise). The old file must survive
// byte for byte, no temporary file may be left behind and the caller must be told.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/mount.h>

#include "core/chart/ChartBitmapFile.h"
#include "core/common/AtomicFile.h"
#include "core/image/ClsDIB.h"
#include "core/palette/PaletteFile.h"
#include "core/palette/ThreadTable.h"
#include "core/reduce/ReductionPipeline.h"

namespace kanvo {
namespace {

namespace fs = std::filesystem;

// A 64 KiB tmpfs at a fresh temp folder, unmounted and removed on destruction.
class SmallMount {
public:
    SmallMount()
    {
        path_ = fs::temp_directory_path() / ("kanvo-mount-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallMount()
    {
        if (mounted_)
            ::umount(path_.c_str());
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    [[nodiscard]] bool mounted() const { return mounted_; }
    [[nodiscard]] bool makeReadOnly() const
    {
        return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }
    [[nodiscard]] const fs::path& path() const { return path_; }

private:
    fs::path path_;
    bool mounted_ = false;
};

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 120 x 100 24-bit picture: a 36 KB file, more than the full file system has left.
ClsDIB bigPicture()
{
    ClsDIB dib;
    EXPECT_TRUE(dib.Create(120, 100, 24, true));
    return dib;
}

struct Writer {
    const char* name;
    // Writes to `path`; returns whether it succeeded and stores the reason it gives.
    std::function<bool(const fs::path& path, std::string& reason)> write;
};

void PrintTo(const Writer& writer, std::ostream* out)
{
    *out << writer.name;
}

std::vector<Writer> writers()
{
    return {
        {"writeFileAtomically",
            [](const fs::path& p, std::string& reason) {
                return writeFileAtomically(p.string(), std::vector<std::uint8_t>(40000, 0x5a), &reason);
            }},
        {"SaveBMP",
            [](const fs::path& p, std::string& reason) {
                ClsDIB dib = bigPicture();
                const bool ok = dib.SaveBMP(p.string());
                reason = std::string(errorText(dib.lastError()));
                return ok;
            }},
        {"ReductionPipeline::writeBitmap",
            [](const fs::path& p, std::string& reason) {
                return ReductionPipeline::writeBitmap(bigPicture(), p, &reason);
            }},
        {"saveChartBitmap",
            [](const fs::path& p, std::string& reason) {
                // 320 x 100 white canvas pixels: a 96 KB file.
                const std::vector<std::uint32_t> canvas(320 * 100, 0xffffffff);
                const CanvasPixels pixels{reinterpret_cast<const std::uint8_t*>(canvas.data()), 320, 100, 320 * 4};
                return saveChartBitmap(pixels, p.string(), &reason);
            }},
        {"readColor",
            [](const fs::path& p, std::string& reason) {
                // 500 records make a listing of about 25 KB.
                const fs::path palette = fs::temp_directory_path() / ("kanvo-pal-" + std::to_string(std::random_device{}()));
                {
                    std::ofstream out(palette, std::ios::binary);
                    out.write("\0\0\0\0", 4);
                    for (int i = 0; i < 500; ++i) {
                        const std::int32_t record[2] = {0x112233 + i, 3000 + i};
                        out.write(reinterpret_cast<const char*>(record), sizeof record);
                    }
                }
                ThreadTable table = loadedThreadTable();
                const ReadColorResult r = readColor(palette.string(), p.string(), table);
                fs::remove(palette);
                reason = errorText(r.error) + " " + r.detail;
                return r.error == PaletteFileError::None;
            }},
    };
}

class AtomicWriteFailureTest : public ::testing::TestWithParam<Writer> {};

TEST_P(AtomicWriteFailureTest, FullFileSystemKeepsTheOldFile)
{
    SmallMount mount;
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path target = mount.path() / "保存 的.bmp";
    const std::string old(8000, 'o');
    std::ofstream(target, std::ios::binary) << old;
    // Leave about 8 KiB free.
    std::ofstream(mount.path() / "filler", std::ios::binary) << std::string(48 * 1024, 'f');

    std::string reason;
    EXPECT_FALSE(GetParam().write(target, reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(readAll(target), old);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(mount.path()))
        ++entries;
    EXPECT_EQ(entries, 2) << "a temporary file was left behind";
}

TEST_P(AtomicWriteFailureTest, ReadOnlyFolderKeepsTheOldFile)
{
    SmallMount mount;
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and mount rights)";
    const fs::path target = mount.path() / "old file.bmp";
    std::ofstream(target, std::ios::binary) << "old contents";
    if (!mount.makeReadOnly())
        GTEST_SKIP() << "cannot remount the tmpfs read-only";

    std::string reason;
    EXPECT_FALSE(GetParam().write(target, reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(readAll(target), "old contents");
    // A new file cannot appear either.
    EXPECT_FALSE(GetParam().write(mount.path() / "new.bmp", reason));
    EXPECT_FALSE(fs::exists(mount.path() / "new.bmp"));
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, AtomicWriteFailureTest, ::testing::ValuesIn(writers()),
    [](const ::testing::TestParamInfo<Writer>& info) {
        std::string name;
        for (const char c : std::string(info.param.name))
            if (std::isalnum(static_cast<unsigned char>(c)))
                name += c;
        return name;
    });

} // namespace
} // namespace kanvo
