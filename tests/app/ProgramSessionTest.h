#pragma once

#include <memory>

#include <QComboBox>
#include <QObject>
#include <QTest>

#include "app/chart/ChartCanvasView.h"
#include "app/chart/ChartWindow.h"
#include "core/palette/ThreadTable.h"
#include "ProgramSession.h"

namespace kanvo {

// Base of the widget tests that drive the whole program: one session per test function, with
// short names for its parts. init() calls openSession(), sets any hooks, then session->start();
// cleanup() calls closeSession().
class ProgramSessionTest : public QObject {
protected:
    // False when the session's working folder cannot be made.
    [[nodiscard]] bool openSession()
    {
        session = std::make_unique<ProgramSession>();
        if (!session->valid())
            return false;
        boxes = &session->boxes;
        state = &session->state;
        hub = &session->hub;
        window = session->window.get();
        return true;
    }

    // The main window goes first and takes its secondary windows with it.
    void closeSession()
    {
        session.reset();
        boxes = nullptr;
        state = nullptr;
        hub = nullptr;
        window = nullptr;
    }

    // The effect preview's stitch matrix: w x h stitches of colour(x, y).
    template <class F> void fillStitches(int w, int h, F colour)
    {
        state->stitchMatrix = StitchMatrix();
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                state->stitchMatrix.set(x, y, colour(x, y));
        state->picW = w;
        state->picH = h;
    }

    // The chart window opened by the main window's "生成" after an effect preview of a w x h
    // stitch matrix of colour(x, y); nullptr when it did not open.
    template <class F> ChartWindow* openChartWindow(int w, int h, F colour)
    {
        fillStitches(w, h, colour);
        state->previewReady = true;
        window->generateChart();
        return window->findChild<ChartWindow*>();
    }

    // The chart window, 1000 x 760, of a 20 x 12 chart generated in blocks and symbols
    // ("生成绣图色块"): DMC 310 in a frame two cells wide around DMC 150, both in the table's own
    // colours, so each stitch gets exactly that thread. nullptr when the window did not open or
    // does not show the chart.
    ChartWindow* openFramedChart()
    {
        ChartWindow* chart = openChartWindow(20, 12, [](int x, int y) {
            const bool frame = x < 2 || x >= 18 || y < 2 || y >= 10;
            return frame ? makeColor(0, 0, 0) : makeColor(0xAB, 0x02, 0x49);
        });
        if (chart == nullptr)
            return nullptr;
        chart->resize(1000, 760);
        if (!QTest::qWaitForWindowExposed(chart))
            return nullptr;
        chart->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("生成绣图色块"));
        chart->generate();
        return chart->canvasView()->showsChart() ? chart : nullptr;
    }

    // The thread index of a DMC number; 0 when the table lacks it.
    [[nodiscard]] static int threadOfNumber(int number)
    {
        for (int t = 1; t <= ThreadTable::kThreads; ++t)
            if (loadedThreadTable().dmc(t).cindex == number)
                return t;
        return 0;
    }

    std::unique_ptr<ProgramSession> session;
    RecordingMessageBoxes* boxes = nullptr;
    RunState* state = nullptr;
    WindowHub* hub = nullptr;
    MainWindow* window = nullptr;
};

} // namespace kanvo
