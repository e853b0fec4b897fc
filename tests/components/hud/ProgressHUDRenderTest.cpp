#include "components/hud/ProgressHUD.h"

#include "components/hud/BarProgressView.h"
#include "components/hud/RoundProgressView.h"
#include "platform/ui/Renderer.h"
#include "support/HudFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

#include <QImage>
#include <cmath>

using ProgressHUDRenderTest = HudFixture;

namespace {

struct Sample {
    ui::Point at;
    double alpha;   // expected coverage of white over a clear background
};

void expectSamples(const QImage& image, const std::vector<Sample>& samples, const std::string& what)
{
    for (const Sample& s : samples) {
        const QColor c = pixels::at(image, s.at, image.devicePixelRatio());
        EXPECT_NEAR(c.alphaF(), s.alpha, 0.06) << what << " at " << s.at.x << "," << s.at.y;
        EXPECT_TRUE(c.alphaF() <= 0.05 || c.redF() > 0.9) << what << " at " << s.at.x << "," << s.at.y;
    }
}

double brightness(const QImage& image, ui::Point at)
{
    return pixels::at(image, at, image.devicePixelRatio()).lightnessF();
}

} // namespace

// The wait panel over white: black at 0.8 inside, white outside and in the rounded corners.
TEST_F(ProgressHUDRenderTest, PanelIsRoundedAndTranslucent)
{
    auto hud = addHUD();
    hud->setLabelText(QStringLiteral("请稍等………"));
    hud->show(false);
    step(0);
    const QImage image = window->renderImage();
    const ui::Size panel = hud->size();
    const double left = std::round((320 - panel.width) / 2), top = std::round((568 - panel.height) / 2);
    EXPECT_NEAR(brightness(image, {left + 2, top + panel.height / 2}), 0.2, 0.02);
    EXPECT_NEAR(brightness(image, {left + panel.width - 2, top + 12}), 0.2, 0.02);
    EXPECT_NEAR(brightness(image, {left + 0.5, top + 0.5}), 1.0, 0.02);
    EXPECT_NEAR(brightness(image, {left + panel.width - 0.5, top + panel.height - 0.5}), 1.0, 0.02);
    EXPECT_NEAR(brightness(image, {left - 2, top + panel.height / 2}), 1.0, 0.02);

    hud->setDimBackground(true);
    hud->setLabelText(QStringLiteral("请稍等"));
    const QImage dimmed = window->renderImage();
    EXPECT_NEAR(brightness(dimmed, {1, 1}), 0.25, 0.02);   // beyond the gradient's radius
    const double nearer = brightness(dimmed, {160, 100});
    EXPECT_GT(nearer, 0.3);
    EXPECT_LT(nearer, 0.95);
}

// Pie from the top clockwise, and the ring at one half down the right side.
TEST_F(ProgressHUDRenderTest, RoundViewFillsClockwiseFromTheTop)
{
    struct Case {
        float progress;
        bool annular;
        std::vector<Sample> samples;
    };
    const double c = 18.5;
    const Case cases[] = {
        {0, false, {{{c, 2}, 1}, {{c, c - 8}, 0.1}, {{c + 6, c - 6}, 0.1}, {{c, c}, 0.1}}},
        {0.25f, false, {{{c + 6, c - 6}, 1}, {{c - 6, c - 6}, 0.1}, {{c + 6, c + 6}, 0.1}, {{c - 6, c + 6}, 0.1}}},
        {1, false, {{{c + 6, c - 6}, 1}, {{c - 6, c - 6}, 1}, {{c + 6, c + 6}, 1}, {{c - 6, c + 6}, 1}}},
        {0.5f, true, {{{c + 16, c}, 1}, {{c, c - 16}, 1}, {{c, c + 16}, 1}, {{c - 16, c}, 0.1}, {{c, c}, 0}}},
    };
    for (const Case& k : cases) {
        auto view = RoundProgressView::create();
        view->setAnnular(k.annular);
        view->setProgress(k.progress);
        expectSamples(ui::Renderer::renderLayer(*view->layer(), 2), k.samples,
                      "progress " + std::to_string(k.progress) + (k.annular ? " ring" : " pie"));
    }
}

// A 120 × 20 bar: outline only at 0, filled to x 60 with a straight edge at 0.5, and at 0.99
// the whole inside with a rounded right end. The filled cases hide the outline so that the
// samples near the ends see the fill alone.
TEST_F(ProgressHUDRenderTest, BarFillsFromTheLeft)
{
    struct Case {
        float progress;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        {0, {{{60, 2}, 1}, {{60, 10}, 0}, {{6, 10}, 0}}},
        {0.5f, {{{30, 10}, 1}, {{58.5, 10}, 1}, {{61.5, 10}, 0}, {{90, 10}, 0}, {{5.25, 5.25}, 0}, {{7.5, 5.25}, 1}}},
        {0.99f, {{{30, 10}, 1}, {{114.5, 10}, 1}, {{115.25, 4.75}, 0}, {{115.25, 15.25}, 0}, {{112, 5.25}, 1}}},
    };
    for (const Case& k : cases) {
        auto bar = BarProgressView::create();
        if (k.progress > 0)
            bar->setLineColor(ui::Color::clear());
        bar->setProgress(k.progress);
        expectSamples(ui::Renderer::renderLayer(*bar->layer(), 2), k.samples, "progress " + std::to_string(k.progress));
    }
}

// Beyond the ends the fill stops at the inside of the outline (hidden here) instead of
// crossing it, and the right end stays a whole rounded cap.
TEST_F(ProgressHUDRenderTest, BarFillIsClamped)
{
    auto render = [](float progress) {
        auto bar = BarProgressView::create();
        bar->setLineColor(ui::Color::clear());
        bar->setProgress(progress);
        return ui::Renderer::renderLayer(*bar->layer(), 2);
    };
    const QImage full = render(1);
    expectSamples(full, {{{115.25, 10}, 1}, {{117.25, 10}, 0}, {{110, 4.75}, 1}}, "progress 1");
    EXPECT_EQ(render(0.99f), full);
    EXPECT_EQ(render(5), full);
    EXPECT_EQ(render(-1), render(0));
}

// For people: the wait panel and a toast over a coloured screen, after the fade-in.
TEST_F(ProgressHUDRenderTest, ScreenshotOfWaitPanelAndToast)
{
    window->setFrame(ui::Rect(0, 0, 375, 667));
    host->setFrame(window->bounds());
    host->setBackgroundColor(ui::Color::fromRGB(0x3A7BD5));
    auto wait = addHUD();
    wait->setLabelText(QStringLiteral("请稍等………"));
    wait->show(true);
    auto toast = ProgressHUD::showHUDAddedTo(host, true);
    toast->setMode(ProgressHUDMode::Text);
    toast->setLabelText(QStringLiteral("网络不给力，请重试"));
    toast->setMargin(10);
    toast->setYOffset(150);
    step(0.35);

    const QImage image = window->renderImage();
    EXPECT_LT(brightness(image, {187.5, 333.5 - wait->size().height / 2 + 3}), 0.3);
    EXPECT_LT(brightness(image, {187.5 - toast->size().width / 2 + 3, 333.5 + 150}), 0.3);
    EXPECT_TRUE(screenshot::save(image, QStringLiteral("hud-wait-and-toast")));
}
