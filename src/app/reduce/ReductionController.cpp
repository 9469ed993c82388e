#include "app/reduce/ReductionController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include "app/platform/AppPaths.h"
#include "app/platform/MessageBoxes.h"
#include "app/reduce/BusyPointer.h"
#include "app/reduce/ChartSettingsWindow.h"
#include "app/reduce/SurfaceAdapter.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"

namespace kanvo {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

} // namespace

ReductionController::ReductionController(MainWindow& mainWindow, WindowHub& hub)
    : QObject(&mainWindow), mainWindow_(mainWindow), hub_(hub),
      pipeline_(mainWindow.runState(), makeHooks(), QFile::encodeName(AppPaths::scratchFolder()).toStdString())
{
}

ReductionController::~ReductionController()
{
    while (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

ReductionController* ReductionController::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto* controller = new ReductionController(mainWindow, hub);
    const QPointer<ReductionController> guarded(controller);
    hub.colourReduction = [guarded] { return guarded ? guarded->superReduce() : false; };
    hub.effectPreview = [guarded] { return guarded ? guarded->effectPreview() : false; };
    hub.saveEffect = [guarded] {
        if (guarded)
            (void)guarded->saveEffect();
    };
    hub.showSettingsWindow = [guarded] {
        if (guarded)
            guarded->showSettings();
    };
    return controller;
}

ReductionPipeline::Hooks ReductionController::makeHooks()
{
    ReductionPipeline::Hooks hooks;
    hooks.surface = [this] { return SurfaceAdapter::view(mainWindow_.zoomedSurface()); };
    hooks.setStatus = [this](std::string_view text) {
        mainWindow_.statusLine()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    hooks.report = [this](ReduceError error, const std::string& detail) { report(error, detail); };
    hooks.effectSaved = [this](const std::string& path) {
        MessageBoxes::current().information(&mainWindow_, QString::fromUtf8(kSaveTitle),
            QCoreApplication::translate("ReductionPipeline", ReductionPipeline::kSavedText.data())
                .arg(QDir::toNativeSeparators(qs(path))));
    };
    // Other handlers may run here; the pipeline re-reads the run state and the surface after.
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    hooks.setBusy = [this](bool busy) { setBusy(busy); };
    hooks.redrawGrid = [this] { redrawGrid(); };
    hooks.pictureChanged = [this] { mainWindow_.repaintPicture(); };
    return hooks;
}

void ReductionController::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

void ReductionController::report(ReduceError error, const std::string& detail)
{
    MessageBoxes& boxes = MessageBoxes::current();
    const QString text = qs(errorText(error));
    switch (error) {
    case ReduceError::None:
    case ReduceError::Busy: // a second click while a run is going: that run finishes the job
        return;
    case ReduceError::BitmapUnreadable:
        boxes.error(&mainWindow_, tr(kErrorTitle), text);
        return;
    case ReduceError::BufferNotCreated:
        boxes.information(&mainWindow_, tr(kApplicationTitle), text);
        return;
    case ReduceError::ScratchNotWritten:
        boxes.error(&mainWindow_, tr(kErrorTitle), text + QLatin1Char('\n') + qs(detail));
        return;
    case ReduceError::EffectNotWritten:
        boxes.error(&mainWindow_, QString::fromUtf8(kSaveTitle), text + QLatin1Char('\n') + qs(detail));
        return;
    }
}

void ReductionController::redrawGrid()
{
    auto* command2 = mainWindow_.findChild<QPushButton*>(QStringLiteral("Command2"));
    if (command2 != nullptr)
        command2->setEnabled(false);
    {
        const BusyPointer busy;
        mainWindow_.drawMatrixS();
    }
    if (command2 != nullptr)
        command2->setEnabled(true);
}

bool ReductionController::superReduce()
{
    return pipeline_.superReduce();
}

bool ReductionController::effectPreview()
{
    return pipeline_.effectPreview();
}

ReductionPipeline::SaveOutcome ReductionController::saveEffect()
{
    return pipeline_.saveEffect();
}

void ReductionController::showSettings()
{
    if (settings_ == nullptr) {
        settings_ = new ChartSettingsWindow(mainWindow_.runState(), &mainWindow_);
        hub_.adoptWindow(settings_);
    }
    settings_->openWindow();
}

} // namespace kanvo
