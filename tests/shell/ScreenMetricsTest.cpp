#include "appbase/CommonUtil.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "resources/ArtworkTable.h"
#include "appbase/ChromeViewController.h"
#include "shell/MainViewController.h"
#include "shell/RootViewController.h"
#include "tests/support/AppTest.h"

#include <QJsonObject>
#include <cmath>

namespace {

class ScreenMetricsTest : public AppTest {
protected:
    struct ScreenCase {
        double w, h, scale;
    };
    static constexpr ScreenCase kScreens[] = {{375, 667, 2}, {480, 854, 1}, {320, 568, 2}, {414, 736, 3}};

    // The scaled size of a table image, worked out here from the table alone.
    static ui::Size expectedSize(const QString& name, double factor)
    {
        const QSize px = artwork::ArtworkTable::pixelSize(name).value_or(QSize());
        const double s = ui::Screen::main().scale();
        return {std::floor(px.width() / s * factor), std::floor(px.height() / s * factor)};
    }
};

class TitledScreen : public ChromeViewController {
public:
    static std::shared_ptr<TitledScreen> create() { return std::shared_ptr<TitledScreen>(new TitledScreen()); }
    std::shared_ptr<QByteArray> receiveData = std::make_shared<QByteArray>("reply");

protected:
    void releaseReferences() override { receiveData.reset(); }

private:
    TitledScreen()
        : ChromeViewController(QStringLiteral("系统设置"))
    {
    }
};

TEST_F(ScreenMetricsTest, ScaleFactorsFollowThePixelSize)
{
    struct Case {
        ScreenCase screen;
        ui::Screen::Idiom idiom;
        double scale, scaleX, scaleY, scaleHeight;
    };
    const Case cases[] = {
        {{480, 854, 1}, ui::Screen::Idiom::Phone, 1.0, 1.0, 1.0, 1.0},
        {{480, 854, 2}, ui::Screen::Idiom::Phone, 2.0, 2.0, 2.0, 1.0},
        {{375, 667, 2}, ui::Screen::Idiom::Phone, 2084.0 / 1334, 1.5625, 1334.0 / 854, 1.0},
        {{768, 1024, 2}, ui::Screen::Idiom::Pad, (1536.0 + 2048) / 1334, 3.2, 2048.0 / 854, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen.w);
        ui::Screen::setMain({c.screen.w, c.screen.h}, c.screen.scale, c.idiom);
        EXPECT_DOUBLE_EQ(CommonUtil::getScale(), c.scale);
        EXPECT_DOUBLE_EQ(CommonUtil::getScaleX(), c.scaleX);
        EXPECT_DOUBLE_EQ(CommonUtil::getScaleY(), c.scaleY);
        EXPECT_DOUBLE_EQ(CommonUtil::getScaleHeight(), c.scaleHeight);
        EXPECT_DOUBLE_EQ(CommonUtil::getMainWidth(), c.screen.w * c.screen.scale);
        EXPECT_DOUBLE_EQ(CommonUtil::getMainHeight(), c.screen.h * c.screen.scale);
    }
}

// The top byte is not alpha: colours are always opaque.
TEST_F(ScreenMetricsTest, ColoursIgnoreTheTopByte)
{
    const ui::Color c = CommonUtil::UIColorFromRGB(0x7F6FD7FD);
    EXPECT_DOUBLE_EQ(c.r(), 111 / 255.0);
    EXPECT_DOUBLE_EQ(c.g(), 215 / 255.0);
    EXPECT_DOUBLE_EQ(c.b(), 253 / 255.0);
    EXPECT_DOUBLE_EQ(c.alpha(), 1.0);
}

TEST_F(ScreenMetricsTest, ScaledImageSizesAreCutToWholePoints)
{
    ui::Screen::setMain({375, 667}, 2);
    // A 60-pixel image at 2084/1334 measures (int)(30 × 1.5622…) = 46 points.
    const ui::Image sixty = ui::Image::fromQImage(QImage(60, 60, QImage::Format_ARGB32));
    EXPECT_EQ(CommonUtil::scaledSize(sixty, CommonUtil::getScale()), ui::Size(46, 46));
    EXPECT_EQ(CommonUtil::scaledSize(ui::Image(), CommonUtil::getScale()), ui::Size(0, 0));
}

TEST_F(ScreenMetricsTest, ChromeFramesFollowTheArtwork)
{
    for (const ScreenCase& s : kScreens) {
        SCOPED_TRACE(s.w);
        ui::Screen::setMain({s.w, s.h}, s.scale);
        auto screen = TitledScreen::create();
        screen->loadViewIfNeeded();

        const ui::Size back = expectedSize("back_btn", CommonUtil::getScale());
        ASSERT_GT(back.width, 0);
        EXPECT_TRUE(sameRect(screen->backButton()->frame(), ui::Rect(10, (s.h / 7 - back.height) / 2, back.width, back.height)));
        const double t = 40 / s.scale * CommonUtil::getScale();
        EXPECT_TRUE(sameRect(screen->titleLabel()->frame(), ui::Rect(0, (s.h / 7 - t) / 2, s.w, t)));
        EXPECT_EQ(screen->titleLabel()->text(), "系统设置");
        EXPECT_TRUE(screen->titleLabel()->font().isBold());
        EXPECT_TRUE(sameRect(screen->backgroundView()->frame(), ui::Rect(0, 0, s.w, s.h)));
        EXPECT_EQ(screen->view()->subviews().front(), screen->backgroundView());
        EXPECT_FALSE(screen->backgroundView()->image().isNull());
    }
}

TEST_F(ScreenMetricsTest, BackTapForgetsEmptiesAndDismisses)
{
    auto root = ui::ViewController::create();
    auto window = ui::Window::create(ui::Screen::main().bounds());
    window->makeKeyAndVisible();
    window->setRootViewController(root);
    auto screen = TitledScreen::create();
    root->presentViewController(screen, false);
    ASSERT_TRUE(pumpUntil([&] { return screen->presentingViewController() == root && !screen->isTransitioning(); }));
    window->layoutIfNeeded();

    ASSERT_TRUE(ui::TouchInjector::tap(*screen->backButton()));
    EXPECT_FALSE(screen->receiveData);
    EXPECT_TRUE(screen->view()->subviews().empty());
    ASSERT_TRUE(pumpUntil([&] { return !root->presentedViewController(); }));
}

TEST_F(ScreenMetricsTest, HomeScreenFramesFollowTheArtwork)
{
    // Signed in: the home screen sends nothing while it is measured.
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    for (const ScreenCase& s : kScreens) {
        SCOPED_TRACE(s.w);
        ui::Screen::setMain({s.w, s.h}, s.scale);
        auto home = MainViewController::create();
        home->loadViewIfNeeded();
        std::map<QString, ui::Rect> frames;
        std::map<QString, ui::Rect> captions;
        for (const auto& v : home->view()->subviews()) {
            if (std::dynamic_pointer_cast<ui::Button>(v))
                frames[v->accessibilityLabel()] = v->frame();
            if (auto label = std::dynamic_pointer_cast<ui::Label>(v))
                captions[label->text()] = label->frame();
        }
        ASSERT_EQ(frames.size(), 8u);

        const double g = CommonUtil::getScale();
        auto size = [g](const char* name) { return expectedSize(name, g); };
        const double bottom = s.h - 25;
        const ui::Size note = size("main_regster_btn01"), sys = size("systemset_btn_01");
        const ui::Size login = size("main_login_btn01"), select = size("select_btn_01");
        const ui::Size zt = size("zt_btn_01"), ct = size("ct_btn_01"), csj = size("csj_btn_01"), zx = size("zx_btn_01");
        const double noteX = s.w / 2 + 3, loginX = s.w / 2 - login.width - 3;
        const double upper = bottom - note.height - 25;
        const double csjX = s.w / 2 - csj.width - 3;
        EXPECT_TRUE(sameRect(frames["备考专区"], ui::Rect(noteX, bottom - note.height, note.width, note.height)));
        EXPECT_TRUE(sameRect(frames["系统设置"], ui::Rect(noteX + note.width + 6, bottom - sys.height, sys.width, sys.height)));
        EXPECT_TRUE(sameRect(frames["用户登陆"], ui::Rect(loginX, bottom - login.height, login.width, login.height)));
        EXPECT_TRUE(sameRect(frames["课程选择"], ui::Rect(loginX - select.width - 6, bottom - select.height, select.width, select.height)));
        EXPECT_TRUE(sameRect(frames["历年真题"], ui::Rect(noteX, upper - zt.height, zt.width, zt.height)));
        EXPECT_TRUE(sameRect(frames["错题收藏"], ui::Rect(noteX + zt.width + 6, upper - ct.height, ct.width, ct.height)));
        EXPECT_TRUE(sameRect(frames["模拟押题"], ui::Rect(csjX, upper - csj.height, csj.width, csj.height)));
        EXPECT_TRUE(sameRect(frames["专项练习"], ui::Rect(csjX - zx.width - 6, upper - zx.height, zx.width, zx.height)));
        for (const auto& [caption, frame] : frames)
            EXPECT_TRUE(sameRect(captions[caption], ui::Rect(frame.x(), frame.maxY() + 2, frame.width(), 20))) << caption.toStdString();

        // Nothing leaves the screen, and the upper row's captions fit in the gap above the bottom row.
        EXPECT_GE(frames["专项练习"].x(), 0);
        EXPECT_LE(frames["错题收藏"].maxX(), s.w);
        EXPECT_LE(captions["历年真题"].maxY(), frames["备考专区"].y());

        const ui::Size logo = size("qvlogo");
        EXPECT_TRUE(sameRect(home->view()->subviews()[1]->frame(), ui::Rect((s.w - logo.width) / 2, 50, logo.width, logo.height)));
    }
}

TEST_F(ScreenMetricsTest, OpenMenuIsAsWideAsTheScaledEntryImage)
{
    for (const ScreenCase& s : kScreens) {
        SCOPED_TRACE(s.w);
        ui::Screen::setMain({s.w, s.h}, s.scale);
        const ui::Size entry = expectedSize("subjectbtn_02", CommonUtil::getScaleX());
        ASSERT_GT(entry.width, 0);
        EXPECT_DOUBLE_EQ(RootViewController::leftSize(), s.w - entry.width);
    }
}

} // namespace
