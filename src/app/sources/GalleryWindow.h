#pragma once

#include <functional>
#include <optional>

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace kanvo {

class MainWindow;

// The pattern gallery `Form6`: seven category buttons, the files of the current category's
// folder in `File1`, the clicked picture at natural size in `Image1`, a hint `Label1`,
// "应用" (`Command5`) and "退出" (`Command9`).
//
// Each category is a folder of the same name found in the first of the search folders that has
// it (by default AppPaths::shippedFolders(): beside the program, the installed data folder,
// the source tree's assets/). "应用" loads the selected file through the main window's
// loadSourcePicture(), closes the file chooser and keeps the gallery open; a failure shows
// kErrorText, which the file chooser shows too. The window deletes itself when closed.
class GalleryWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kErrorTitle = "quillex";
    static constexpr const char* kErrorText =
        QT_TR_NOOP("   错误的图形文件，无法打开，请确认是jpg,gif,bmp,png格式中的一种   ");

    struct Category {
        const char* button; // objectName of the button
        const char* name;   // caption and folder name
    };
    // In button order.
    static constexpr Category kCategories[] = {
        {"Command1", QT_TR_NOOP("动漫")}, {"Command2", QT_TR_NOOP("美女")}, {"Command3", QT_TR_NOOP("汽车")},
        {"Command4", QT_TR_NOOP("星座")}, {"Command6", QT_TR_NOOP("动物")}, {"Command7", QT_TR_NOOP("风景")},
        {"Command8", QT_TR_NOOP("艺术")},
    };

    // mainWindow (not owned) must outlive the gallery. closeFileChooser closes the file
    // chooser if it is open (may be empty). searchFolders as described above.
    GalleryWindow(MainWindow& mainWindow, std::function<void()> closeFileChooser, QStringList searchFolders,
                  QWidget* parent = nullptr);
    ~GalleryWindow() override;

    // The category folder name in the first search folder that has it; empty when none has.
    [[nodiscard]] std::optional<QString> categoryFolder(const QString& name) const;
    // The folder File1 lists; empty while no category folder was found.
    [[nodiscard]] QString folderPath() const { return folder_; }
    // objectName of the disabled (current) category button; empty before the first choice.
    [[nodiscard]] QString currentCategoryButton() const;

    // Handlers, public so tests can run them as the controls do.
    void chooseCategory(int index); // index into kCategories
    void fileClicked(int row);
    bool apply(); // "应用"; true when the picture was loaded

    // The picture Image1 shows; null before any preview.
    [[nodiscard]] const QImage& previewImage() const { return preview_; }

private:
    void buildControls();
    void showFolder(const QString& folder);
    void reportFailure();

    MainWindow& mainWindow_;
    std::function<void()> closeFileChooser_;
    QStringList searchFolders_;
    QString folder_;
    QImage preview_;
    QList<QPushButton*> categoryButtons_;
    QLabel* label1_ = nullptr;
    QListWidget* file1_ = nullptr;
    QLabel* image1_ = nullptr;
    QPushButton* command5_ = nullptr;
    QPushButton* command9_ = nullptr;
};

} // namespace kanvo
