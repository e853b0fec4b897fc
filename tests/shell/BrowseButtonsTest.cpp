// The home screen's notes, practice-hub and chapter-practice buttons in the running app, as a
// user meets them.
#include "appbase/CommonUtil.h"
#include "browse/ChapterNote.h"
#include "browse/NodeDir.h"
#include "browse/NoteDirView.h"
#include "browse/RecordViewController.h"
#include "browse/ShowNote.h"
#include "browse/SpecialViewController.h"
#include "components/tree/TreeView.h"
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
#include "tests/shell/LaunchedAppTest.h"

namespace {

class BrowseButtonsTest : public LaunchedAppTest {
protected:
    // Starts the app as a signed-in user with a subject left it at the last quit.
    void launchSignedIn()
    {
        startSignedIn();
        CommonUtil::saveData();
        launch();
    }

    // Waits until `screen` is on top, has its reply and has let its overlay go.
    template<class Screen>
    bool settled(const std::shared_ptr<Screen>& screen)
    {
        return screen && pumpUntil([&] {
            return !screen->isTransitioning() && !screen->isLoading() && overlaysGone(screen->view());
        });
    }
};

TEST_F(BrowseButtonsTest, NotesFromTheHomeScreenToANoteAndBack)
{
    launchSignedIn();
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
    launchSignedIn();
    ASSERT_TRUE(tapLabel(m_home->view(), "错题收藏"));
    auto hub = std::dynamic_pointer_cast<RecordViewController>(m_container->presentedViewController());
    ASSERT_TRUE(settled(hub));
    EXPECT_EQ(hub->countLabel(RecordViewController::kErrorButtonTag, RecordViewController::kErrorCountTag)->text(),
              "0道题目");
    ASSERT_TRUE(ui::TouchInjector::tap(*hub->backButton()));
    EXPECT_TRUE(pumpUntil([&] { return !m_container->presentedViewController(); }));
}

// The home screen's "专项练习" button opens the chapter practice tree.
TEST_F(BrowseButtonsTest, ChapterPracticeFromTheHomeScreen)
{
    launchSignedIn();
    ASSERT_TRUE(tapLabel(m_home->view(), QStringLiteral("专项练习")));
    auto screen = std::dynamic_pointer_cast<SpecialViewController>(m_container->presentedViewController());
    ASSERT_TRUE(screen);
    ASSERT_TRUE(pumpUntil([&] { return !screen->isLoading() && screen->treeView(); }));
    EXPECT_EQ(screen->treeView()->numberOfRows(), 3);
    EXPECT_EQ(screen->titleLabel()->text(), "专项练习");
}

} // namespace
