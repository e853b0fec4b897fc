#pragma once

#include "RecordingController.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <QStringList>
#include <memory>
#include <utility>

// The system's container on a 320 × 480 screen: a recording home screen in the centre and a
// recording menu on the left that is also the delegate. Time moves only through step().
class SidePanelFixture : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ui::Screen::setMain(ui::Size(320, 480), 2);
        journal = std::make_shared<QStringList>();
        home = RecordingController::create(QStringLiteral("home"), journal);
        menu = RecordingController::create(QStringLiteral("menu"), journal);
        container = SidePanelController::create(home, menu);
        container->setDelegate(menu);
    }
    void TearDown() override
    {
        window.reset();
        container.reset();
        UiFixture::TearDown();
    }
    // A fresh container, for each case of a table.
    void restart() { TearDown(); SetUp(); }

    // Puts the container in a window as its root and lets the first appearance finish.
    void show()
    {
        window = ui::Window::create(ui::Screen::main().bounds());
        window->setRootViewController(container);
        window->makeKeyAndVisible();
        step(0.01);
    }
    double slidingX() const { return container->slidingControllerView()->frame().x(); }
    // A finger down at `from`, moved to `to` in `steps` even steps over `duration` seconds of
    // the clock; drag() lifts it there, hold() leaves it down (release() lifts it later).
    void drag(ui::Point from, ui::Point to, double duration, int steps = 10)
    {
        ui::TouchInjector::drag(*clock, *window, from, to, duration, steps);
    }
    void hold(ui::Point from, ui::Point to, double duration, int steps = 10)
    {
        ui::TouchInjector::touchDown(*window, from);
        for (int i = 1; i <= steps; ++i) {
            step(duration / steps);
            ui::TouchInjector::touchMove(*window, from + (to - from) * (double(i) / steps));
        }
    }
    void release(ui::Point at) { ui::TouchInjector::touchUp(*window, at); }
    // The journal so far, cleared.
    QStringList take() { return std::exchange(*journal, {}); }

    std::shared_ptr<QStringList> journal;
    std::shared_ptr<RecordingController> home;
    std::shared_ptr<RecordingController> menu;
    std::shared_ptr<SidePanelController> container;
    std::shared_ptr<ui::Window> window;
};
