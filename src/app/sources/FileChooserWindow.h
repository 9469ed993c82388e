#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;

namespace kanvo {

class MainWindow;

// The image file chooser `Form2`: a folder tree `Dir1` (in place of separate drive and folder
// lists), the folder's pictures (PictureNameRule::isPictureName) in `File1`, a stretched preview
// `Image1`, "确定" (`Command1`, also a double-click on a file) and "取消" (`Command2`).
//
// "确定" records the file in RunState::sourceFile, the folder in lastDrive / lastFolder, runs
// the main window's loadSourcePicture() and closes the chooser. Without a file it closes
// silently; a picture that does not load shows the gallery's GalleryWindow::kErrorText first. The window deletes itself when closed; the next opening starts at lastFolder once
// a file was confirmed, at the working folder before that.
class FileChooserWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPreviewWidth = 129;
    static constexpr int kPreviewHeight = 89;

    // mainWindow (not owned) must outlive the chooser.
    explicit FileChooserWindow(MainWindow& mainWindow, QWidget* parent = nullptr);
    ~FileChooserWindow() override;

    // The folder whose files File1 lists (absolute), and the drive it lies on (its volume's
    // root folder, "/" on most Unix systems).
    [[nodiscard]] QString folderPath() const { return folder_; }
    [[nodiscard]] QString drivePath() const;

    // Handlers, public so tests can run them as the controls do.
    // Shows folder in the tree and its files in File1; a folder that does not exist changes nothing.
    void showFolder(const QString& folder);
    void fileClicked(int row); // File1 click: preview rule, then decode into Image1
    void confirm();            // "确定"
    void cancel();             // "取消"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // The picture Image1 shows (stretched to the box when painted); null before any preview.
    [[nodiscard]] const QImage& previewImage() const { return preview_; }

private:
    void buildControls();
    void folderSelected();
    // Lists folder's files in File1; false, changing nothing, when it is not a folder.
    [[nodiscard]] bool listFolder(const QString& folder);
    // Selects and scrolls to folder_ in the tree, as far as the model has read it.
    void revealFolder();

    MainWindow& mainWindow_;
    QString folder_;
    QImage preview_;
    QFileSystemModel* folders_ = nullptr;
    QLabel* label1_ = nullptr;
    QTreeView* dir1_ = nullptr;
    QListWidget* file1_ = nullptr;
    QLabel* image1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    bool syncing_ = false;
    bool revealPending_ = false; // the tree still has to show folder_ (until the user touches it)
};

} // namespace kanvo
