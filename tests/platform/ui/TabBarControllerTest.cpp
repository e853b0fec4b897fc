#include "platform/ui/TabBarController.h"

#include "platform/ui/TabBarItem.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/support/LoggingController.h"
#include "tests/support/UiFixture.h"

using namespace ui;
using uitest::LoggingController;

namespace {

class TabBarControllerTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        tabs = TabBarController::create();
        first = LoggingController::create("first", log);
        second = LoggingController::create("second", log);
        first->tabBarItem()->setTitle(QStringLiteral("Home"));
        second->tabBarItem()->setTitle(QStringLiteral("Notes"));
        tabs->setViewControllers({first, second});
        window = Window::create(Rect(0, 0, 320, 480));
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        step();
    }

    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
    std::shared_ptr<TabBarController> tabs;
    std::shared_ptr<LoggingController> first, second;
    std::shared_ptr<Window> window;
};

} // namespace

TEST_F(TabBarControllerTest, ShowsTheSelectedChildAboveTheBarAndOffersTheChildrensItems)
{
    EXPECT_EQ(*log, (QStringList{"first:willAppear", "first:didAppear"}));
    EXPECT_EQ(first->view()->superview(), tabs->view());
    EXPECT_EQ(first->view()->frame(), Rect(0, 0, 320, 431));
    EXPECT_EQ(tabs->tabBar()->frame(), Rect(0, 431, 320, 49));
    const auto items = tabs->tabBarItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1]->title(), QStringLiteral("Notes"));
    second->tabBarItem()->setTitle(QStringLiteral("Chapters"));
    EXPECT_EQ(tabs->tabBarItems()[1]->title(), QStringLiteral("Chapters"));

    log->clear();
    tabs->setSelectedIndex(1);
    tabs->setSelectedIndex(7);   // past the end: nothing
    EXPECT_EQ(tabs->selectedViewController(), second);
    EXPECT_EQ(*log, (QStringList{"first:willDisappear", "first:didDisappear", "second:willAppear", "second:didAppear"}));
    EXPECT_FALSE(first->view()->superview());
    EXPECT_EQ(second->view()->superview(), tabs->view());
}

TEST_F(TabBarControllerTest, ControllersBelowAChildFindIt)
{
    auto inner = LoggingController::create("inner", log);
    first->addChildViewController(inner);
    EXPECT_EQ(inner->tabBarController(), tabs);
    EXPECT_EQ(first->tabBarController(), tabs);
    EXPECT_FALSE(tabs->tabBarController());

    tabs->setViewControllers({second});
    EXPECT_FALSE(inner->tabBarController());
    EXPECT_FALSE(first->parentViewController());
    EXPECT_EQ(tabs->selectedViewController(), second);
}
