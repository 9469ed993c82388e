// Every core entry point that reads a picture or a palette, driven over the hostile corpus: each
// file is refused with an error (or decoded where it is a sound file), nothing in the corpus
// folder changes, the state the reader was to fill is kept on failure, and the process stays
// within 1 GiB of address space. The outcome table goes to the test log.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "HostileCorpus.h"
#include "core/edit/EditPreparation.h"
#include "core/image/ClsDIB.h"
#include "core/palette/PaletteFile.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"

namespace kanvo {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMemoryLimit = 1ull << 30;

class HostileInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::limitAddressSpace(kMemoryLimit); }
    void SetUp() override
    {
        work = fs::temp_directory_path() / ("kanvo-hostile-work-" + std::to_string(std::random_device{}()));
        fs::create_directories(work);
        before = corpus.fingerprint();
    }
    void TearDown() override
    {
        EXPECT_EQ(corpus.fingerprint(), before) << "an entry point changed the corpus folder";
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    static void row(const std::string& entryPoint, const std::string& name, const std::string& outcome)
    {
        std::cout << "| " << entryPoint << " | " << name << " | " << outcome << " |\n";
    }

    test::HostileCorpus corpus;
    std::map<std::string, std::pair<std::int64_t, std::uint64_t>> before;
    fs::path work;
};

std::vector<std::uint8_t> pixelsOf(const ClsDIB& dib)
{
    std::span<const std::uint8_t> view;
    dib.MapArray(view);
    return {view.begin(), view.end()};
}

TEST_F(HostileInputTest, LoadBitMapRefusesEveryBrokenFileAndKeepsTheBuffer)
{
    for (const auto& e : corpus.entries()) {
        SCOPED_TRACE(e.name);
        ClsDIB dib;
        ASSERT_TRUE(dib.Create(3, 2, 24, true));
        dib.setPixel24(1, 1, 0x123456);
        const auto old = pixelsOf(dib);
        const bool loaded = dib.LoadBitMap(e.path(corpus.folder()).string());
        EXPECT_EQ(loaded, e.bmpDecodes);
        if (loaded) {
            EXPECT_EQ(dib.lastError(), DibError::None);
            EXPECT_GT(dib.Width(), 0);
            EXPECT_GT(dib.Height(), 0);
            EXPECT_EQ(dib.ColorBit(), 24);
            row("LoadBitMap", e.name, "decoded " + std::to_string(dib.Width()) + "x" + std::to_string(dib.Height()));
        } else {
            EXPECT_NE(dib.lastError(), DibError::None);
            EXPECT_FALSE(errorText(dib.lastError()).empty());
            EXPECT_EQ(dib.Width(), 3);
            EXPECT_EQ(pixelsOf(dib), old);
            row("LoadBitMap", e.name, std::string("refused: ") + std::string(errorText(dib.lastError())));
        }
    }
}

TEST_F(HostileInputTest, EditPreparationReportsAnUnreadableScratchPictureAndKeepsTheWorkingCopy)
{
    for (const auto& e : corpus.entries()) {
        SCOPED_TRACE(e.name);
        const fs::path scratch = work / "tmppicv.bmp";
        std::error_code ec;
        fs::remove_all(scratch, ec);
        const fs::path source = e.path(corpus.folder());
        if (fs::is_directory(source))
            fs::create_directory(scratch);
        else if (fs::exists(source))
            fs::copy_file(source, scratch);
        else
            continue; // a missing scratch file is the "no reduction yet" case, tested elsewhere

        RunState state;
        state.picW = 6;
        state.picH = 4;
        state.ColorBit = 16;
        state.stitchMatrix.fill(0xFFFFFF);
        ASSERT_TRUE(state.imageBuffer1.Create(5, 4, 24, true));
        std::vector<EditPrepError> reports;
        EditPreparation::Hooks hooks;
        hooks.setStatus = [](std::string_view) {};
        hooks.report = [&](EditPrepError error) { reports.push_back(error); };
        hooks.pumpEvents = [] {};
        hooks.setBusy = [](bool) {};
        EditPreparation prep(state, loadedThreadTable(), hooks, work);
        const auto outcome = prep.prepare();
        EXPECT_TRUE(outcome.started);
        EXPECT_TRUE(outcome.ready);
        if (e.bmpDecodes) {
            EXPECT_TRUE(reports.empty());
            row("EditPreparation (tmppicv.bmp)", e.name, "read, tmpcolorv.bmp written");
        } else {
            EXPECT_EQ(reports, std::vector<EditPrepError>{EditPrepError::BitmapUnreadable});
            // The earlier working copy is converted instead.
            EXPECT_EQ(state.imageBuffer1.Width(), 5);
            EXPECT_EQ(state.imageBuffer1.Height(), 4);
            row("EditPreparation (tmppicv.bmp)", e.name, errorText(EditPrepError::BitmapUnreadable));
        }
        EXPECT_TRUE(outcome.colorFileWritten);
        ClsDIB written;
        EXPECT_TRUE(written.LoadBitMap((work / "tmpcolorv.bmp").string()));
    }
}

TEST_F(HostileInputTest, ReadColorRefusesEveryFileThatIsNotAPaletteAndKeepsTableAndText)
{
    for (const auto& e : corpus.entries()) {
        SCOPED_TRACE(e.name);
        const fs::path source = e.path(corpus.folder());
        const fs::path text = work / "palette.txt";
        {
            std::ofstream(text, std::ios::binary) << "old listing\n";
        }
        ThreadTable table = loadedThreadTable();
        const ThreadTable old = table;
        const ReadColorResult result = readColor(source.string(), text.string(), table);

        // A palette is any regular file of a 4-byte header and at most 500 whole 8-byte records.
        std::error_code ec;
        const bool regular = fs::is_regular_file(source, ec);
        const auto size = regular ? fs::file_size(source) : 0;
        const bool palette = regular && size >= 4 && (size - 4) % 8 == 0 && (size - 4) / 8 <= 500;
        if (palette) {
            EXPECT_EQ(result.error, PaletteFileError::None);
            EXPECT_EQ(result.records, static_cast<int>((size - 4) / 8));
            row("readColor", e.name, "read " + std::to_string(result.records) + " records");
        } else {
            EXPECT_NE(result.error, PaletteFileError::None);
            EXPECT_FALSE(errorText(result.error).empty());
            EXPECT_TRUE(table == old);
            std::ifstream in(text, std::ios::binary);
            std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(kept, "old listing\n");
            row("readColor", e.name, "refused: " + errorText(result.error));
        }
    }
}

} // namespace
} // namespace kanvo

namespace kanvo {
namespace {

// Inputs the fuzzers found, named after the fault: each must decode or be refused, quickly
// (the test's time limit) and within the memory limit.
TEST(FuzzFindingsTest, BmpReaderDecodesOrRefusesEveryFinding)
{
    test::limitAddressSpace(kMemoryLimit);
    int seen = 0;
    for (const auto& item : std::filesystem::directory_iterator(KANVO_FUZZ_FINDINGS_DIR)) {
        if (item.path().extension() != ".bmp")
            continue;
        SCOPED_TRACE(item.path().filename().string());
        ++seen;
        ClsDIB dib;
        if (dib.LoadBitMap(item.path().string())) {
            EXPECT_EQ(dib.ColorBit(), 24);
            EXPECT_GT(dib.Width() * static_cast<long long>(dib.Height()), 0);
        } else {
            EXPECT_NE(dib.lastError(), DibError::None);
        }
    }
    EXPECT_GE(seen, 1);
}

} // namespace
} // namespace kanvo
