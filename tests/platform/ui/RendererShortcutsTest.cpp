#include "platform/ui/Renderer.h"

#include "platform/core/RunLoop.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"

#include "tests/support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <functional>

using namespace ui;

namespace {

// The renderer draws a rectangular mask as a clip and a wide path shadow at reduced
// resolution. Each scene is drawn twice: once as it stands, once forced through the general
// offscreen pass (a near-opaque layer with a sublayer must be composited as a whole), and
// the two pictures must agree.

constexpr double kAlmostOpaque = 0.9999;

std::shared_ptr<Layer> box(const Rect& frame, const Color& color)
{
    auto l = Layer::create();
    l->setFrame(frame);
    l->setBackgroundColor(color);
    return l;
}

void forceOffscreen(Layer& layer)
{
    layer.setOpacity(kAlmostOpaque);
    layer.addSublayer(box(Rect(0, 0, 1, 1), Color::clear()));
}

// Renders the scene that `build` adds to a white root, plain and forced offscreen.
std::pair<QImage, QImage> renderBothWays(const std::function<std::shared_ptr<Layer>()>& build, double scale = 2)
{
    auto plainRoot = box(Rect(0, 0, 120, 120), Color::white());
    plainRoot->addSublayer(build());
    auto forcedRoot = box(Rect(0, 0, 120, 120), Color::white());
    auto forced = build();
    forceOffscreen(*forced);
    forcedRoot->addSublayer(forced);
    return {Renderer::render(*plainRoot, Size(120, 120), scale), Renderer::render(*forcedRoot, Size(120, 120), scale)};
}

std::shared_ptr<ShapeLayer> maskOf(const Path& path, const Color& fill = Color::black())
{
    auto mask = ShapeLayer::create();
    mask->setFrame(path.boundingBox());
    mask->setPath(path);
    mask->setFillColor(fill);
    return mask;
}

class RendererShortcutsTest : public ::testing::Test {
protected:
    void TearDown() override { core::RunLoop::main().reset(); }
};

TEST_F(RendererShortcutsTest, MasksCutTheSameWhetherClippedOrComposited)
{
    struct Case {
        const char* name;
        std::function<std::shared_ptr<Layer>()> masked;
        double scale;
    };
    const Case cases[] = {
        {"rectangle on whole pixels",
         [] {
             auto l = box(Rect(10, 10, 100, 100), Color::red());
             l->setMask(maskOf(Path::rect(Rect(0, 0, 60, 70)), Color::black()));
             l->mask()->setPosition(Point(45, 50));   // moved within the layer
             return l;
         },
         2},
        {"rectangle on half pixels", [] {
             auto l = box(Rect(10, 10, 100, 100), Color::red());
             l->setMask(maskOf(Path::rect(Rect(0.5, 0.5, 40, 40))));
             return l;
         },
         1},
        {"translucent mask", [] {
             auto l = box(Rect(10, 10, 100, 100), Color::red());
             l->setMask(maskOf(Path::rect(Rect(0, 0, 50, 50)), Color::black().withAlpha(0.5)));
             return l;
         },
         2},
        {"rounded mask", [] {
             auto l = box(Rect(10, 10, 100, 100), Color::red());
             l->setMask(maskOf(Path::roundedRect(Rect(0, 0, 80, 80), 20)));
             return l;
         },
         2},
        {"rotated mask", [] {
             auto l = box(Rect(10, 10, 100, 100), Color::red());
             l->setMask(maskOf(Path::rect(Rect(0, 0, 50, 50))));
             l->mask()->setTransform(Transform::rotation(0.5));
             return l;
         },
         2},
        {"masked shadow caster", [] {
             auto l = box(Rect(20, 20, 80, 80), Color::blue());
             l->setShadowOpacity(1);
             l->setShadowRadius(3);
             l->setShadowOffset(Size(6, 6));
             l->setShadowPath(Path::rect(Rect(0, 0, 80, 80)));
             l->setMask(maskOf(Path::rect(Rect(0, 0, 84, 84))));
             return l;
         },
         2},
    };
    for (const auto& c : cases) {
        const auto [plain, forced] = renderBothWays(c.masked, c.scale);
        EXPECT_LE(pixels::largestDifference(plain, forced), 2) << c.name;
    }

    // And what a mask leaves is what the user sees: inside red, outside white.
    const auto [plain, forced] = renderBothWays(cases[0].masked);
    EXPECT_EQ(Renderer::colorAt(plain, Point(30, 30)), Color::red());
    EXPECT_EQ(Renderer::colorAt(plain, Point(100, 100)), Color::white());
}

TEST_F(RendererShortcutsTest, WideShadowsMatchTheFullResolutionBlur)
{
    // Radii from a hard edge to the side panel's soft one, on a screen-wide path.
    for (const double radius : {1.0, 4.0, 10.0, 16.0}) {
        const auto [plain, forced] = renderBothWays([radius] {
            auto caster = Layer::create();
            caster->setFrame(Rect(30, 25, 60, 70));
            caster->setShadowOpacity(0.5);
            caster->setShadowRadius(radius);
            caster->setShadowOffset(Size(-3, 2));
            caster->setShadowPath(Path::rect(Rect(0, 0, 60, 70)));
            return caster;
        });
        EXPECT_LE(pixels::largestDifference(plain, forced), 4) << "radius " << radius;
    }
}

} // namespace
