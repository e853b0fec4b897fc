#pragma once

#include "RecordingController.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/core/ManualClock.h"
#include "platform/ui/Geometry.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace ui {
class Window;
}

// The system's container on a 320 × 480 screen: a recording home screen in the centre and a
// recording menu on the left that is also the delegate. Time moves only through step().
class SidePanelFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the container in a window as its root and lets the first appearance finish.
    void show();
    void step(double seconds) { m_clock.advance(seconds); }
    double slidingX() const;
    double slidingY() const;
    // A finger down at `from`, moved to `to` in `steps` even steps over `duration` seconds of
    // the clock; drag() lifts it there, hold() leaves it down (release() lifts it later).
    void drag(ui::Point from, ui::Point to, double duration, int steps = 10);
    void hold(ui::Point from, ui::Point to, double duration, int steps = 10);
    void release(ui::Point at);
    QStringList take();   // the journal so far, cleared

    core::ManualClock m_clock;
    std::shared_ptr<QStringList> journal;
    std::shared_ptr<RecordingController> home;
    std::shared_ptr<RecordingController> menu;
    std::shared_ptr<SidePanelController> container;
    std::shared_ptr<ui::Window> window;
};
