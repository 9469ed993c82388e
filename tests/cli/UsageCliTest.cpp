// kanvo-cli's own conventions, run as a process: help on stdout with status 0 in every usual
// form, --version, and usage errors as one line and a hint on stderr with status 2.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string contents(const fs::path& file)
{
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class UsageCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("kanvo-usage-cli-" + std::to_string(::getpid()) + "-"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // args is shell text after the program's name; runs in the test's own folder.
    Outcome run(const std::string& args) const
    {
        const std::string command = "cd '" + dir_.string() + "' && '" KANVO_CLI "' " + args + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(dir_ / "out.txt"), contents(dir_ / "err.txt")};
    }

    fs::path dir_;
};

std::string hint(const std::string& command)
{
    return "Try '" + command + " --help' for more information.\n";
}

TEST_F(UsageCliTest, HelpOfEveryCommandOnStdout)
{
    for (const char* args : {"--help", "-h", "help"}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
        EXPECT_EQ(r.out.rfind("usage: kanvo-cli [--lang zh|en] COMMAND [ARGUMENTS]\n", 0), 0u) << args << ": " << r.out;
        for (const char* command : {"\n  kanvo-cli reduce --method", "\n  kanvo-cli legend IN.bmp"
#ifdef KANVO_CLI_CHART
                 , "\n  kanvo-cli chart IN"
#endif
             })
            EXPECT_NE(r.out.find(command), std::string::npos) << args << " lacks " << command;
    }
}

TEST_F(UsageCliTest, HelpOfOneCommandOnStdout)
{
    struct Case {
        const char* args;
        const char* usage; // the first line
    };
    const Case cases[] = {
        {"help reduce", "usage: kanvo-cli reduce --method 1bit|2bit|3bit|4bit|216|8bit|16bit [--no-rotate] IN.bmp -o OUT.bmp\n"},
        {"reduce --help", "usage: kanvo-cli reduce --method"},
        {"reduce --method 216 in.bmp -h -o out.bmp", "usage: kanvo-cli reduce --method"},
        {"legend --help", "usage: kanvo-cli legend IN.bmp [--merge N] [--rare T] [--brand DMC]\n"},
        {"help legend", "usage: kanvo-cli legend IN.bmp"},
#ifdef KANVO_CLI_CHART
        {"chart --help", "usage: kanvo-cli chart IN [-o OUT.bmp|OUT.png|OUT.pdf|OUT.oxs]"},
        {"chart in.png -o out.bmp --help", "usage: kanvo-cli chart IN"},
        {"help chart", "usage: kanvo-cli chart IN"},
#endif
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 0) << c.args;
        EXPECT_EQ(r.err, "") << c.args;
        EXPECT_EQ(r.out.rfind(c.usage, 0), 0u) << c.args << ": " << r.out;
        // that command only
        EXPECT_EQ(r.out.find("COMMAND"), std::string::npos) << c.args << ": " << r.out;
    }
    // Help runs nothing: no output file appears.
    EXPECT_FALSE(fs::exists(dir_ / "out.bmp"));
}

TEST_F(UsageCliTest, VersionOnStdout)
{
    const Outcome r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kanvo-cli " KANVO_VERSION "\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(UsageCliTest, UsageErrorIsOneLineAndAHint)
{
    struct Case {
        const char* args;
        std::string err;
    };
    const Case cases[] = {
        {"", "kanvo-cli: no command given\n" + hint("kanvo-cli")},
        {"frobnicate", "kanvo-cli: unknown command \"frobnicate\"\n" + hint("kanvo-cli")},
        {"--verbose", "kanvo-cli: unknown command \"--verbose\"\n" + hint("kanvo-cli")},
        {"help frobnicate", "kanvo-cli: help takes one command name, not \"frobnicate\"\n" + hint("kanvo-cli")},
        {"help reduce legend", "kanvo-cli: help takes one command name, not \"legend\"\n" + hint("kanvo-cli")},
        {"reduce --colour", "kanvo-cli reduce: unknown option \"--colour\"\n" + hint("kanvo-cli reduce")},
        {"legend", "kanvo-cli legend: missing input file\n" + hint("kanvo-cli legend")},
#ifdef KANVO_CLI_CHART
        {"chart in.png",
            "kanvo-cli chart: nothing to write: give -o OUT.bmp|OUT.png|OUT.pdf|OUT.oxs, --pattern, --legend or "
            "--grid\n" + hint("kanvo-cli chart")},
#endif
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
}

} // namespace
