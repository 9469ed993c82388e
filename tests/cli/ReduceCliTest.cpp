#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ReduceCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kanvo-reduce-cli-" + std::to_string(::getpid()) + "-"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // A small 24-bit input made by hand: 5 x 3, 16-byte rows, a ramp of colours.
        std::vector<unsigned char> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 5, 0, 0, 0, 3, 0,
            0, 0, 1, 0, 24, 0};
        bmp.resize(54, 0);
        for (int row = 0; row < 3; ++row) {
            for (int b = 0; b < 16; ++b) {
                bmp.push_back(static_cast<unsigned char>(b < 15 ? (row * 80 + b * 17) % 256 : 0));
            }
        }
        input_ = path("in.bmp");
        std::ofstream(input_, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()),
            static_cast<std::streamsize>(bmp.size()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    [[nodiscard]] std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // Runs kanvo-cli with `args`; returns the exit code and keeps stderr in lastError_.
    int run(const std::string& args)
    {
        const std::string errFile = path("stderr.txt");
        const std::string command = std::string("'") + KANVO_CLI + "' " + args + " 2>'" + errFile + "' >/dev/null";
        const int status = std::system(command.c_str());
        std::ifstream in(errFile);
        lastError_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        fs::remove(errFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    [[nodiscard]] static std::vector<unsigned char> bytesOf(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
    std::string input_;
    std::string lastError_;
};

struct MethodCase {
    const char* method;
    int bitCount;
    unsigned offset;
};

TEST_F(ReduceCliTest, EveryMethodWritesItsDepth)
{
    for (const MethodCase c : {MethodCase{"1bit", 1, 62}, MethodCase{"2bit", 4, 118}, MethodCase{"3bit", 4, 118},
             MethodCase{"4bit", 4, 118}, MethodCase{"216", 8, 1078}, MethodCase{"8bit", 8, 1078},
             MethodCase{"16bit", 24, 54}}) {
        const std::string out = path(std::string("out-") + c.method + ".bmp");
        ASSERT_EQ(run(std::string("reduce --method ") + c.method + " '" + input_ + "' -o '" + out + "'"), 0)
            << c.method << ": " << lastError_;
        EXPECT_TRUE(lastError_.empty());
        const auto bytes = bytesOf(out);
        ASSERT_GE(bytes.size(), 54u) << c.method;
        EXPECT_EQ(bytes[28], c.bitCount) << c.method;
        EXPECT_EQ(bytes[10] | (bytes[11] << 8), static_cast<int>(c.offset)) << c.method;
        EXPECT_EQ(bytes[18], 5);
        EXPECT_EQ(bytes[22], 3);
    }
    EXPECT_EQ(run("reduce --method 216 --no-rotate '" + input_ + "' -o '" + path("nr.bmp") + "'"), 0) << lastError_;
    EXPECT_TRUE(fs::exists(path("nr.bmp")));
}

TEST_F(ReduceCliTest, BadArgumentsGiveOneLineAndNoOutput)
{
    const std::string out = path("out.bmp");
    const std::string o = " -o '" + out + "'";
    const std::vector<std::string> bad = {
        "",                                                      // no command
        "frobnicate",                                            // unknown command
        "reduce '" + input_ + "'" + o,                           // no method
        "reduce --method 17bit '" + input_ + "'" + o,            // unknown method
        "reduce --method 216" + o,                               // no input
        "reduce --method 216 '" + input_ + "'",                  // no output
        "reduce --method 216 '" + input_ + "' -o",               // -o without a value
        "reduce --method 1bit --no-rotate '" + input_ + "'" + o, // --no-rotate does not apply
        "reduce --method 216 --colour '" + input_ + "'" + o,     // unknown option
        "reduce --method 216 '" + input_ + "' '" + input_ + "'" + o, // two inputs
    };
    for (const std::string& args : bad) {
        EXPECT_NE(run(args), 0) << args;
        EXPECT_FALSE(lastError_.empty()) << args;
        // one line of error, then where to look
        const std::string command = args.rfind("reduce", 0) == 0 ? "kanvo-cli reduce" : "kanvo-cli";
        EXPECT_EQ(std::count(lastError_.begin(), lastError_.end(), '\n'), 2) << args << ": " << lastError_;
        EXPECT_EQ(lastError_.rfind(command + ": ", 0), 0u) << lastError_;
        EXPECT_NE(lastError_.find("\nTry '" + command + " --help' for more information.\n"), std::string::npos)
            << lastError_;
        EXPECT_FALSE(fs::exists(out)) << args;
    }
}

TEST_F(ReduceCliTest, UnreadableInputKeepsAnExistingOutput)
{
    const std::string out = path("keep.bmp");
    std::ofstream(out) << "old contents";
    const std::string notBmp = path("text.bmp");
    std::ofstream(notBmp) << "this is not a bitmap";
    for (const std::string& in : {path("missing.bmp"), notBmp}) {
        EXPECT_NE(run("reduce --method 216 '" + in + "' -o '" + out + "'"), 0);
        EXPECT_NE(lastError_.find("cannot read"), std::string::npos) << lastError_;
        std::ifstream kept(out);
        const std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, "old contents");
    }
    EXPECT_NE(run("reduce --method 216 '" + input_ + "' -o '" + path("no/such/dir/out.bmp") + "'"), 0);
    EXPECT_NE(lastError_.find("cannot write"), std::string::npos) << lastError_;
}

} // namespace
