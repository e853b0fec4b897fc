#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

namespace {

// Screenshots go where QBANK_SCREENSHOTS points, else into the test's working folder.
QString screenshotPath(const QString& name)
{
    const QString folder = qEnvironmentVariableIsSet("QBANK_SCREENSHOTS") ? qEnvironmentVariable("QBANK_SCREENSHOTS")
                                                                          : QDir::currentPath();
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

QColor pixelAt(const QImage& image, double x, double y)
{
    // Points to pixels at the screen's scale of 2.
    return image.pixelColor(int(x * 2), int(y * 2));
}

using SidePanelScreenshot = SidePanelFixture;

TEST_F(SidePanelScreenshot, ClosedAndWithTheLeftSideOpen)
{
    show();
    const QImage closed = window->renderImage();
    ASSERT_FALSE(closed.isNull());
    ASSERT_TRUE(closed.save(screenshotPath(QStringLiteral("sidepanel-closed.png"))));
    const QColor homeColor = pixelAt(closed, 100, 240);
    EXPECT_EQ(pixelAt(closed, 300, 240), homeColor);   // the home screen fills the window

    container->openLeftView();
    step(1.1);   // the slide, then the shadow's fade-in
    const QImage open = window->renderImage();
    ASSERT_TRUE(open.save(screenshotPath(QStringLiteral("sidepanel-left-open.png"))));
    EXPECT_NE(pixelAt(open, 100, 240), homeColor);     // the menu shows on the left
    EXPECT_EQ(pixelAt(open, 310, 240), homeColor);     // the ledge of the home screen stays
    // The shadow darkens the menu just left of the sliding edge.
    EXPECT_LT(pixelAt(open, 270, 240).lightness(), pixelAt(open, 100, 240).lightness());
}

TEST_F(SidePanelScreenshot, DraggedHalfOpenWithItsShadow)
{
    show();
    step(1.1);   // the shadow has faded in
    hold({20, 240}, {180, 240}, 0.8);
    ASSERT_EQ(slidingX(), 160);
    const QImage half = window->renderImage();
    ASSERT_TRUE(half.save(screenshotPath(QStringLiteral("sidepanel-dragged-half-open.png"))));
    const QColor homeColor = pixelAt(half, 240, 240);
    EXPECT_NE(pixelAt(half, 60, 240), homeColor);   // the menu shows on the left half
    // The shadow darkens the menu just left of the sliding edge, fading with distance.
    EXPECT_LT(pixelAt(half, 155, 240).lightness(), pixelAt(half, 60, 240).lightness());
    EXPECT_LT(pixelAt(half, 155, 240).lightness(), pixelAt(half, 145, 240).lightness());
    release({180, 240});
}

} // namespace
