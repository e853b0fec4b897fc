#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

#include <QImage>

namespace {

using SidePanelScreenshot = SidePanelFixture;

// Drawn at the screen's scale of 2. The shadow darkens the menu just left of the sliding
// edge, the more the nearer.
TEST_F(SidePanelScreenshot, ClosedOpenAndDraggedHalfOpen)
{
    const auto at = [](const QImage& image, double x) { return pixels::at(image, {x, 240}, 2); };
    show();
    step(1.1);   // the shadow has faded in
    const QImage closed = window->renderImage();
    EXPECT_TRUE(screenshot::save(closed, QStringLiteral("sidepanel-closed")));
    const QColor homeColour = at(closed, 100);
    EXPECT_EQ(at(closed, 300), homeColour);

    hold({20, 240}, {180, 240}, 0.8);
    ASSERT_EQ(slidingX(), 160);
    const QImage half = window->renderImage();
    EXPECT_TRUE(screenshot::save(half, QStringLiteral("sidepanel-dragged-half-open")));
    EXPECT_EQ(at(half, 240), homeColour);
    EXPECT_NE(at(half, 60), homeColour);
    EXPECT_LT(at(half, 155).lightness(), at(half, 145).lightness());
    EXPECT_LT(at(half, 155).lightness(), at(half, 60).lightness());
    release({180, 240});

    container->openLeftViewAnimated(false);
    step(1.1);
    const QImage open = window->renderImage();
    EXPECT_TRUE(screenshot::save(open, QStringLiteral("sidepanel-left-open")));
    EXPECT_EQ(at(open, 310), homeColour);   // the ledge of the home screen stays
    EXPECT_LT(at(open, 270).lightness(), at(open, 100).lightness());
}

} // namespace
