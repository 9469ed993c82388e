#include "app/workspace/CommandLine.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "app/platform/ProgramInfo.h"

namespace kanvo {

namespace {

// Command-line texts are in English, as kanvo-cli's are: a terminal may not show Chinese.
const QString kSelfTest = QStringLiteral("self-test");

} // namespace

CommandLine::CommandLine(const QStringList& arguments) : parser_(std::make_unique<QCommandLineParser>())
{
    QCommandLineParser& parser = *parser_;
    parser.setApplicationDescription(QStringLiteral("Kanvo (十字绣Kanvo) turns a picture into a cross-stitch chart."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(kSelfTest,
        QStringLiteral("Start as usual, report what was found and loaded, and exit (status 0 when everything is there).")));
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("A picture (BMP, JPEG, GIF or PNG) or a chart project (.oxs) to open."), QStringLiteral("[FILE]"));
    if (!parser.parse(arguments)) {
        error_ = parser.errorText();
    } else if (parser.positionalArguments().size() > 1) {
        error_ = QStringLiteral("one file at a time, not %1").arg(parser.positionalArguments().size());
    }
    answered_ = !error_.isEmpty() || parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("version"))
        || parser.isSet(QStringLiteral("help-all"));
    selfTest_ = error_.isEmpty() && parser.isSet(kSelfTest);
    if (error_.isEmpty() && !parser.positionalArguments().isEmpty())
        file_ = parser.positionalArguments().constFirst();
}

CommandLine::~CommandLine() = default;

int CommandLine::answer() const
{
    QCoreApplication::setApplicationName(ProgramInfo::commandName());
    QCoreApplication::setApplicationVersion(ProgramInfo::version());
    if (!error_.isEmpty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", qPrintable(ProgramInfo::commandName()),
            qPrintable(error_), qPrintable(ProgramInfo::commandName()));
        return 2;
    }
    if (parser_->isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(ProgramInfo::commandName()), qPrintable(ProgramInfo::version()));
        return 0;
    }
    std::fputs(parser_->helpText().toUtf8().constData(), stdout);
    return 0;
}

} // namespace kanvo
