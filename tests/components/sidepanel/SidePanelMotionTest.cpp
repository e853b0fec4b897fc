#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelView.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Button.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <optional>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
constexpr auto Top = SidePanelSide::Top;
constexpr auto Horizontal = SidePanelOffsetOrientation::Horizontal;
using Mode = SidePanelCenterHiddenInteractivity;

std::size_t screenChanges()
{
    return ui::Accessibility::count(ui::Accessibility::Notification::ScreenChanged);
}

class SidePanelMotion : public SidePanelFixture {
protected:
    // Completions append "completion <flag>" to the journal, so their place among the
    // notices shows.
    SidePanelController::Completion recordCompletion()
    {
        return [this](SidePanelController&, bool success) {
            journal->append(QStringLiteral("completion %1").arg(success ? "YES" : "NO"));
        };
    }
    SidePanelController::Bounced recordBounce()
    {
        return [this](SidePanelController&) { journal->append(QStringLiteral("bounced")); };
    }
    std::shared_ptr<RecordingController> addRight()
    {
        auto right = RecordingController::create(QStringLiteral("right"), journal);
        container->setRightController(right);
        return right;
    }
};

TEST_F(SidePanelMotion, ToggleOpensAClosedSideAndClosesAnOpenOrHalfOpenOne)
{
    show();
    take();
    EXPECT_TRUE(container->toggleLeftView());
    container->openLeftView();   // already under way: no second will-open notice
    step(0.29);
    EXPECT_FALSE(journal->contains(QStringLiteral("menu didOpen 1 animated")));   // still sliding
    step(0.02);
    EXPECT_EQ(slidingX(), 276);
    EXPECT_EQ(take().count(QStringLiteral("menu willOpen 1 animated")), 1);

    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));

    container->setSlidingFrameForOffset(100, Horizontal, false);
    take();
    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));
    EXPECT_TRUE(take().contains(QStringLiteral("menu willClose 1 animated")));
}

TEST_F(SidePanelMotion, OpeningWithoutControllerOrClosingAClosedSideSucceedsInPlace)
{
    show();
    take();
    EXPECT_TRUE(container->openSideView(Right, true, recordCompletion()));
    EXPECT_TRUE(container->closeSideView(Left, true, recordCompletion()));
    EXPECT_EQ(take(), (QStringList{QStringLiteral("completion YES"), QStringLiteral("completion YES")}));
    EXPECT_EQ(slidingX(), 0);
}

TEST_F(SidePanelMotion, UnanimatedRequestsStillCompleteFromTheAnimation)
{
    show();
    take();
    container->openLeftViewAnimated(false, recordCompletion());
    EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));
    step(0.001);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willAppear"), QStringLiteral("menu willOpen 1 instant"),
                                   QStringLiteral("completion YES"), QStringLiteral("menu didAppear"),
                                   QStringLiteral("menu didOpen 1 instant")}));
}

// Leg one overshoots to the whole width, leg two settles: 0.09 s then 0.21 s opening, the
// other way round closing.
TEST_F(SidePanelMotion, BouncingOpenAndCloseRunTheirLegsInOrder)
{
    show();
    take();
    EXPECT_TRUE(container->openLeftViewBouncing(recordBounce(), recordCompletion()));
    EXPECT_EQ(slidingX(), 320);
    step(0.089);
    EXPECT_FALSE(journal->contains(QStringLiteral("bounced")));
    step(0.002);
    EXPECT_EQ(slidingX(), 276);
    step(0.21);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willAppear"), QStringLiteral("menu willOpen 1 animated"),
                                   QStringLiteral("bounced"), QStringLiteral("menu didBounceOpening 1 menu"),
                                   QStringLiteral("completion YES"), QStringLiteral("menu didAppear"),
                                   QStringLiteral("menu didOpen 1 animated")}));

    EXPECT_TRUE(container->closeLeftViewBouncing(recordBounce(), recordCompletion()));
    EXPECT_EQ(slidingX(), 320);
    step(0.209);
    EXPECT_FALSE(journal->contains(QStringLiteral("bounced")));
    step(0.002);
    EXPECT_EQ(slidingX(), 0);
    step(0.09);
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu willDisappear"), QStringLiteral("menu willClose 1 animated"),
                                   QStringLiteral("bounced"), QStringLiteral("menu didBounceClosing 1 menu"),
                                   QStringLiteral("completion YES"), QStringLiteral("menu didDisappear"),
                                   QStringLiteral("menu didClose 1 animated")}));
}

// The menu is both the delegate and the left side; the home screen is the centre. Every
// receiver that answers is asked, once, in walk order, and one refusal refuses.
TEST_F(SidePanelMotion, OpenPermissionIsEveryAnswerAnded)
{
    using D = SidePanelDelegateMode;
    struct Case { D mode; std::optional<bool> menuSays; std::optional<bool> homeSays; QStringList asked; bool opens; };
    const QString menuAsked = QStringLiteral("menu shouldOpen 1"), homeAsked = QStringLiteral("home shouldOpen 1");
    const Case cases[] = {
        {D::DelegateAndControllers, std::nullopt, std::nullopt, {}, true},
        {D::DelegateAndControllers, true, true, {menuAsked, homeAsked}, true},
        {D::DelegateAndControllers, false, true, {menuAsked, homeAsked}, false},
        {D::DelegateAndControllers, true, false, {menuAsked, homeAsked}, false},
        {D::DelegateAndControllers, std::nullopt, false, {homeAsked}, false},
        {D::DelegateOnly, true, false, {menuAsked}, true},
        {D::DelegateOnly, false, std::nullopt, {menuAsked}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.menuSays.value_or(-1) << " " << c.homeSays.value_or(-1));
        restart();
        container->setDelegateMode(c.mode);
        menu->openAnswer = c.menuSays;
        home->openAnswer = c.homeSays;
        show();
        take();
        EXPECT_EQ(container->openLeftViewAnimated(false, recordCompletion()), c.opens);
        step(0.01);
        const QStringList seen = take();
        EXPECT_EQ(seen.filter(QStringLiteral("shouldOpen")), c.asked);
        EXPECT_TRUE(seen.contains(c.opens ? QStringLiteral("completion YES") : QStringLiteral("completion NO")));
        EXPECT_EQ(container->isSideOpen(Left), c.opens);
        EXPECT_EQ(seen.count(QStringLiteral("menu willOpen 1 instant")), c.opens ? 1 : 0);
    }
}

// Swapping an open side for the opposite one: either consent is enough (the side may go, or
// the other may come); neither, or a side only half open, refuses. The left side closes
// completely before the right one comes.
TEST_F(SidePanelMotion, SwappingSidesNeedsOneConsent)
{
    struct Case { std::optional<bool> leftMayClose; std::optional<bool> rightMayOpen; double from; bool swaps; };
    const Case cases[] = {
        {false, true, 276, true},
        {true, false, 276, true},
        {false, false, 276, false},
        {std::nullopt, std::nullopt, 100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.leftMayClose.value_or(-1) << " " << c.rightMayOpen.value_or(-1) << " " << c.from);
        restart();
        auto right = addRight();
        container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
        show();
        container->setSlidingFrameForOffset(c.from, Horizontal, false);
        menu->closeAnswer = c.leftMayClose;
        right->openAnswer = c.rightMayOpen;
        const std::size_t before = screenChanges();
        take();
        EXPECT_EQ(container->toggleOpenViewAnimated(true, recordCompletion()), c.swaps);
        step(0.31);
        EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));   // not before the second leg
        step(0.31);
        const QStringList seen = take();
        EXPECT_EQ(seen.filter(QStringLiteral("completion")), QStringList{c.swaps ? QStringLiteral("completion YES") : QStringLiteral("completion NO")});
        EXPECT_EQ(container->isSideOpen(Right), c.swaps);
        EXPECT_EQ(slidingX(), c.swaps ? -276 : c.from);
        if (c.swaps) {
            EXPECT_LT(seen.indexOf(QStringLiteral("menu didClose 1 animated")), seen.indexOf(QStringLiteral("right didOpen 2 animated")));
            EXPECT_EQ(screenChanges(), before);
        }
    }
}

TEST_F(SidePanelMotion, OpeningAcrossAxesClosesTheOtherSideFirst)
{
    auto top = RecordingController::create(QStringLiteral("top"), journal);
    container->setTopController(top);
    show();
    container->openTopViewAnimated(false);
    step(0.01);
    take();
    container->openLeftViewAnimated(true, recordCompletion());
    EXPECT_EQ(slidingX(), 0);   // the left side waits for the top one to finish closing
    EXPECT_EQ(take(), (QStringList{QStringLiteral("top willDisappear"), QStringLiteral("menu willClose 3 animated")}));
    step(0.31);
    EXPECT_EQ(slidingX(), 276);
    EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));
    step(0.31);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_TRUE(container->isSideClosed(Top));
    EXPECT_TRUE(take().contains(QStringLiteral("completion YES")));
}

// Nobody is asked to open a side that is open, or to close one that is closed; the close
// question carries the real animated flag.
TEST_F(SidePanelMotion, ChecksAskOnlyWhenTheSideWouldMove)
{
    show();
    menu->openAnswer = true;
    menu->closeAnswer = true;
    EXPECT_FALSE(container->checkCanCloseSide(Left));
    for (bool animated : {false, true}) {
        container->openLeftViewAnimated(false);
        step(0.01);
        take();
        EXPECT_FALSE(container->checkCanOpenSide(Left));
        EXPECT_TRUE(take().isEmpty());
        container->closeLeftViewAnimated(animated);
        step(0.31);
        EXPECT_EQ(take().filter(QStringLiteral("should")),
                  QStringList{animated ? QStringLiteral("menu shouldClose 1 animated") : QStringLiteral("menu shouldClose 1 instant")});
    }
}

TEST_F(SidePanelMotion, TapperModesDecideWhatATapOnTheCentreDoes)
{
    struct Case { Mode mode; bool tapper; bool closes; };
    const Case cases[] = {
        {Mode::Interactive, false, false},
        {Mode::NotInteractive, true, false},
        {Mode::NotInteractiveTapToClose, true, true},
        {Mode::NotInteractiveTapToCloseBouncing, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        restart();
        container->setCenterhiddenInteractivity(c.mode);
        show();
        EXPECT_EQ(container->centerTapper(), nullptr);
        container->openLeftViewAnimated(false);
        step(0.01);
        auto tapper = container->centerTapper();
        EXPECT_EQ(tapper != nullptr, c.tapper);
        if (tapper) {
            EXPECT_EQ(container->centerView()->subviews().back(), tapper);
            EXPECT_EQ(window->hitTest(ui::Point(300, 240), nullptr), tapper);
            EXPECT_EQ(tapper->accessibilityFrame(), ui::Rect(276, 0, 44, 480));   // the strip on screen
        }
        ui::TouchInjector::tap(*window, ui::Point(300, 240));
        step(0.31);
        EXPECT_EQ(container->isSideClosed(Left), c.closes);
        if (c.closes)
            EXPECT_EQ(container->centerTapper(), nullptr);
    }
}

TEST_F(SidePanelMotion, InteractionIsOffUntilTheLastSlideEnds)
{
    show();
    auto view = std::dynamic_pointer_cast<SidePanelView>(container->view());
    container->openLeftView();
    container->disableUserInteraction();   // an overlapping slide of someone else
    step(0.31);
    EXPECT_FALSE(view->isUserInteractionEnabled());
    container->enableUserInteraction();
    EXPECT_TRUE(view->isUserInteractionEnabled());
    container->enableUserInteraction();   // an extra enable is ignored
    container->disableUserInteraction();
    EXPECT_FALSE(view->isUserInteractionEnabled());
}

TEST_F(SidePanelMotion, OneAccessibilityNoticePerOpenOrClose)
{
    show();
    const std::size_t start = screenChanges();
    const std::function<void()> moves[] = {
        [&] { container->openLeftView(); }, [&] { container->closeLeftView(); },
        [&] { container->openLeftViewBouncing(nullptr); }, [&] { container->closeLeftViewBouncing(nullptr); },
    };
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        moves[i]();
        step(0.31);
        EXPECT_EQ(screenChanges(), start + i + 1);
    }
}

} // namespace
