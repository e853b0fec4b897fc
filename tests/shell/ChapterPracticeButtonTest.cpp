#include "shell/MainViewController.h"

#include "browse/SpecialViewController.h"
#include "components/sidepanel/SidePanelController.h"
#include "components/tree/TreeView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "shell/RootViewController.h"
#include "tests/support/AppTest.h"

namespace {

// The home screen as the app starts it, signed in with the sample subject chosen: its
// "专项练习" button opens the chapter practice tree.
TEST_F(AppTest, ChapterPracticeButtonOpensTheChapterTree)
{
    startSignedIn();
    auto container = RootViewController::makeContainer();
    auto home = std::dynamic_pointer_cast<MainViewController>(container->centerController());
    auto window = ui::Window::create(ui::Screen::main().bounds());
    window->makeKeyAndVisible();
    window->setRootViewController(container);
    ASSERT_TRUE(pumpUntil([&] { return home->isViewLoaded() && container->isAppeared(); }));
    window->layoutIfNeeded();

    ASSERT_TRUE(tapLabel(home->view(), QStringLiteral("专项练习")));
    auto screen = std::dynamic_pointer_cast<SpecialViewController>(container->presentedViewController());
    ASSERT_TRUE(screen);
    ASSERT_TRUE(pumpUntil([&] { return !screen->isLoading() && screen->treeView(); }));
    EXPECT_EQ(screen->treeView()->numberOfRows(), 3);
    EXPECT_EQ(screen->titleLabel()->text(), "专项练习");
}

} // namespace
