// kanvo-cli legend, run as a separate process on small BMP files written by the test.

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/common/Color.h"
#include "core/palette/ThreadTable.h"

namespace {

namespace fs = std::filesystem;

struct Rgb {
    int r, g, b;
};

void put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// An uncompressed 24-bit bottom-up BMP; pixels[y][x] with y = 0 the top row.
void writeBmp(const fs::path& path, const std::vector<std::vector<Rgb>>& pixels)
{
    const int h = static_cast<int>(pixels.size());
    const int w = static_cast<int>(pixels[0].size());
    const int stride = (w * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> f{'B', 'M'};
    put(f, static_cast<std::uint32_t>(54 + stride * h), 4);
    put(f, 0, 4);
    put(f, 54, 4);
    put(f, 40, 4);
    put(f, static_cast<std::uint32_t>(w), 4);
    put(f, static_cast<std::uint32_t>(h), 4);
    put(f, 1, 2);
    put(f, 24, 2);
    put(f, 0, 4);
    put(f, static_cast<std::uint32_t>(stride * h), 4);
    put(f, 2835, 4);
    put(f, 2835, 4);
    put(f, 0, 4);
    put(f, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& p = pixels[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            f.push_back(static_cast<std::uint8_t>(p.b));
            f.push_back(static_cast<std::uint8_t>(p.g));
            f.push_back(static_cast<std::uint8_t>(p.r));
        }
        for (int pad = w * 3; pad < stride; ++pad)
            f.push_back(0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
}

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class LegendCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path()
            / ("kanvo-legend-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    CliRun run(const std::string& args) const
    {
        const fs::path out = dir_ / "stdout.txt";
        const fs::path err = dir_ / "stderr.txt";
        const std::string command = std::string("\"") + KANVO_CLI + "\" legend " + args + " >\"" + out.string()
            + "\" 2>\"" + err.string() + "\"";
        CliRun r;
        const int status = std::system(command.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }
    static std::string slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string file(const char* name) const { return "\"" + (dir_ / name).string() + "\""; }

    fs::path dir_;
};

// Thread colours from the card: 666 DD0028, 3865 FCFBF8, 310 000000.
constexpr Rgb k666{0xDD, 0x00, 0x28};
constexpr Rgb k3865{0xFC, 0xFB, 0xF8};
constexpr Rgb k310{0, 0, 0};

TEST_F(LegendCli, PrintsSymbolNumberAndCountInLegendOrder)
{
    writeBmp(dir_ / "in.bmp", {{k666, k666, k3865}, {k310, k666, k310}});
    const CliRun r = run(file("in.bmp") + " --rare 0");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a 666 3\nb 3865 1\nc 310 2\ncolorCount 3\nmaxColor 3\n");
}

TEST_F(LegendCli, DefaultRareThresholdIsFive)
{
    std::vector<std::vector<Rgb>> px(2, std::vector<Rgb>(5, k310));
    px[1][4] = k666; // 9 black stitches and 1 red one
    writeBmp(dir_ / "in.bmp", px);
    const CliRun r = run(file("in.bmp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a 310 9\ncolorCount 2\nmaxColor 1\n");
}

TEST_F(LegendCli, MergeStrengthIsTwentyTimesTheTolerance)
{
    // 781 and 783 are CB8300 and DE9B05: 19^2 + 24^2 + 5^2 = 962 apart.
    writeBmp(dir_ / "in.bmp", {{{0xCB, 0x83, 0x00}, {0xDE, 0x9B, 0x05}}});
    CliRun r = run(file("in.bmp") + " --rare 0 --merge 48"); // 960
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a 781 1\nb 783 1\ncolorCount 2\nmaxColor 2\n");
    r = run(file("in.bmp") + " --rare 0 --merge 49"); // 980
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "a 781 2\ncolorCount 1\nmaxColor 1\n");
}

TEST_F(LegendCli, ThreadsPastTheSymbolsPrintNone)
{
    // 300 threads of distinct table colours, one stitch each, 20 x 15, in table order.
    const kanvo::ThreadTable& table = kanvo::loadedThreadTable();
    std::vector<int> numbers;
    std::vector<kanvo::ColorValue> used;
    std::vector<std::vector<Rgb>> px(15, std::vector<Rgb>(20));
    for (int i = 1; i <= 452 && numbers.size() < 300; ++i) {
        const kanvo::ColorValue c = table.colorOf(i);
        if (std::find(used.begin(), used.end(), c) != used.end())
            continue;
        const std::size_t k = numbers.size();
        px[k / 20][k % 20] = Rgb{kanvo::redOf(c), kanvo::greenOf(c), kanvo::blueOf(c)};
        used.push_back(c);
        numbers.push_back(table.dmc(i).cindex);
    }
    writeBmp(dir_ / "in.bmp", px);
    const CliRun res = run(file("in.bmp") + " --rare 0");
    ASSERT_EQ(res.exitCode, 0) << res.err;
    std::istringstream lines(res.out);
    std::string line;
    for (std::size_t k = 0; k < 300; ++k) {
        ASSERT_TRUE(std::getline(lines, line));
        std::istringstream fields(line);
        std::string symbol;
        int number = 0;
        int count = 0;
        fields >> symbol >> number >> count;
        EXPECT_EQ(number, numbers[k]) << k;
        EXPECT_EQ(count, 1) << k;
        if (k == 0) {
            EXPECT_EQ(symbol, "a");
        }
        if (k == 76) {
            EXPECT_EQ(symbol, "人");
        }
        if (k < 241) {
            EXPECT_NE(symbol, "none") << k;
        } else {
            EXPECT_EQ(symbol, "none") << k;
        }
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "colorCount 300");
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "maxColor 300");
}

TEST_F(LegendCli, RefusesBadInput)
{
    std::vector<std::vector<Rgb>> wide(1, std::vector<Rgb>(321, k310));
    writeBmp(dir_ / "wide.bmp", wide);
    std::vector<std::vector<Rgb>> colourful(2, std::vector<Rgb>(251));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 251; ++x)
            colourful[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = Rgb{x, y, 7};
    writeBmp(dir_ / "many.bmp", colourful); // 502 colours
    writeBmp(dir_ / "ok.bmp", {{k310}});
    {
        std::ofstream junk(dir_ / "junk.bmp");
        junk << "not a picture";
    }
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {file("absent.bmp"), "cannot read"},
        {file("junk.bmp"), "cannot read"},
        {file("wide.bmp"), "321 x 1"},
        {file("many.bmp"), "too many colours"},
        {file("ok.bmp") + " --brand CC", "only DMC"},
        {file("ok.bmp") + " --rare abc", "--rare"},
        {file("ok.bmp") + " --merge -1", "--merge"},
        {file("ok.bmp") + " --merge", "needs a value"},
        {"", "missing input"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_NE(r.exitCode, 0) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

} // namespace
