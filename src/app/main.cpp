#include <cstdio>

#include <QApplication>
#include <QTimer>

#include "app/platform/AppSettings.h"
#include "app/platform/FontSubstitutions.h"
#include "app/platform/ProgramInfo.h"
#include "app/platform/QtTranslation.h"
#include "app/platform/UiLanguage.h"
#include "app/platform/WindowGeometry.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/CommandLine.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/StartupReport.h"
#include "app/workspace/WindowHub.h"
#include "core/workspace/RunState.h"

int main(int argc, char* argv[])
{
    // "--help", "--version" and command lines that cannot run are answered without a window, so
    // also where there is no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const kanvo::CommandLine commandLine(arguments);
    if (commandLine.answered()) {
        QCoreApplication core(argc, argv);
        return commandLine.answer();
    }

    // The language chosen in the menu, else the environment's. In Chinese the standard dialogs
    // speak Chinese like the rest of the program (English if Qt's file is missing).
    kanvo::AppSettings settings(kanvo::AppSettings::defaultFilePath());
    kanvo::AppSettings::setCurrent(&settings);
    const kanvo::UiLanguage::Language language = settings.language().value_or(kanvo::UiLanguage::fromEnvironment());
    kanvo::QtTranslation::prepareSystemLocale(language);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(kanvo::ProgramInfo::version());
    // Ties the windows to the installed launcher io.github.kanvo.Kanvo.desktop (its name and icon);
    // the built-in icon serves where the launcher is not installed.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kanvo.Kanvo"));
    QApplication::setWindowIcon(kanvo::ProgramInfo::icon());
    (void)kanvo::QtTranslation::install(app, language);
    kanvo::installFontSubstitutions();
    const std::optional<QString> fontAliases = kanvo::loadFontAliasFile();
    // Secondary windows may stay open or hidden; the run ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    kanvo::RunState state;
    state.mergeTol = 0;
    // The ordered-dither table is a constant table of the image buffer; nothing to build.

    kanvo::WindowHub hub;
    kanvo::MainWindow window(state, hub);
    window.showLanguage(language);
    window.saveLanguage = [&settings](kanvo::UiLanguage::Language chosen) { settings.setLanguage(chosen); };
    QObject::connect(&window, &kanvo::MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    kanvo::connectWindows(window, hub);
    window.load();
    // "--self-test" reports on the program as shipped, not as the user left its windows.
    if (!commandLine.selfTest())
        kanvo::WindowGeometry::keep(window);
    window.show();
    if (commandLine.selfTest()) {
        QCoreApplication::processEvents();
        const kanvo::StartupReport report = kanvo::StartupReport::collect(window, hub, fontAliases);
        std::fputs(report.text().toUtf8().constData(), stdout);
        // The report stands even if closing the windows goes wrong.
        std::fflush(stdout);
        window.exitProgram();
        return report.complete() ? 0 : 1;
    }
    QTimer::singleShot(0, &window, [&hub, file = commandLine.file()] {
        // After a crash: the chart being edited, from its autosave file; then the file given.
        hub.invokeOfferChartRecovery();
        if (!file.isEmpty())
            (void)hub.invokeOpenFile(file);
    });
    return QApplication::exec();
}
