#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelItem.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "support/ContainmentRecorder.h"
#include "support/SidePanelFixture.h"


namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;

using SidePanelContainment = SidePanelFixture;

// A slot's controller replaced while the container is on screen: the old one leaves completely
// before the new one arrives, centre and sides alike.
QStringList replacementJournal()
{
    return {
        QStringLiteral("first willMove to none"),
        QStringLiteral("first willDisappear"),
        QStringLiteral("first didDisappear"),
        QStringLiteral("first didMove to none orphan unlinked"),
        QStringLiteral("second willMove to parent"),
        QStringLiteral("second viewDidLoad"),
        QStringLiteral("second willAppear"),
        QStringLiteral("second didAppear"),
        QStringLiteral("second didMove to parent child linked"),
    };
}

TEST_F(SidePanelContainment, ReplacedWhileShownTheOldControllerLeavesBeforeTheNewArrives)
{
    for (bool centre : {true, false}) {
        SCOPED_TRACE(centre);
        restart();
        auto first = ContainmentRecorder::create(QStringLiteral("first"), journal);
        auto second = ContainmentRecorder::create(QStringLiteral("second"), journal);
        centre ? container->setCenterController(first) : container->setRightController(first);
        show();
        if (!centre) {
            container->openRightViewAnimated(false);
            step(0.01);
        }
        take();
        centre ? container->setCenterController(second) : container->setRightController(second);
        EXPECT_EQ(take(), replacementJournal());
        EXPECT_EQ(second->parentViewController(), container);
        EXPECT_EQ(first->view()->superview(), nullptr);
        EXPECT_EQ(second->view()->superview(), centre ? container->centerView() : container->referenceView());
        // A new sliding view is panned and shadowed like the old one.
        ASSERT_EQ(container->panners().size(), 1u);
        EXPECT_EQ(container->panners().front()->view(), container->slidingControllerView());
        EXPECT_EQ(container->shadowLayer()->superlayer(), container->slidingControllerView()->layer()->superlayer());
    }
}

TEST_F(SidePanelContainment, AControllerNeverSitsInTwoSlots)
{
    enum class Move { CentreToEmptySide, SideToEmptySide, SideToEmptyCentre, SideToTakenCentre, CentreToTakenSide };
    for (Move move : {Move::CentreToEmptySide, Move::SideToEmptySide, Move::SideToEmptyCentre, Move::SideToTakenCentre,
                      Move::CentreToTakenSide}) {
        SCOPED_TRACE(static_cast<int>(move));
        restart();
        SidePanelController::ControllerPtr moved;
        switch (move) {
        case Move::CentreToEmptySide: moved = home; container->setRightController(home); break;
        case Move::SideToEmptySide: moved = menu; container->setRightController(menu); break;
        case Move::SideToEmptyCentre:
            container = SidePanelController::create(nullptr, menu);
            moved = menu;
            container->setCenterController(menu);
            break;
        case Move::SideToTakenCentre: moved = menu; container->setCenterController(menu); break;
        case Move::CentreToTakenSide: moved = home; container->setLeftController(home); break;
        }
        int slots = container->centerController() == moved ? 1 : 0;
        for (auto side : {Left, Right, SidePanelSide::Top, SidePanelSide::Bottom})
            slots += container->controllerForSide(side) == moved ? 1 : 0;
        EXPECT_EQ(slots, 1);
        EXPECT_EQ(SidePanelItem::sidePanelController(*moved), container);
    }
}

// A side queued before the first appearance is adopted later, when the container has a
// parent; its closed side is told nothing then, and appears once, when it opens.
TEST_F(SidePanelContainment, QueuedClosedSideAppearsOnlyWhenItOpens)
{
    for (bool parentAtFirstAppearance : {true, false}) {
        restart();
        auto parent = ui::ViewController::create();
        window = ui::Window::create(ui::Screen::main().bounds());
        if (parentAtFirstAppearance) {
            parent->addChildViewController(container);
            parent->view()->addSubview(container->view());
            container->didMoveToParentViewController(parent);
            window->setRootViewController(parent);
        } else {
            window->setRootViewController(container);
        }
        window->makeKeyAndVisible();
        step(0.5);
        if (!parentAtFirstAppearance) {
            // Gaining a parent while on screen runs the queue.
            parent->addChildViewController(container);
            step(0.5);
        }
        ASSERT_EQ(menu->parentViewController(), container) << parentAtFirstAppearance;
        EXPECT_FALSE(take().filter(QStringLiteral("menu ")).contains(QStringLiteral("menu willAppear")))
            << parentAtFirstAppearance;
        EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Hidden);

        container->openLeftViewAnimated(false);
        step(0.5);
        const QStringList opened = take();
        EXPECT_EQ(opened.count(QStringLiteral("menu willAppear")), 1) << parentAtFirstAppearance;
        EXPECT_EQ(opened.count(QStringLiteral("menu didAppear")), 1) << parentAtFirstAppearance;
        EXPECT_EQ(container->sideAppearance(Left), SidePanelAppearance::Shown);
    }
}

} // namespace
