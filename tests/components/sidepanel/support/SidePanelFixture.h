#pragma once

#include "RecordingController.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Geometry.h"
#include "tests/support/UiFixture.h"

#include <QStringList>
#include <memory>

namespace ui {
class Window;
}

// The system's container on a 320 × 480 screen: a recording home screen in the centre and a
// recording menu on the left that is also the delegate. Time moves only through step().
class SidePanelFixture : public UiFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh container, for each case of a table.
    void restart()
    {
        TearDown();
        SetUp();
    }

    // Puts the container in a window as its root and lets the first appearance finish.
    void show();
    double slidingX() const;
    double slidingY() const;
    // A finger down at `from`, moved to `to` in `steps` even steps over `duration` seconds of
    // the clock; drag() lifts it there, hold() leaves it down (release() lifts it later).
    void drag(ui::Point from, ui::Point to, double duration, int steps = 10);
    void hold(ui::Point from, ui::Point to, double duration, int steps = 10);
    void release(ui::Point at);
    QStringList take();   // the journal so far, cleared

    std::shared_ptr<QStringList> journal;
    std::shared_ptr<RecordingController> home;
    std::shared_ptr<RecordingController> menu;
    std::shared_ptr<SidePanelController> container;
    std::shared_ptr<ui::Window> window;
};
