#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelView.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Button.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/SidePanelFixture.h"

#include <gtest/gtest.h>

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
    step(0.29);
    EXPECT_FALSE(journal->contains(QStringLiteral("menu didOpen 1 animated")));   // still sliding
    step(0.02);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_EQ(slidingX(), 276);
    EXPECT_TRUE(journal->contains(QStringLiteral("menu didOpen 1 animated")));

    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));

    container->setSlidingFrameForOffset(100, Horizontal, false);
    ASSERT_TRUE(container->isSideTransitioning(Left));
    take();
    EXPECT_TRUE(container->toggleLeftView());
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));
    EXPECT_TRUE(take().contains(QStringLiteral("menu willClose 1 animated")));
}

TEST_F(SidePanelMotion, WillOpenGoesToTheDelegateOncePerOpening)
{
    show();
    take();
    container->toggleLeftView();
    container->openLeftView();   // already under way; not closed any more, so no second notice
    step(0.31);
    EXPECT_EQ(take().count(QStringLiteral("menu willOpen 1 animated")), 1);
}

TEST_F(SidePanelMotion, OpeningWithoutControllerOrWhenOpenReportsSuccessAndMovesNothing)
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

TEST_F(SidePanelMotion, BouncingOpenAndCloseRunTheirLegsInOrder)
{
    show();
    take();
    EXPECT_TRUE(container->openLeftViewBouncing(recordBounce(), recordCompletion()));
    EXPECT_EQ(slidingX(), 320);   // leg one overshoots the whole width
    step(0.089);
    EXPECT_FALSE(journal->contains(QStringLiteral("bounced")));
    step(0.002);
    EXPECT_EQ(slidingX(), 276);   // leg two settles at the ledge
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

TEST_F(SidePanelMotion, OpeningOppositeSideSwapsWithOneConsentAndNoAccessibilityNotice)
{
    auto right = addRight();
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    const std::size_t before = screenChanges();
    take();
    menu->closeAnswer = false;   // the left side may not leave...
    right->openAnswer = true;    // ...but the right may come: one consent is enough
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    EXPECT_TRUE(container->openRightViewAnimated(true, recordCompletion()));
    step(0.31);
    EXPECT_TRUE(journal->contains(QStringLiteral("menu didClose 1 animated")));
    EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));
    step(0.31);
    EXPECT_TRUE(container->isSideOpen(Right));
    const QStringList seen = take();
    EXPECT_EQ(seen.filter(QStringLiteral("completion")), QStringList{QStringLiteral("completion YES")});
    EXPECT_LT(seen.indexOf(QStringLiteral("menu didClose 1 animated")), seen.indexOf(QStringLiteral("menu didOpen 2 animated")));
    EXPECT_EQ(screenChanges(), before);
}

TEST_F(SidePanelMotion, SwapRefusedByBothChecksOrWithoutAFullyOpenSide)
{
    auto right = addRight();
    show();
    container->setSlidingFrameForOffset(-100, Horizontal, false);   // right only half open
    take();
    EXPECT_FALSE(container->openLeftViewAnimated(true, recordCompletion()));
    EXPECT_EQ(take(), QStringList{QStringLiteral("completion NO")});
    EXPECT_EQ(slidingX(), -100);

    container->setSlidingFrameForOffset(-276, Horizontal, false);
    menu->closeAnswer = false;
    menu->openAnswer = false;
    EXPECT_FALSE(container->toggleOpenViewAnimated(true, recordCompletion()));
    EXPECT_TRUE(take().contains(QStringLiteral("completion NO")));
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
    EXPECT_TRUE(container->isSideClosed(Top));
    EXPECT_EQ(slidingX(), 0);   // the left side waits for the top one to finish closing
    EXPECT_EQ(take(), (QStringList{QStringLiteral("top willDisappear"), QStringLiteral("menu willClose 3 animated")}));
    step(0.31);
    EXPECT_EQ(slidingX(), 276);
    EXPECT_TRUE(journal->contains(QStringLiteral("menu willOpen 1 animated")));
    EXPECT_TRUE(journal->contains(QStringLiteral("menu didClose 3 animated")));
    EXPECT_FALSE(journal->contains(QStringLiteral("completion YES")));
    step(0.31);
    EXPECT_TRUE(container->isSideOpen(Left));
    EXPECT_TRUE(take().contains(QStringLiteral("completion YES")));
}

TEST_F(SidePanelMotion, DelegateWalkAndsEveryAnswerWithoutShortCut)
{
    container->setDelegateMode(SidePanelDelegateMode::DelegateAndControllers);
    show();
    take();
    menu->openAnswer = false;   // the delegate refuses first...
    home->openAnswer = true;    // ...and the centre is still asked
    EXPECT_FALSE(container->openLeftViewAnimated(true, recordCompletion()));
    EXPECT_EQ(take(), (QStringList{QStringLiteral("menu shouldOpen 1"), QStringLiteral("home shouldOpen 1"),
                                   QStringLiteral("completion NO")}));
    EXPECT_EQ(slidingX(), 0);

    menu->openAnswer = true;
    EXPECT_TRUE(container->openLeftViewAnimated(false));
    step(0.01);
    // The menu is the delegate and a contained controller: it hears each notice once.
    EXPECT_EQ(take().count(QStringLiteral("menu willOpen 1 instant")), 1);
}

TEST_F(SidePanelMotion, ChecksRefuseWithoutAskingWhenTheSideIsAlreadyThere)
{
    show();
    menu->openAnswer = true;
    menu->closeAnswer = true;
    EXPECT_FALSE(container->checkCanCloseSide(Left));
    container->openLeftViewAnimated(false);
    step(0.01);
    take();
    EXPECT_FALSE(container->checkCanOpenSide(Left));
    EXPECT_TRUE(take().isEmpty());
    EXPECT_TRUE(container->checkCanCloseSide(Left));
    EXPECT_EQ(take(), QStringList{QStringLiteral("menu shouldClose 1 animated")});
}

TEST_F(SidePanelMotion, CloseCheckIsToldTheRealAnimatedFlag)
{
    show();
    menu->closeAnswer = true;
    for (bool animated : {false, true}) {
        container->openLeftViewAnimated(false);
        step(0.01);
        take();
        container->closeLeftViewAnimated(animated);
        step(0.31);
        EXPECT_EQ(take().filter(QStringLiteral("shouldClose")),
                  QStringList{animated ? QStringLiteral("menu shouldClose 1 animated") : QStringLiteral("menu shouldClose 1 instant")});
    }
}

TEST_F(SidePanelMotion, TapperCoversTheCentreOnlyWhileASideIsOpen)
{
    container->setCenterhiddenInteractivity(Mode::NotInteractiveTapToClose);
    show();
    EXPECT_EQ(container->centerTapper(), nullptr);
    container->openLeftViewAnimated(false);
    step(0.01);
    auto tapper = container->centerTapper();
    ASSERT_NE(tapper, nullptr);
    EXPECT_EQ(tapper->superview(), container->centerView());
    EXPECT_EQ(container->centerView()->subviews().back(), tapper);
    EXPECT_EQ(tapper->frame(), container->centerView()->bounds());
    // The strip left on screen is the tapper's; the accessible part is what the window shows.
    EXPECT_EQ(window->hitTest(ui::Point(300, 240), nullptr), tapper);
    EXPECT_EQ(tapper->accessibilityFrame(), ui::Rect(276, 0, 44, 480));

    ui::TouchInjector::tap(*window, ui::Point(300, 240));
    step(0.31);
    EXPECT_TRUE(container->isSideClosed(Left));
    EXPECT_EQ(container->centerTapper(), nullptr);
    EXPECT_EQ(tapper->superview(), nullptr);
}

TEST_F(SidePanelMotion, TapperModesDecideWhatATapDoes)
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
        SetUp();
        container->setCenterhiddenInteractivity(c.mode);
        show();
        container->openLeftViewAnimated(false);
        step(0.01);
        EXPECT_EQ(container->centerTapper() != nullptr, c.tapper);
        container->centerTapped();
        step(0.31);
        EXPECT_EQ(container->isSideClosed(Left), c.closes);
        TearDown();
    }
}

TEST_F(SidePanelMotion, ChangingTheModeWhileOpenAppliesAtOnce)
{
    show();
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_EQ(container->centerTapper(), nullptr);
    container->setCenterhiddenInteractivity(Mode::NotInteractiveTapToClose);
    EXPECT_NE(container->centerTapper(), nullptr);
    container->setCenterhiddenInteractivity(Mode::Interactive);
    EXPECT_EQ(container->centerTapper(), nullptr);
}

TEST_F(SidePanelMotion, InteractionIsOffUntilTheLastSlideEnds)
{
    auto right = addRight();
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
    container->openLeftView();
    step(0.31);
    EXPECT_EQ(screenChanges(), start + 1);
    container->closeLeftView();
    step(0.31);
    EXPECT_EQ(screenChanges(), start + 2);
    container->openLeftViewBouncing(nullptr);
    step(0.31);
    EXPECT_EQ(screenChanges(), start + 3);
    container->closeLeftViewBouncing(nullptr);
    step(0.31);
    EXPECT_EQ(screenChanges(), start + 4);
}

TEST_F(SidePanelMotion, CloseOpenViewChoosesDifferentlyPlainAndBouncing)
{
    show();
    container->setSlidingFrameForOffset(100, Horizontal, false);
    take();
    EXPECT_TRUE(container->closeOpenViewBouncing(nullptr, recordCompletion()));
    EXPECT_EQ(take(), QStringList{QStringLiteral("completion YES")});
    EXPECT_EQ(slidingX(), 100);   // a half-dragged side is left alone
    EXPECT_TRUE(container->closeOpenViewAnimated(true, recordCompletion()));
    step(0.31);
    EXPECT_EQ(slidingX(), 0);
}

} // namespace
