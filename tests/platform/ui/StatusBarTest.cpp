#include "platform/ui/StatusBar.h"

#include "platform/ui/Application.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

using O = InterfaceOrientation;
using StatusBarTest = UiFixture;

} // namespace

// The bar lies along the interface's top, which is another edge of the unturned screen in
// each orientation; it is 20 points thick and goes when hidden.
TEST_F(StatusBarTest, TheApplicationsBarTurnsWithTheOrientationAndCanBeHidden)
{
    Screen::setMain(Size(320, 480), 2);
    auto& app = Application::shared();
    const std::pair<O, Rect> frames[] = {
        {O::Portrait, Rect(0, 0, 320, 20)},
        {O::PortraitUpsideDown, Rect(0, 460, 320, 20)},
        {O::LandscapeRight, Rect(300, 0, 20, 480)},
        {O::LandscapeLeft, Rect(0, 0, 20, 480)},
        {O::Unknown, Rect(0, 0, 320, 20)},
    };
    for (const auto& [orientation, frame] : frames) {
        app.setStatusBarOrientation(orientation);
        EXPECT_EQ(app.statusBarFrame(), frame) << int(orientation);
    }

    app.setStatusBarHidden(true);
    EXPECT_TRUE(app.statusBarFrame().isEmpty());
    app.setStatusBarHidden(false);
    app.statusBar().setHeight(40);
    EXPECT_EQ(app.statusBarFrame(), Rect(0, 0, 320, 40));   // Unknown counts as portrait

    app.reset();
    EXPECT_EQ(app.statusBarFrame(), Rect(0, 0, 320, 20));
    Screen::setMain(Size(768, 1024), 2, Screen::Idiom::Pad);
    EXPECT_EQ(app.statusBarFrame(), Rect(0, 0, 768, 20));
}
