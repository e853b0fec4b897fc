#include "SidePanelFixture.h"

#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

void SidePanelFixture::SetUp()
{
    UiFixture::SetUp();
    ui::Screen::setMain(ui::Size(320, 480), 2);
    journal = std::make_shared<QStringList>();
    home = RecordingController::create(QStringLiteral("home"), journal);
    menu = RecordingController::create(QStringLiteral("menu"), journal);
    container = SidePanelController::create(home, menu);
    container->setDelegate(menu);
}

void SidePanelFixture::TearDown()
{
    window.reset();
    container.reset();
    UiFixture::TearDown();
}

void SidePanelFixture::show()
{
    window = ui::Window::create(ui::Screen::main().bounds());
    window->setRootViewController(container);
    window->makeKeyAndVisible();
    step(0.01);
}

double SidePanelFixture::slidingX() const
{
    return container->slidingControllerView()->frame().x();
}

double SidePanelFixture::slidingY() const
{
    return container->slidingControllerView()->frame().y();
}

void SidePanelFixture::drag(ui::Point from, ui::Point to, double duration, int steps)
{
    ui::TouchInjector::drag(*clock, *window, from, to, duration, steps);
}

void SidePanelFixture::hold(ui::Point from, ui::Point to, double duration, int steps)
{
    ui::TouchInjector::touchDown(*window, from);
    for (int i = 1; i <= steps; ++i) {
        step(duration / steps);
        ui::TouchInjector::touchMove(*window, from + (to - from) * (double(i) / steps));
    }
}

void SidePanelFixture::release(ui::Point at)
{
    ui::TouchInjector::touchUp(*window, at);
}

QStringList SidePanelFixture::take()
{
    QStringList all = *journal;
    journal->clear();
    return all;
}
