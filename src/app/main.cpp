#include <cstdio>

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include "app/platform/FontSubstitutions.h"
#include "app/platform/QtTranslation.h"
#include "app/platform/UiLanguage.h"
#include "app/workspace/AppWiring.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/StartupReport.h"
#include "app/workspace/WindowHub.h"
#include "core/workspace/RunState.h"

int main(int argc, char* argv[])
{
    // The language chosen in the menu, else the environment's. In Chinese the standard dialogs
    // speak Chinese like the rest of the program (English if Qt's file is missing).
    const auto settings = kanvo::UiLanguage::openSettings();
    const kanvo::UiLanguage::Language language = kanvo::UiLanguage::atStart(*settings);
    kanvo::QtTranslation::prepareSystemLocale(language);
    QApplication app(argc, argv);
    // Ties the windows to the installed launcher io.github.kanvo.Kanvo.desktop (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kanvo.Kanvo"));
    (void)kanvo::QtTranslation::install(app, language);
    kanvo::installFontSubstitutions();
    const std::optional<QString> fontAliases = kanvo::loadFontAliasFile();
    // "--self-test": start as usual, report what was found and loaded, and end (see StartupReport).
    const bool selfTest = QCoreApplication::arguments().contains(QStringLiteral("--self-test"));
    // Secondary windows may stay open or hidden; the run ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    kanvo::RunState state;
    state.mergeTol = 0;
    // The ordered-dither table is a constant table of the image buffer; nothing to build.

    kanvo::WindowHub hub;
    kanvo::MainWindow window(state, hub);
    window.showLanguage(language);
    window.saveLanguage = [&settings](kanvo::UiLanguage::Language chosen) {
        kanvo::UiLanguage::save(*settings, chosen);
    };
    QObject::connect(&window, &kanvo::MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    kanvo::connectWindows(window, hub);
    window.load();
    window.show();
    if (selfTest) {
        QCoreApplication::processEvents();
        const kanvo::StartupReport report = kanvo::StartupReport::collect(window, hub, fontAliases);
        std::fputs(report.text().toUtf8().constData(), stdout);
        // The report stands even if closing the windows goes wrong.
        std::fflush(stdout);
        window.exitProgram();
        return report.complete() ? 0 : 1;
    }
    // After a crash: the chart being edited, from its autosave file.
    QTimer::singleShot(0, &window, [&hub] { hub.invokeOfferChartRecovery(); });
    return QApplication::exec();
}
