#include "shell/LeftViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TouchInjector.h"
#include "shell/ExpadabelTableView.h"
#include "shell/ExpadabelView.h"
#include "shell/HeadView.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/HandServer.h"
#include "tests/support/StubServer.h"

#include <algorithm>

namespace {

const QByteArray kThreeGroups = R"([
  {"typeName": "会计", "TSubjects": [{"subjectName": "初级会计", "code": "A1"}, {"subjectName": "中级会计", "code": 22}]},
  {"typeName": "金融", "TSubjects": [{"subjectName": "证券", "code": "B1"}]},
  {"typeName": "空组"}
])";

// The subject menu in the side panel of the launched app, against a scripted server.
class SubjectMenuTest : public LaunchedAppTest {
protected:
    void SetUp() override
    {
        LaunchedAppTest::SetUp();
        useServer(m_server.baseUrl());
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
        launch();
        m_menu = std::dynamic_pointer_cast<LeftViewController>(m_container->leftController());
    }
    // Opens the panel by the home screen's subject button, or closes it; waits until it has settled.
    bool toggle(bool open)
    {
        if (!open)
            m_container->closeLeftView();
        else if (!tap(m_home, "课程选择"))
            return false;
        return pumpUntil([&] {
            return m_container->isSideOpen(SidePanelSide::Left) == open && !m_menu->isLoadingList()
                && m_container->view()->isUserInteractionEnabled();
        });
    }
    std::vector<std::shared_ptr<HeadView>> heads() const { return m_menu->expadabelView()->tableView()->heads(); }
    int rows(int section) const { return m_menu->expadabelView()->tableView()->numberOfRowsInSection(section); }
    bool tapHead(const HeadView& head)
    {
        m_delegate->window()->layoutIfNeeded();
        return ui::TouchInjector::tap(*head.headBtn());
    }

    StubServer m_server;
    std::shared_ptr<LeftViewController> m_menu;
};

// Only a status-200 list counts: a refused connection, an error status, an error page or an
// object leave the menu unbuilt and the next opening asks again; a held list is not asked for.
TEST_F(SubjectMenuTest, TheListIsAskedForUntilOneArrives)
{
    m_server.setReplies("exam/subject_type_list", {{404, "[]"}, {200, "<html>error</html>"}, {200, R"({"a":1})"},
                                                   {200, kThreeGroups}});
    useServer(refusingServerUrl());
    for (int opening = 0; opening < 6; ++opening) {
        SCOPED_TRACE(opening);
        ASSERT_TRUE(toggle(true));
        EXPECT_EQ(bool(m_menu->expadabelView()), opening >= 4);
        EXPECT_EQ(CommonUtil::getSubjectData().has_value(), opening >= 4);
        if (opening == 0) {
            EXPECT_EQ(toastTexts(m_menu->view()), QStringList{"网络不给力，请重试"});
        }
        ASSERT_TRUE(toggle(false));
        useServer(m_server.baseUrl());
    }
    EXPECT_EQ(m_server.count("exam/subject_type_list"), 4);
    EXPECT_EQ(m_server.requests().last().body, "type=focus-c");
}

// Groups open one at a time; an entry sets the subject, is saved, closes the panel, and the
// open group keeps its rows for the next opening.
TEST_F(SubjectMenuTest, GroupsOpenOneAtATimeAndAnEntryChoosesTheSubject)
{
    m_server.setReply("exam/subject_type_list", 200, kThreeGroups);
    ASSERT_TRUE(toggle(true));
    ASSERT_EQ(heads().size(), 3u);
    const struct {
        int tap;
        std::vector<int> rows;
    } steps[] = {
        {0, {2, 0, 0}},   // a closed group opens
        {1, {0, 1, 0}},   // another one opens, the first closes
        {1, {0, 0, 0}},   // the open one closes
        {2, {0, 0, 0}},   // a group without entries opens onto nothing
        {0, {2, 0, 0}},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(tapHead(*heads()[step.tap]));
        EXPECT_EQ((std::vector<int>{rows(0), rows(1), rows(2)}), step.rows) << "tap " << step.tap;
    }
    EXPECT_TRUE(shows(m_menu->view(), "中级会计"));
    ASSERT_TRUE(tapHead(*heads()[0]->chlder()[1]));
    EXPECT_EQ(storedSysset()[9].toString(), "22");
    ASSERT_TRUE(pumpUntil([&] {
        return m_container->isSideClosed(SidePanelSide::Left) && m_container->view()->isUserInteractionEnabled();
    }));
    ASSERT_TRUE(toggle(true));
    m_menu->expadabelView()->tableView()->reloadData();
    EXPECT_EQ(rows(0), 2);
}

// The demonstration menu: five groups of five entries, with no captions, that open like the
// server's; building it asks the server for nothing.
TEST_F(SubjectMenuTest, TheDemonstrationMenuHasFiveGroupsOfFiveUncaptionedEntries)
{
    CommonUtil::setSubjectData(QByteArray("[]"));   // held, so opening the panel sends nothing
    m_menu->loadModel();
    ASSERT_TRUE(toggle(true));
    ASSERT_EQ(heads().size(), 5u);
    for (int group : {4, 0}) {
        ASSERT_TRUE(tapHead(*heads()[group]));
        EXPECT_EQ((std::vector<int>{rows(0), rows(1), rows(2), rows(3), rows(4)}),
                  (std::vector<int>{group == 0 ? 5 : 0, 0, 0, 0, group == 4 ? 5 : 0}));
    }
    m_delegate->window()->layoutIfNeeded();
    std::function<int(const ui::View&)> labels = [&](const ui::View& view) {
        int n = dynamic_cast<const ui::Label*>(&view) && !static_cast<const ui::Label&>(view).text().isEmpty() ? 1 : 0;
        for (const auto& child : view.subviews())
            n += labels(*child);
        return n;
    };
    EXPECT_EQ(labels(*m_menu->view()), 0) << "no captions";
    EXPECT_EQ(m_server.count("exam/subject_type_list"), 0);
}

} // namespace

namespace {

// Closed and opened again before the list has come, the menu asks no second time: the one
// reply builds the one menu.
TEST_F(SubjectMenuTest, ReopeningWhileTheListLoadsAsksOnce)
{
    std::vector<QTcpSocket*> asked;   // the list requests, held unanswered
    HandServer server([&](QTcpSocket* socket, const QByteArray& request) {
        if (request.contains("subject_type_list"))
            asked.push_back(socket);
    });
    useServer(server.url(QStringLiteral("/PendarWeb/")).toString());
    const auto settled = [&](bool open) {
        return pumpUntil([&] {
            return m_container->isSideOpen(SidePanelSide::Left) == open && m_container->view()->isUserInteractionEnabled();
        });
    };
    ASSERT_TRUE(tap(m_home, "课程选择"));
    ASSERT_TRUE(settled(true));
    ASSERT_TRUE(pumpUntil([&] { return asked.size() == 1; }));
    m_container->closeLeftView();
    ASSERT_TRUE(settled(false));
    ASSERT_TRUE(tap(m_home, "课程选择"));
    ASSERT_TRUE(settled(true));
    pumpUntil([] { return false; }, 0.3);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(m_menu->isLoadingList());

    asked.front()->write(HandServer::reply("200 OK", kThreeGroups, "Connection: close\r\n"));
    asked.front()->disconnectFromHost();
    ASSERT_TRUE(pumpUntil([&] { return !m_menu->isLoadingList() && overlaysGone(m_menu->view()); }));
    EXPECT_EQ(heads().size(), 3u);
    const auto& views = m_menu->view()->subviews();
    EXPECT_EQ(std::count_if(views.begin(), views.end(), [](const auto& v) { return bool(std::dynamic_pointer_cast<ExpadabelView>(v)); }), 1);
    EXPECT_EQ(asked.size(), 1u);
}

} // namespace
