#include "platform/ui/Renderer.h"

#include "platform/core/Bundle.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Image.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"
#include "tests/support/PixelProbe.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace ui;

namespace {

::testing::AssertionResult near(const Color& actual, const Color& expected, double tolerance = 0.03)
{
    const double d = std::max({std::abs(actual.r() - expected.r()), std::abs(actual.g() - expected.g()),
                               std::abs(actual.b() - expected.b()), std::abs(actual.alpha() - expected.alpha())});
    return d <= tolerance ? ::testing::AssertionSuccess()
                          : ::testing::AssertionFailure() << "off by " << d << " (red " << actual.r() << ")";
}

// Every listed point of the shot is near its colour.
void expectColours(const QImage& shot, std::initializer_list<std::pair<Point, Color>> pixels)
{
    for (const auto& [point, colour] : pixels)
        EXPECT_TRUE(near(Renderer::colorAt(shot, point), colour)) << "at " << point.x << ", " << point.y;
}

std::shared_ptr<Layer> box(const Rect& frame, const Color& color)
{
    auto l = Layer::create();
    l->setFrame(frame);
    l->setBackgroundColor(color);
    return l;
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override { core::Bundle::setResourcePath(dir.path()); }
    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        Image::clearCache();
        core::RunLoop::main().reset();
    }
    QTemporaryDir dir;
};

// A small screen: an image from the resource folder and a shadowed box (text is drawn in the label tests).
TEST_F(RendererTest, ImageAndShadowLandOnTheExpectedPixels)
{
    QImage red(40, 40, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("tile.png")));

    auto root = box(Rect(0, 0, 100, 100), Color::white());
    auto image = box(Rect(10, 10, 20, 20), Color::clear());
    image->setContents(Image::named("tile"));
    root->addSublayer(image);

    auto shadowed = box(Rect(50, 65, 20, 20), Color::blue());
    shadowed->setShadowOpacity(1);
    shadowed->setShadowRadius(0);
    shadowed->setShadowOffset(Size(5, 5));
    root->addSublayer(shadowed);

    const QImage shot = Renderer::render(*root, Size(100, 100), 2);
    ASSERT_EQ(shot.size(), QSize(200, 200));
    EXPECT_DOUBLE_EQ(shot.devicePixelRatio(), 2);
    expectColours(shot, {{{20, 20}, Color::red()}, {{5, 5}, Color::white()}, {{31, 20}, Color::white()}});
    // The box, its hard shadow below right, and white beyond.
    expectColours(shot, {{{60, 75}, Color::blue()}, {{72, 87}, Color::black()}, {{52, 67}, Color::blue()},
                         {{76, 91}, Color::white()}, {{48, 67}, Color::white()}});
}

TEST_F(RendererTest, ShadowPathsBlurAndMasksToBounds)
{
    auto root = box(Rect(0, 0, 100, 100), Color::white());
    // A plain layer that only casts a shadow by its path (the side panel's shadow layer).
    auto caster = Layer::create();
    caster->setFrame(Rect(20, 20, 60, 60));
    caster->setShadowOpacity(0.5);
    caster->setShadowRadius(4);
    caster->setShadowOffset(Size(0, 0));
    caster->setShadowPath(Path::rect(Rect(0, 0, 60, 60)));
    root->addSublayer(caster);
    QImage shot = Renderer::render(*root, Size(100, 100), 2);
    EXPECT_TRUE(near(Renderer::colorAt(shot, {50, 50}), Color::fromWhite(0.5)));
    const Color edge = Renderer::colorAt(shot, {19, 50});   // just outside: blurred, lighter
    EXPECT_GT(edge.r(), 0.55);
    EXPECT_LT(edge.r(), 0.95);
    EXPECT_TRUE(near(Renderer::colorAt(shot, {5, 50}), Color::white()));

    // Masking to bounds clips the layer's own shadow away.
    caster->setMasksToBounds(true);
    shot = Renderer::render(*root, Size(100, 100), 2);
    EXPECT_TRUE(near(Renderer::colorAt(shot, {50, 50}), Color::white()));
}

// A chart's line: a shape layer of no size whose path spans its superlayer, unclipped, even
// when the layer itself stands off screen.
TEST_F(RendererTest, ShapeLayerPathsAreNotBoundByTheirLayer)
{
    auto root = box(Rect(0, 0, 100, 100), Color::white());
    auto chart = Layer::create();
    chart->setFrame(Rect(10, 10, 80, 40));
    auto line = ShapeLayer::create();
    line->setPosition({-30, 0});
    Path path;
    path.moveTo({30, 40});
    path.lineTo({110, -5});   // a value above the maximum is drawn above the chart
    line->setPath(path);
    line->setLineWidth(2);
    line->setStrokeColor(Color::green());
    line->setFillColor(Color::clear());
    chart->addSublayer(line);
    root->addSublayer(chart);
    const QImage shot = Renderer::render(*root, Size(100, 100), 2);
    EXPECT_TRUE(near(Renderer::colorAt(shot, {50, 27.5}), Color::green(), 0.3));   // on the line
    EXPECT_TRUE(near(Renderer::colorAt(shot, {89, 6}), Color::green(), 0.3));    // above the chart's box
    EXPECT_TRUE(near(Renderer::colorAt(shot, {50, 45}), Color::white()));        // not filled
}

TEST_F(RendererTest, CornerRadiusMasksOpacityAndTransforms)
{
    auto root = box(Rect(0, 0, 100, 100), Color::white());
    auto rounded = box(Rect(0, 0, 40, 40), Color::red());
    rounded->setCornerRadius(15);
    rounded->setMasksToBounds(true);
    rounded->addSublayer(box(Rect(0, 0, 40, 40), Color::green()));
    root->addSublayer(rounded);

    // A mask keeps only the left half of a blue box (a shape mask draws its path whatever
    // its own size).
    auto masked = box(Rect(50, 0, 40, 40), Color::blue());
    auto mask = ShapeLayer::create();
    mask->setPath(Path::rect(Rect(0, 0, 20, 40)));
    masked->setMask(mask);
    root->addSublayer(masked);

    // Half-opaque black over white, with a child: faded as one group.
    auto faded = box(Rect(0, 50, 40, 40), Color::black());
    faded->setOpacity(0.5);
    faded->addSublayer(box(Rect(0, 0, 20, 20), Color::black()));
    root->addSublayer(faded);

    // A 40 × 4 bar turned a quarter about its centre stands upright.
    auto bar = box(Rect(50, 68, 40, 4), Color::red());
    bar->setTransform(Transform::rotation(M_PI / 2));
    root->addSublayer(bar);

    auto hidden = box(Rect(0, 0, 100, 100), Color::black());
    hidden->setHidden(true);
    root->addSublayer(hidden);

    const QImage shot = Renderer::render(*root, Size(100, 100), 2);
    expectColours(shot, {{{1, 1}, Color::white()},   // the rounded corner
                         {{20, 20}, Color::green()}, {{20, 1}, Color::green()},
                         {{60, 20}, Color::blue()}, {{80, 20}, Color::white()},
                         // the faded group is no darker where its layers overlap
                         {{10, 60}, Color::fromWhite(0.5)}, {{30, 80}, Color::fromWhite(0.5)},
                         {{70, 55}, Color::red()}, {{55, 70}, Color::white()}});
}

// What lies wholly under an opaque cover is not drawn; a cover that lets anything through, even
// part of one device pixel at an edge, keeps what is below it. The screen is black, so any red
// seen came from below.
TEST_F(RendererTest, OnlyAWhollyOpaqueCoverHidesWhatLiesBelow)
{
    QImage opaque(10, 10, QImage::Format_ARGB32);
    opaque.fill(Qt::blue);
    QImage holed = opaque;
    holed.setPixelColor(5, 5, Qt::transparent);
    ASSERT_TRUE(opaque.save(dir.filePath("opaque.png")) && holed.save(dir.filePath("holed.png")));

    using Scene = std::function<void(Layer& root, Layer& cover)>;
    const auto inClip = [](Layer& root, Layer&) {
        // Both inside a clip that starts a quarter of a device pixel into the screen.
        auto clip = Layer::create();
        clip->setFrame(Rect(0.125, 0, 99.75, 100));
        clip->setMasksToBounds(true);
        const auto layers = root.sublayers();
        for (const auto& l : layers) {
            l->removeFromSuperlayer();
            l->setFrame(Rect(0, 0, 99.75, 100));
            clip->addSublayer(l);
        }
        root.addSublayer(clip);
    };
    // name, the scene, where to look, whether the red below shows
    const std::tuple<const char*, Scene, Point, bool> cases[] = {
        {"opaque background", [](Layer&, Layer&) {}, {50, 50}, false},
        {"opaque artwork", [](Layer&, Layer& c) { c.setBackgroundColor(Color::clear()); c.setContents(Image::named("opaque")); }, {50, 50}, false},
        {"covered by its opaque child", [](Layer&, Layer& c) { c.setBackgroundColor(Color::clear()); c.addSublayer(box(Rect(0, 0, 100, 100), Color::blue())); }, {50, 50}, false},
        {"artwork with a hole", [](Layer&, Layer& c) { c.setBackgroundColor(Color::clear()); c.setContents(Image::named("holed")); }, {55, 55}, true},
        {"translucent background", [](Layer&, Layer& c) { c.setBackgroundColor(Color::blue().withAlpha(0.5)); }, {50, 50}, true},
        {"faded", [](Layer&, Layer& c) { c.setOpacity(0.5); }, {50, 50}, true},
        {"rounded", [](Layer&, Layer& c) { c.setCornerRadius(20); }, {1, 1}, true},
        {"inside a clip on a pixel's quarter", inClip, {0.2, 50}, true},
    };
    for (const auto& [name, scene, probe, showsBelow] : cases) {
        SCOPED_TRACE(name);
        auto root = box(Rect(0, 0, 100, 100), Color::black());
        auto below = box(Rect(0, 0, 100, 100), Color::red());
        below->setShadowOpacity(1);
        below->setShadowPath(Path::rect(Rect(0, 0, 100, 100)));
        auto cover = box(Rect(0, 0, 100, 100), Color::blue());
        root->addSublayer(below);
        root->addSublayer(cover);
        scene(*root, *cover);
        const Color seen = Renderer::colorAt(Renderer::render(*root, Size(100, 100), 2), probe);
        EXPECT_EQ(seen.r() > 0.05, showsBelow) << "red " << seen.r();
    }
}

} // namespace
