// The home screen's notes and practice-hub buttons in the running app, as a user meets them.
#include "shell/brevumAppDelegate.h"

#include "appbase/CommonUtil.h"
#include "browse/ChapterNote.h"
#include "browse/NodeDir.h"
#include "browse/NoteDirView.h"
#include "browse/RecordViewController.h"
#include "browse/ShowNote.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "shell/MainViewController.h"
#include "tests/browse/BrowseTestSupport.h"
#include "tests/support/AppTest.h"

namespace {

class BrowseButtonsTest : public AppTest {
protected:
    // Starts the app as a signed-in user with a subject left it at the last quit.
    void launch()
    {
        startSignedIn();
        CommonUtil::saveData();
        m_delegate = brevumAppDelegate::create();
        ui::Application::shared().setDelegate(m_delegate);
        ASSERT_TRUE(ui::Application::shared().finishLaunching());
        ASSERT_TRUE(pumpUntil([&] {
            m_container = std::dynamic_pointer_cast<SidePanelController>(m_delegate->window()->rootViewController());
            return m_container && m_container->centerController()->isViewLoaded();
        }));
        m_home = std::dynamic_pointer_cast<MainViewController>(m_container->centerController());
        ASSERT_TRUE(m_home);
        m_delegate->window()->layoutIfNeeded();
    }

    // Waits until `screen` is on top, has its reply and has let its overlay go.
    template<class Screen>
    bool settled(const std::shared_ptr<Screen>& screen)
    {
        return screen && pumpUntil([&] {
            return !screen->isTransitioning() && !screen->isLoading() && overlaysGone(screen->view());
        });
    }

    std::shared_ptr<brevumAppDelegate> m_delegate;
    std::shared_ptr<SidePanelController> m_container;
    std::shared_ptr<MainViewController> m_home;
};

TEST_F(BrowseButtonsTest, NotesFromTheHomeScreenToANoteAndBack)
{
    launch();
    ASSERT_TRUE(tapLabel(m_home->view(), "备考专区"));
    auto directory = std::dynamic_pointer_cast<NoteDirView>(m_container->presentedViewController());
    ASSERT_TRUE(settled(directory));
    EXPECT_TRUE(directory->layoutError().isEmpty()) << directory->layoutError().toStdString();
    // The cells come from their layout files, whose classes the app registered at start-up.
    auto table = directory->dirList();
    ASSERT_EQ(table->numberOfSections(), 3);
    EXPECT_TRUE(std::dynamic_pointer_cast<NodeDir>(directory->cellForRowAtIndexPath(*table, ui::IndexPath(0, 0))));
    EXPECT_TRUE(std::dynamic_pointer_cast<ChapterNote>(directory->cellForRowAtIndexPath(*table, ui::IndexPath(0, 1))));

    // A directory row opens nothing; a chapter row opens its note.
    ASSERT_TRUE(tapLabel(directory->view(), "操作系统与软件"));
    EXPECT_FALSE(directory->presentedViewController());
    ASSERT_TRUE(tapLabel(directory->view(), "数制与编码"));
    auto note = std::dynamic_pointer_cast<ShowNote>(directory->presentedViewController());
    ASSERT_TRUE(settled(note));
    ASSERT_TRUE(pumpUntil([&] { return !note->webView()->isLoading(); }));
    EXPECT_TRUE(note->layoutError().isEmpty()) << note->layoutError().toStdString();
    EXPECT_EQ(note->chapterId(), "CBD1C2");
    EXPECT_EQ(note->ctitle()->text(), "数制与编码");
    EXPECT_TRUE(note->webView()->text().contains("除基取余"));
    EXPECT_GT(note->webView()->scrollView()->contentSize().height, 0);
    m_delegate->window()->layoutIfNeeded();
    EXPECT_TRUE(m_delegate->window()->renderImage().save(screenshotPath("chapter-note.png")));

    ASSERT_TRUE(tapLabel(note->view(), LayoutViewController::kBackCaption));
    ASSERT_TRUE(pumpUntil([&] { return !directory->presentedViewController() && !directory->isTransitioning(); }));
    ASSERT_TRUE(tapLabel(directory->view(), LayoutViewController::kBackCaption));
    EXPECT_TRUE(pumpUntil([&] { return !m_container->presentedViewController(); }));
}

TEST_F(BrowseButtonsTest, TheErrorBookButtonOpensThePracticeHub)
{
    launch();
    ASSERT_TRUE(tapLabel(m_home->view(), "错题收藏"));
    auto hub = std::dynamic_pointer_cast<RecordViewController>(m_container->presentedViewController());
    ASSERT_TRUE(settled(hub));
    EXPECT_EQ(hub->countLabel(RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag)->text(),
              "0道题目");
    ASSERT_TRUE(ui::TouchInjector::tap(*hub->backButton()));
    EXPECT_TRUE(pumpUntil([&] { return !m_container->presentedViewController(); }));
}

} // namespace
