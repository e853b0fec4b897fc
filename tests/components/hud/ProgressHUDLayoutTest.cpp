#include "components/hud/ProgressHUD.h"

#include "components/hud/BarProgressView.h"
#include "components/hud/ProgressHUDSpinner.h"
#include "components/hud/RoundProgressView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "support/HudFixture.h"

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
        {{320, 480}, false, {}, {100, 60}},
        {{320, 480}, true, {}, {100, 100}},
        {{320, 130}, true, {}, {100, 60}},   // 100 > 130 - 40
        {{320, 480}, false, {200, 40}, {200, 60}},
        {{320, 480}, false, {50, 90}, {100, 90}},
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

TEST_F(ProgressHUDLayoutTest, DetailsAloneWrapWithoutGaps)
{
    const QString details(60, QChar(0x9898));
    auto hud = addHUD();
    hud->setMode(ProgressHUDMode::Text);
    hud->setDetailsLabelText(details);
    step(0);
    const ui::Size wrapped = ui::Font::boldSystemFont(12).sizeOfText(details, 240, 0);
    ASSERT_GT(wrapped.height, 2 * ui::Font::boldSystemFont(12).lineHeight());
    EXPECT_EQ(hud->size(), ui::Size(wrapped.width + 40, wrapped.height + 40));
    EXPECT_EQ(labelFrame(*hud, details).minY(), std::round((568 - hud->size().height) / 2) + 20);
}

TEST_F(ProgressHUDLayoutTest, UnobservedSettingsWaitForTheNextObservedChange)
{
    auto hud = addHUD();
    hud->setMode(ProgressHUDMode::Text);
    hud->setLabelText(kWait);
    step(0);
    const ui::Size before = hud->size();
    hud->setMargin(5);
    step(0);
    EXPECT_EQ(hud->size(), before);
    hud->setLabelColor(ui::Color::red());
    step(0);
    EXPECT_EQ(hud->size(), ui::Size(before.width - 30, before.height - 30));
}

TEST_F(ProgressHUDLayoutTest, IndicatorFollowsTheMode)
{
    using M = ProgressHUDMode;
    enum class Kind { Spinner, Pie, Ring, Bar, Custom, None };
    const std::pair<std::vector<M>, Kind> cases[] = {
        {{M::Text, M::Indeterminate}, Kind::Spinner}, {{M::Pie}, Kind::Pie}, {{M::Ring}, Kind::Ring},
        {{M::Ring, M::Pie}, Kind::Ring}, {{M::Bar}, Kind::Bar}, {{M::CustomView}, Kind::Custom},
        {{M::Text}, Kind::None}, {{M(9)}, Kind::Spinner},
    };
    const auto custom = ui::View::create(ui::Rect(0, 0, 10, 10));
    for (const auto& [modes, expected] : cases) {
        auto hud = addHUD();
        hud->setCustomView(custom);
        for (M mode : modes)
            hud->setMode(mode);
        const auto indicator = hud->indicator();
        const auto round = std::dynamic_pointer_cast<RoundProgressView>(indicator);
        Kind kind = Kind::None;
        if (std::dynamic_pointer_cast<ProgressHUDSpinner>(indicator))
            kind = Kind::Spinner;
        else if (round)
            kind = round->isAnnular() ? Kind::Ring : Kind::Pie;
        else if (std::dynamic_pointer_cast<BarProgressView>(indicator))
            kind = Kind::Bar;
        else if (indicator == custom)
            kind = Kind::Custom;
        EXPECT_EQ(kind, expected) << int(modes.back());
        EXPECT_TRUE(!indicator || indicator->superview() == hud);
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
