#include "shell/LeftViewController.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/Label.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "server/ServerInstance.h"
#include "appbase/CommonUtil.h"
#include "shell/ExpadabelTableView.h"
#include "shell/ExpadabelView.h"
#include "shell/ExpadabelViewDelegate.h"
#include "shell/HeadView.h"
#include "shell/MainViewController.h"
#include "shell/RootViewController.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QByteArray kTwoGroups = R"([
  {"typeName": "会计", "TSubjects": [{"subjectName": "初级会计", "code": "A1"}, {"subjectName": "中级会计", "code": "A2"}]},
  {"typeName": "金融", "TSubjects": [{"subjectName": "证券", "code": "B1"}]},
  {"typeName": "空组"}
])";

// The start-up arrangement: the container as the window's root with the home screen and the
// subject menu, the home screen already shown.
class SubjectMenuTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}, {"username", "ann"}});
        m_container = RootViewController::makeContainer();
        m_home = std::dynamic_pointer_cast<MainViewController>(m_container->centerController());
        m_menu = std::dynamic_pointer_cast<LeftViewController>(m_container->leftController());
        m_window = ui::Window::create(ui::Rect(0, 0, 375, 667));
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_container);
        ASSERT_TRUE(pumpUntil([&] { return m_home->isViewLoaded() && m_container->isAppeared(); }));
    }

    std::shared_ptr<ui::View> homeButton(const QString& caption) const
    {
        for (const auto& v : m_home->view()->subviews()) {
            if (v->accessibilityLabel() == caption)
                return v;
        }
        return nullptr;
    }
    bool openAndWait()
    {
        m_container->openLeftView();
        return pumpUntil([&] { return m_container->isSideOpen(SidePanelSide::Left) && !m_menu->isLoadingList() && settled(); });
    }
    bool closeAndWait()
    {
        m_container->closeLeftView();
        return pumpUntil([&] { return m_container->isSideClosed(SidePanelSide::Left) && settled(); });
    }
    // The container takes touches again once a slide has ended.
    bool settled() const { return m_container->view()->isUserInteractionEnabled(); }
    // The menu closes the panel itself after a choice.
    bool closeAndWaitForTheMenu()
    {
        return pumpUntil([&] { return m_container->isSideClosed(SidePanelSide::Left) && settled(); });
    }
    std::shared_ptr<ExpadabelTableView> table() const { return m_menu->expadabelView()->tableView(); }
    // Lays the table out and taps a head's button as a finger would.
    bool tapHead(const HeadView& head)
    {
        core::RunLoop::main().processPending();
        m_window->layoutIfNeeded();
        return ui::TouchInjector::tap(*head.headBtn());
    }
    int rows(int section) const { return table()->numberOfRowsInSection(section); }

    std::shared_ptr<SidePanelController> m_container;
    std::shared_ptr<MainViewController> m_home;
    std::shared_ptr<LeftViewController> m_menu;
    std::shared_ptr<ui::Window> m_window;
};

TEST_F(SubjectMenuTest, SubjectButtonTogglesThePanelAndTheMenuLoadsTheRealList)
{
    server::ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(server::ServerOptions::Seed::Sample, &error)) << error.toStdString();
    useServer(server.baseUrl());

    ASSERT_TRUE(ui::TouchInjector::tap(*homeButton("课程选择")));
    EXPECT_TRUE(m_menu->isLoadingList());
    ASSERT_TRUE(pumpUntil([&] { return m_menu->expadabelView() != nullptr; }));
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideOpen(SidePanelSide::Left) && settled(); }));
    EXPECT_TRUE(CommonUtil::getSubjectData());
    EXPECT_FALSE(CommonUtil::waitOverlay());
    EXPECT_GT(table()->heads().size(), 0u);

    // Open the first group with entries and choose its first subject by taps.
    std::shared_ptr<HeadView> group;
    for (const auto& head : table()->heads()) {
        if (!head->chlder().empty()) {
            group = head;
            break;
        }
    }
    ASSERT_TRUE(group);
    ASSERT_TRUE(tapHead(*group));
    EXPECT_TRUE(group->open());
    ASSERT_TRUE(tapHead(*group->chlder().front()));
    const QString code = group->chlder().front()->data().value("code").toString();
    EXPECT_EQ(CommonUtil::getSubjectCode(), code);
    EXPECT_EQ(storedSysset().size(), 10);
    EXPECT_EQ(storedSysset()[9].toString(), code);
    ASSERT_TRUE(pumpUntil([&] { return m_container->isSideClosed(SidePanelSide::Left) && settled(); }));

    // With an account and now a subject, the content buttons pass their guard.
    ASSERT_TRUE(ui::TouchInjector::tap(*homeButton("历年真题")));
    EXPECT_TRUE(toastTexts(m_home->view()).isEmpty());
}

TEST_F(SubjectMenuTest, SubjectButtonTogglesThePanelAndTheListIsAskedForOncePerRun)
{
    StubServer server;
    server.setReply("exam/subject_type_list", 200, kTwoGroups);
    useServer(server.baseUrl());

    // A second opening while the list is on its way sends nothing more.
    m_menu->willOpenViewSide(*m_container, SidePanelSide::Left, true);
    m_menu->willOpenViewSide(*m_container, SidePanelSide::Left, true);
    auto subjectButton = std::dynamic_pointer_cast<ui::Control>(homeButton("课程选择"));
    ASSERT_TRUE(subjectButton);
    for (bool open : {true, false, true}) {
        subjectButton->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
        ASSERT_TRUE(pumpUntil([&] {
            return m_container->isSideOpen(SidePanelSide::Left) == open && !m_menu->isLoadingList() && settled();
        }));
    }
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests()[0].body, "type=focus-c");
    ASSERT_EQ(table()->heads().size(), 3u);
}

// Only a status-200 list counts as held: an error status, a refused connection or an error
// page leaves the menu unbuilt and the next opening asks again.
TEST_F(SubjectMenuTest, AFailedListIsAskedForAgain)
{
    StubServer server;
    server.setReplies("exam/subject_type_list",
                      {{500, "[]"}, {200, "<html>error</html>"}, {200, R"({"not":"a list"})"}, {200, kTwoGroups}});
    useServer(refusingServerUrl());
    ASSERT_TRUE(openAndWait());
    EXPECT_FALSE(CommonUtil::getSubjectData());
    EXPECT_EQ(toastTexts(m_menu->view()), QStringList{"网络不给力，请重试"});
    ASSERT_TRUE(closeAndWait());

    useServer(server.baseUrl());
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SCOPED_TRACE(attempt);
        ASSERT_TRUE(openAndWait());
        EXPECT_EQ(server.count("exam/subject_type_list"), attempt);
        EXPECT_FALSE(CommonUtil::getSubjectData());
        EXPECT_FALSE(m_menu->expadabelView());
        EXPECT_FALSE(CommonUtil::waitOverlay());
        ASSERT_TRUE(closeAndWait());
    }
    ASSERT_TRUE(openAndWait());
    EXPECT_EQ(server.count("exam/subject_type_list"), 4);
    EXPECT_TRUE(CommonUtil::getSubjectData());
    ASSERT_TRUE(m_menu->expadabelView());
}

TEST_F(SubjectMenuTest, GroupsOpenOneAtATime)
{
    StubServer server;
    server.setReply("exam/subject_type_list", 200, kTwoGroups);
    useServer(server.baseUrl());
    ASSERT_TRUE(openAndWait());
    const auto heads = table()->heads();
    ASSERT_EQ(heads.size(), 3u);
    auto caption = [](const HeadView& head) {
        for (const auto& v : head.subviews()) {
            if (auto label = std::dynamic_pointer_cast<ui::Label>(v))
                return label->text();
        }
        return QString();
    };
    EXPECT_EQ(caption(*heads[0]), "会计");
    EXPECT_EQ(caption(*heads[0]->chlder()[1]), "中级会计");
    EXPECT_EQ(caption(*heads[2]), "空组");

    struct Step {
        int tap;
        std::vector<int> rows;
        std::vector<bool> open;
    };
    const Step steps[] = {
        {0, {2, 0, 0}, {true, false, false}},    // a closed group opens
        {1, {0, 1, 0}, {false, true, false}},    // another one opens, the first closes
        {1, {0, 0, 0}, {false, false, false}},   // the open one closes
        {2, {0, 0, 0}, {false, false, true}},    // a group without entries opens onto nothing
        {0, {2, 0, 0}, {true, false, false}},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(tapHead(*heads[step.tap]));
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(rows(s), step.rows[s]) << "tap " << step.tap << " section " << s;
            EXPECT_EQ(heads[s]->open(), step.open[s]) << "tap " << step.tap << " section " << s;
        }
    }
}

TEST_F(SubjectMenuTest, ChoosingASubjectKeepsTheOpenGroupOnReload)
{
    StubServer server;
    server.setReply("exam/subject_type_list", 200, kTwoGroups);
    useServer(server.baseUrl());
    ASSERT_TRUE(openAndWait());
    const auto heads = table()->heads();
    ASSERT_TRUE(tapHead(*heads[0]));
    ASSERT_TRUE(tapHead(*heads[0]->chlder()[1]));
    EXPECT_EQ(CommonUtil::getSubjectCode(), QString("A2"));
    EXPECT_EQ(table()->headview(), heads[0]->chlder()[1]);
    ASSERT_TRUE(closeAndWaitForTheMenu());

    // Reopened, the menu shows as it was left: the same group open with its entries.
    ASSERT_TRUE(openAndWait());
    table()->reloadData();
    EXPECT_EQ(rows(0), 2);
    // Choosing the same subject again still tells the home screen and closes the panel.
    ASSERT_TRUE(tapHead(*heads[0]->chlder()[1]));
    ASSERT_TRUE(closeAndWaitForTheMenu());
    EXPECT_EQ(server.count("exam/subject_type_list"), 1);
}

TEST_F(SubjectMenuTest, ReuseIdentifiersNameOneCellEach)
{
    std::set<QString> seen;
    for (int s = 0; s < 15; ++s) {
        for (int r = 0; r < 15; ++r)
            EXPECT_TRUE(seen.insert(ExpadabelView::reuseIdentifier(s, r)).second) << s << "," << r;
    }
}

} // namespace
