#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/palette/PaletteFile.h"

namespace kanvo {
namespace {

namespace fs = std::filesystem;

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::vector<std::uint8_t> paletteBytes(int records)
{
    std::vector<std::uint8_t> bytes;
    put32(bytes, 0xDEADBEEF); // header, ignored
    for (int n = 1; n <= records; ++n) {
        put32(bytes, static_cast<std::uint32_t>(n * 1000));
        put32(bytes, static_cast<std::uint32_t>(100 + n));
    }
    return bytes;
}

class PaletteFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path()
            / ("kanvo-palette-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }
    void write(const char* name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string read(const char* name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

TEST_F(PaletteFileTest, WritesTwoLinesPerRecordAndFillsTheTable)
{
    std::vector<std::uint8_t> bytes;
    put32(bytes, 7);
    put32(bytes, 0x00002F6F); // thread 300
    put32(bytes, 300);
    put32(bytes, 0xFFFFFFFF); // a negative colour is written as it is stored
    put32(bytes, 5200);
    write("dmc.pal", bytes);

    ThreadTable table;
    table.loadColor();
    const ThreadColor third = table.dmc(3);
    const ReadColorResult r = readColor(path("dmc.pal"), path("dmcbas.txt"), table);
    ASSERT_EQ(r.error, PaletteFileError::None) << r.detail;
    EXPECT_EQ(r.records, 2);
    EXPECT_EQ(read("dmcbas.txt"),
        "dmc(1).color = 12143\n"
        "dmc(1).cindex = \"300\"\n"
        "dmc(2).color = -1\n"
        "dmc(2).cindex = \"5200\"\n");
    EXPECT_EQ(table.dmc(1), (ThreadColor{12143, 300}));
    EXPECT_EQ(table.dmc(2), (ThreadColor{-1, 5200}));
    EXPECT_EQ(table.dmc(3), third); // entries after the last record are kept
}

TEST_F(PaletteFileTest, HeaderOnlyGivesAnEmptyListing)
{
    write("dmc.pal", paletteBytes(0));
    ThreadTable table;
    const ReadColorResult r = readColor(path("dmc.pal"), path("out.txt"), table);
    EXPECT_EQ(r.error, PaletteFileError::None);
    EXPECT_EQ(r.records, 0);
    EXPECT_TRUE(fs::exists(path("out.txt")));
    EXPECT_EQ(read("out.txt"), "");
}

TEST_F(PaletteFileTest, FiveHundredRecordsFit)
{
    write("dmc.pal", paletteBytes(500));
    ThreadTable table;
    const ReadColorResult r = readColor(path("dmc.pal"), path("out.txt"), table);
    ASSERT_EQ(r.error, PaletteFileError::None);
    EXPECT_EQ(r.records, 500);
    EXPECT_EQ(table.dmc(500), (ThreadColor{500000, 600}));
    const std::string text = read("out.txt");
    EXPECT_NE(text.find("dmc(500).cindex = \"600\"\n"), std::string::npos);
}

struct BadFile {
    const char* name;
    std::vector<std::uint8_t> bytes;
    PaletteFileError error;
};

class PaletteFileRefused : public PaletteFileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(PaletteFileRefused, LeavesTableAndTextFileAlone)
{
    write("dmc.pal", GetParam().bytes);
    {
        std::ofstream old(path("out.txt"));
        old << "old listing\n";
    }
    ThreadTable table;
    table.loadColor();
    const ThreadTable before = table;
    const ReadColorResult r = readColor(path("dmc.pal"), path("out.txt"), table);
    EXPECT_EQ(r.error, GetParam().error);
    EXPECT_EQ(r.records, 0);
    EXPECT_EQ(table, before);
    EXPECT_EQ(read("out.txt"), "old listing\n");
    EXPECT_FALSE(errorText(r.error).empty());
}

std::vector<std::uint8_t> truncatedRecord()
{
    auto b = paletteBytes(3);
    b.resize(b.size() - 3);
    return b;
}

INSTANTIATE_TEST_SUITE_P(Files, PaletteFileRefused,
    ::testing::Values(BadFile{"FiveHundredAndOne", paletteBytes(501), PaletteFileError::TooManyRecords},
        BadFile{"FarTooMany", paletteBytes(5000), PaletteFileError::TooManyRecords},
        BadFile{"Empty", {}, PaletteFileError::MissingHeader},
        BadFile{"ShortHeader", {1, 2, 3}, PaletteFileError::MissingHeader},
        BadFile{"PartialRecord", truncatedRecord(), PaletteFileError::PartialRecord}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PaletteFileTest, MissingPaletteFileIsReported)
{
    ThreadTable table;
    const ReadColorResult r = readColor(path("absent.pal"), path("out.txt"), table);
    EXPECT_EQ(r.error, PaletteFileError::CannotOpen);
    EXPECT_FALSE(fs::exists(path("out.txt")));
}

TEST_F(PaletteFileTest, UnwritableTextFileLeavesTheTableAlone)
{
    write("dmc.pal", paletteBytes(2));
    ThreadTable table;
    const ReadColorResult r = readColor(path("dmc.pal"), path("no-such-dir/out.txt"), table);
    EXPECT_EQ(r.error, PaletteFileError::CannotWrite);
    EXPECT_EQ(table, ThreadTable{});
}

} // namespace
} // namespace kanvo
