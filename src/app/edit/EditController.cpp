#include "app/edit/EditController.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>

#include "app/edit/ColorReplacementWindow.h"
#include "app/edit/TextOverlay.h"
#include "app/platform/AppPaths.h"
#include "app/platform/MessageBoxes.h"
#include "app/workspace/MainWindow.h"
#include "app/workspace/WindowHub.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"

namespace kanvo {

EditController::EditController(MainWindow& mainWindow, WindowHub& hub)
    : QObject(&mainWindow),
      mainWindow_(mainWindow),
      hub_(hub),
      preparation_(mainWindow.runState(), loadedThreadTable(), makeHooks(),
          QFile::encodeName(AppPaths::scratchFolder()).toStdString())
{
}

EditController::~EditController()
{
    while (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

EditController* EditController::install(MainWindow& mainWindow, WindowHub& hub)
{
    auto* controller = new EditController(mainWindow, hub);
    controller->overlay_ = TextOverlay::install(mainWindow, hub);
    const QPointer<EditController> guarded(controller);
    hub.prepareEdit = [guarded] {
        if (guarded)
            (void)guarded->prepareEdit();
    };
    return controller;
}

EditPreparation::Hooks EditController::makeHooks()
{
    EditPreparation::Hooks hooks;
    hooks.setStatus = [this](std::string_view text) {
        mainWindow_.statusLine()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    hooks.report = [this](EditPrepError error) { report(error); };
    hooks.pumpEvents = [] { QCoreApplication::processEvents(); };
    hooks.setBusy = [this](bool busy) { setBusy(busy); };
    return hooks;
}

bool EditController::prepareEdit()
{
    const ChartModel& chart = mainWindow_.runState().chart;
    // A chart read from a project is edited as it stands in the chart window: it has no reduced
    // picture behind it to prepare.
    const bool project = chart.fromProject && chart.chartReady;
    const EditPreparation::Outcome outcome = project ? EditPreparation::Outcome{} : preparation_.prepare();
    if (!project && !outcome.ready)
        return false;
    if (window_ == nullptr) {
        window_ = new ColorReplacementWindow(mainWindow_.runState(), hub_, loadedThreadTable(), &mainWindow_);
        hub_.adoptWindow(window_);
    }
    if (project)
        window_->loadChart(chart);
    else
        window_->load(outcome.model);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

void EditController::report(EditPrepError error)
{
    MessageBoxes& boxes = MessageBoxes::current();
    const QString text = QString::fromStdString(errorText(error));
    const std::string caption = errorCaption(error);
    const QString title = caption.empty() ? tr(kApplicationTitle) : QString::fromStdString(caption);
    if (error == EditPrepError::None)
        return;
    if (error == EditPrepError::BitmapUnreadable)
        boxes.error(&mainWindow_, title, text);
    else
        boxes.information(&mainWindow_, title, text);
}

void EditController::setBusy(bool busy)
{
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

} // namespace kanvo
