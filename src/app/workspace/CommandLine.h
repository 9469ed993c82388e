#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace kanvo {

// The program's command line, read with QCommandLineParser:
//   kanvo [--self-test] [FILE]
//   kanvo --help | --version
// FILE is a picture (opened as "导入图片" opens one) or an .oxs chart project (as "打开绣图工程"
// does); the desktop's launcher passes the file the user opened with Kanvo.
//
// Reading needs no application object, so that "--help" and "--version" work without a display:
// when answered() is true, main() makes a QCoreApplication and returns answer()'s status.
class CommandLine {
public:
    // arguments as QCoreApplication::arguments() gives them: the program's name first.
    explicit CommandLine(const QStringList& arguments);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // "--help", "--version" or a command line that cannot be run: nothing to start.
    [[nodiscard]] bool answered() const { return answered_; }
    // Prints the usage or "kanvo 0.1.0" on stdout (status 0), or the error on stderr with a hint
    // to --help (status 2, as kanvo-cli). Needs a QCoreApplication.
    [[nodiscard]] int answer() const;

    [[nodiscard]] bool selfTest() const { return selfTest_; }
    // The file to open after the start-up picture; empty when none was given.
    [[nodiscard]] const QString& file() const { return file_; }

private:
    std::unique_ptr<QCommandLineParser> parser_;
    QString error_;
    QString file_;
    bool answered_ = false;
    bool selfTest_ = false;
};

} // namespace kanvo
