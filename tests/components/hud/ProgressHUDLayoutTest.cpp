#include "components/hud/ProgressHUD.h"

#include "components/hud/BarProgressView.h"
#include "components/hud/ProgressHUDSpinner.h"
#include "components/hud/RoundProgressView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "support/HudFixture.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"

#include <QImage>
#include <cmath>
#include <numbers>

using ProgressHUDLayoutTest = HudFixture;

namespace {

const QString kWait = QStringLiteral("请稍等………");

ui::Size boldText(const QString& text)
{
    return ui::Font::boldSystemFont(16).sizeOfText(text);
}

ui::Rect labelFrame(const ProgressHUD& hud, const QString& text)
{
    for (const auto& sub : hud.subviews()) {
        auto label = std::dynamic_pointer_cast<ui::Label>(sub);
        if (label && label->text() == text)
            return label->frame();
    }
    return {};
}

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

// Spinner above the label with a 4-point gap, margin 20, centred on the host.
TEST_F(ProgressHUDLayoutTest, WaitPanelSizeFollowsSpinnerAndLabel)
{
    auto hud = addHUD();
    hud->setLabelText(kWait);
    hud->show(true);
    step(0);
    const ui::Size text = boldText(kWait);
    EXPECT_EQ(hud->size(), ui::Size(std::max(37.0, text.width) + 40, 37 + 4 + text.height + 40));
    const ui::Rect spinner = hud->indicator()->frame();
    const ui::Rect label = labelFrame(*hud, kWait);
    EXPECT_NEAR(spinner.midX(), 160, 0.5);
    EXPECT_NEAR(label.midX(), 160, 0.5);
    EXPECT_EQ(label.minY(), spinner.maxY() + 4);
    EXPECT_NEAR((spinner.minY() + label.maxY()) / 2, 284, 0.5);
}

// Set up in its creation turn, a toast is laid out once, as text: the label plus 10 each way,
// 150 points below the host's centre.
TEST_F(ProgressHUDLayoutTest, ToastIsLaidOutOnceAsText)
{
    const QString message = QStringLiteral("请先登录");
    auto toast = ProgressHUD::showHUDAddedTo(host, true);
    toast->setMode(ProgressHUDMode::Text);
    toast->setLabelText(message);
    toast->setMargin(10);
    toast->setYOffset(150);
    EXPECT_EQ(toast->size(), ui::Size());   // no pass inside the turn
    EXPECT_EQ(toast->indicator(), nullptr);
    step(0);
    const ui::Size text = boldText(message);
    EXPECT_EQ(toast->size(), ui::Size(text.width + 20, text.height + 20));
    EXPECT_NEAR(labelFrame(*toast, message).midX(), 160, 0.5);
    EXPECT_NEAR(labelFrame(*toast, message).midY(), 284 + 150, 0.5);

    const QString longText(40, QChar(0x7B49));   // wider than 320 - 4 × 10
    toast->setLabelText(longText);
    step(0);
    EXPECT_EQ(labelFrame(*toast, longText).width(), 280);
    EXPECT_EQ(toast->size().width, 300);

    // Details alone wrap at the same width, with no gaps above them.
    const QString details(60, QChar(0x9898));
    toast->setLabelText({});
    toast->setDetailsLabelText(details);
    step(0);
    const ui::Size wrapped = ui::Font::boldSystemFont(12).sizeOfText(details, 280, 0);
    ASSERT_GT(wrapped.height, 2 * ui::Font::boldSystemFont(12).lineHeight());
    EXPECT_EQ(toast->size(), ui::Size(wrapped.width + 20, wrapped.height + 20));
    EXPECT_EQ(labelFrame(*toast, details).minY(), std::round((568 - toast->size().height) / 2) + 150 + 10);
}

// Contents of 60 × 20 with margin 20 make a 100 × 60 panel; square and minimum size grow the
// panel only.
TEST_F(ProgressHUDLayoutTest, SquareAndMinimumSizeGrowThePanelOnly)
{
    struct Case {
        ui::Size hostSize;
        bool square;
        ui::Size minSize;
        ui::Size panel;
    };
    const Case cases[] = {
        {{320, 480}, false, {}, {100, 60}},         {{320, 480}, true, {}, {100, 100}},
        {{320, 130}, true, {}, {100, 60}},   // 100 > 130 - 40
        {{320, 480}, false, {200, 40}, {200, 60}}, {{320, 480}, false, {50, 90}, {100, 90}},
    };
    for (const Case& c : cases) {
        auto box = ui::View::create(ui::Rect(ui::Point(), c.hostSize));
        window->addSubview(box);
        auto hud = ProgressHUD::showHUDAddedTo(box, false);
        hud->setSquare(c.square);
        hud->setMinSize(c.minSize);
        auto content = ui::View::create(ui::Rect(0, 0, 60, 20));
        hud->setCustomView(content);
        hud->setMode(ProgressHUDMode::CustomView);
        step(0);
        EXPECT_EQ(hud->size(), c.panel);
        EXPECT_EQ(content->frame(), ui::Rect(130, std::round((c.hostSize.height - 60) / 2) + 20, 60, 20));
        box->removeFromSuperview();
    }
}

TEST_F(ProgressHUDLayoutTest, IndicatorFollowsTheMode)
{
    using M = ProgressHUDMode;
    const std::pair<std::vector<M>, std::string> cases[] = {
        {{M::Text, M::Indeterminate}, "spinner"}, {{M::Pie}, "pie"}, {{M::Ring}, "ring"}, {{M::Ring, M::Pie}, "ring"},
        {{M::Bar}, "bar"}, {{M::CustomView}, "custom"}, {{M::Text}, "none"}, {{M(9)}, "spinner"},
    };
    const auto custom = ui::View::create(ui::Rect(0, 0, 10, 10));
    const auto kindOf = [&](const std::shared_ptr<ui::View>& indicator) -> std::string {
        if (const auto round = std::dynamic_pointer_cast<RoundProgressView>(indicator))
            return round->isAnnular() ? "ring" : "pie";
        if (std::dynamic_pointer_cast<ProgressHUDSpinner>(indicator))
            return "spinner";
        if (std::dynamic_pointer_cast<BarProgressView>(indicator))
            return "bar";
        return indicator == custom ? "custom" : indicator ? "other" : "none";
    };
    for (const auto& [modes, expected] : cases) {
        auto hud = addHUD();
        hud->setCustomView(custom);
        for (M mode : modes)
            hud->setMode(mode);
        EXPECT_EQ(kindOf(hud->indicator()), expected) << int(modes.back());
        EXPECT_TRUE(!hud->indicator() || hud->indicator()->superview() == hud);
    }
}

// On a window the overlay turns with the interface; on a view it only follows the host.
TEST_F(ProgressHUDLayoutTest, OrientationRotatesOnlyOnAWindow)
{
    auto onWindow = ProgressHUD::showHUDAddedTo(window, false);
    auto onView = ProgressHUD::showHUDAddedTo(host, false);
    ui::Application::shared().setStatusBarOrientation(ui::InterfaceOrientation::LandscapeRight);
    step(1);
    EXPECT_NEAR(onWindow->transform().rotationAngle(), std::numbers::pi / 2, 1e-6);
    EXPECT_EQ(onWindow->bounds(), ui::Rect(0, 0, 568, 320));
    EXPECT_TRUE(onView->transform().isIdentity());
    EXPECT_EQ(onView->frame(), host->bounds());
}

// The wait panel and a toast over white: black at 0.8 inside, white outside and in the rounded
// corners; saved for people to look at.
TEST_F(ProgressHUDLayoutTest, PanelIsRoundedAndTranslucent)
{
    auto hud = addHUD();
    hud->setLabelText(kWait);
    hud->show(false);
    auto toast = ProgressHUD::showHUDAddedTo(host, false);
    toast->setMode(ProgressHUDMode::Text);
    toast->setLabelText(QStringLiteral("网络不给力，请重试"));
    toast->setMargin(10);
    toast->setYOffset(150);
    step(0);
    const QImage image = window->renderImage();
    const ui::Size panel = hud->size();
    const double left = std::round((320 - panel.width) / 2), top = std::round((568 - panel.height) / 2);
    EXPECT_NEAR(brightness(image, {left + 2, top + panel.height / 2}), 0.2, 0.02);
    EXPECT_NEAR(brightness(image, {left + panel.width - 2, top + 12}), 0.2, 0.02);
    EXPECT_NEAR(brightness(image, {left + 0.5, top + 0.5}), 1.0, 0.02);
    EXPECT_NEAR(brightness(image, {left + panel.width - 0.5, top + panel.height - 0.5}), 1.0, 0.02);
    EXPECT_NEAR(brightness(image, {left - 2, top + panel.height / 2}), 1.0, 0.02);
    EXPECT_LT(brightness(image, {160 - toast->size().width / 2 + 3, 284 + 150}), 0.3);
    EXPECT_TRUE(screenshot::save(image, QStringLiteral("hud-wait-and-toast")));

    hud->setDimBackground(true);
    hud->setLabelText(QStringLiteral("请稍等"));
    const QImage dimmed = window->renderImage();
    EXPECT_NEAR(brightness(dimmed, {1, 1}), 0.25, 0.02);   // beyond the gradient's radius
    const double nearer = brightness(dimmed, {160, 100});
    EXPECT_GT(nearer, 0.3);
    EXPECT_LT(nearer, 0.95);
}

// Pie from the top clockwise, and the ring at one half down the right side.
TEST_F(ProgressHUDLayoutTest, RoundViewFillsClockwiseFromTheTop)
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
// the whole inside with a rounded right end; beyond the ends the fill stops at the inside of
// the outline. The filled cases hide the outline so that samples near the ends see the fill.
TEST_F(ProgressHUDLayoutTest, BarFillsFromTheLeftAndIsClamped)
{
    const auto render = [](float progress) {
        auto bar = BarProgressView::create();
        if (progress > 0)
            bar->setLineColor(ui::Color::clear());
        bar->setProgress(progress);
        return ui::Renderer::renderLayer(*bar->layer(), 2);
    };
    const std::pair<float, std::vector<Sample>> cases[] = {
        {0, {{{60, 2}, 1}, {{60, 10}, 0}, {{6, 10}, 0}}},
        {0.5f, {{{30, 10}, 1}, {{58.5, 10}, 1}, {{61.5, 10}, 0}, {{90, 10}, 0}, {{5.25, 5.25}, 0}, {{7.5, 5.25}, 1}}},
        {0.99f, {{{30, 10}, 1}, {{114.5, 10}, 1}, {{115.25, 4.75}, 0}, {{115.25, 15.25}, 0}, {{112, 5.25}, 1}}},
        {1, {{{115.25, 10}, 1}, {{117.25, 10}, 0}, {{110, 4.75}, 1}}},
    };
    for (const auto& [progress, samples] : cases)
        expectSamples(render(progress), samples, "progress " + std::to_string(progress));
    EXPECT_EQ(render(0.99f), render(1));
    EXPECT_EQ(render(5), render(1));
    EXPECT_EQ(render(-1), render(0));
}
