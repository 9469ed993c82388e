#include "app/workspace/StartupReport.h"

#include <iterator>

#include <QCoreApplication>
#include <QDate>
#include <QListWidget>
#include <QLocale>

#include "app/platform/AppPaths.h"
#include "app/platform/QtTranslation.h"
#include "app/sources/GalleryWindow.h"
#include "app/sources/SourcesController.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

namespace kanvo {

StartupReport StartupReport::collect(MainWindow& mainWindow, WindowHub& hub, std::optional<QString> fontAliasFile)
{
    StartupReport report;
    const RunState& state = mainWindow.runState();
    report.startupPicture = QString::fromStdString(state.sourceFile);
    report.pictureSize = mainWindow.sourcePicture().size();
    report.grid = QSize(state.gridWidth(), state.picH);
    report.helpDocument = AppPaths::findShipped(QString::fromUtf8(AppPaths::kHelpDocument));
    report.fontAliasFile = std::move(fontAliasFile);
    // The text Qt gives the standard "OK" button (QPlatformTheme's), translated or not.
    report.okButton = QCoreApplication::translate("QPlatformTheme", "OK");
    // What the file dialog's type and date columns write for a folder of 9 December 2026.
    report.fileDialogTexts = QStringLiteral("%1, %2").arg(
        QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
        QLocale::system().toString(QDate(2026, 12, 9), QLocale::ShortFormat));
    report.english = QtTranslation::installed() == UiLanguage::Language::English;
    report.englishTranslation = QtTranslation::programTranslation(UiLanguage::Language::English);

    hub.invokeShowGallery(WindowHub::Origin::Menu, std::nullopt);
    QCoreApplication::processEvents();
    const auto* sources = mainWindow.findChild<SourcesController*>();
    GalleryWindow* gallery = sources != nullptr ? sources->gallery() : nullptr;
    for (int i = 0; i < static_cast<int>(std::size(GalleryWindow::kCategories)); ++i) {
        Category category{QString::fromUtf8(GalleryWindow::kCategories[i].name), std::nullopt, 0, 0};
        if (gallery != nullptr)
            category.folder = gallery->categoryFolder(category.name);
        if (category.folder) {
            gallery->chooseCategory(i);
            auto* list = gallery->findChild<QListWidget*>(QStringLiteral("File1"));
            category.listed = list != nullptr ? list->count() : 0;
            for (int row = 0; row < category.listed; ++row) {
                // A file that does not decode leaves the previous preview in place.
                const qint64 before = gallery->previewImage().cacheKey();
                gallery->fileClicked(row);
                if (!gallery->previewImage().isNull() && gallery->previewImage().cacheKey() != before)
                    ++category.previewed;
                QCoreApplication::processEvents();
            }
        }
        report.categories.push_back(std::move(category));
    }
    return report;
}

bool StartupReport::complete() const
{
    if (pictureSize.isEmpty() || !helpDocument || !fontAliasFile || !englishTranslation
        || (!english && okButton == QLatin1String("OK")) || categories.empty())
        return false;
    for (const Category& category : categories)
        if (!category.folder || category.previewed == 0)
            return false;
    return true;
}

QString StartupReport::text() const
{
    auto orMissing = [](const std::optional<QString>& path) { return path.value_or(QStringLiteral("missing")); };
    QString out;
    out += QStringLiteral("start-up picture: %1 (%2)\n")
               .arg(startupPicture,
                    pictureSize.isEmpty() ? QStringLiteral("not loaded")
                                          : QStringLiteral("%1 x %2").arg(pictureSize.width()).arg(pictureSize.height()));
    out += QStringLiteral("grid: %1 x %2 stitches\n").arg(grid.width()).arg(grid.height());
    out += QStringLiteral("help document: %1\n").arg(orMissing(helpDocument));
    out += QStringLiteral("font aliases: %1\n").arg(orMissing(fontAliasFile));
    out += QStringLiteral("standard dialogs: %1\n").arg(okButton);
    out += QStringLiteral("file dialog: %1\n").arg(fileDialogTexts);
    out += QStringLiteral("interface: %1\n").arg(english ? QStringLiteral("English") : QStringLiteral("Chinese"));
    out += QStringLiteral("English translation: %1\n").arg(orMissing(englishTranslation));
    int found = 0;
    int pictures = 0;
    for (const Category& category : categories) {
        found += category.folder ? 1 : 0;
        pictures += category.previewed;
    }
    out += QStringLiteral("gallery: %1 of %2 category folders, %3 pictures\n")
               .arg(found)
               .arg(categories.size())
               .arg(pictures);
    for (const Category& category : categories) {
        if (category.folder)
            out += QStringLiteral("  %1: %2, %3 listed, %4 previewed\n")
                       .arg(category.name, *category.folder)
                       .arg(category.listed)
                       .arg(category.previewed);
        else
            out += QStringLiteral("  %1: missing\n").arg(category.name);
    }
    out += complete() ? QStringLiteral("self-test: passed\n") : QStringLiteral("self-test: FAILED\n");
    return out;
}

} // namespace kanvo
