#include "browse/SpecialViewController.h"

#include "appbase/CommonUtil.h"
#include "components/tree/TreeView.h"
#include "platform/core/ManualClock.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "tests/browse/TreeScreenFixture.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>

using core::Record;

namespace {

using SpecialViewControllerTest = TreeScreenFixture<SpecialViewController>;

TEST_F(SpecialViewControllerTest, SampleSubjectShowsItsTreeWithCountsAndConnectors)
{
    startSignedIn();
    open();
    ASSERT_TRUE(m_screen->treeView());
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 3) << "every row starts collapsed";
    ASSERT_EQ(m_screen->data().size(), 3u);

    // The first directory of the sample subject: element 0 of each chapter's nodes starts the
    // chapter's count and has no row; the directory adds up its chapters.
    EXPECT_EQ(caption(*row({0})), "计算机系统概述 40道 special_scroll_02");
    ASSERT_EQ(row({0})->chlder().size(), 3u);
    EXPECT_EQ(caption(*row({0, 0})), "计算机发展与分类 9道 special_scroll_03");
    EXPECT_EQ(caption(*row({0, 1})), "数制与编码 22道 special_scroll_03");
    EXPECT_EQ(caption(*row({0, 2})), "硬件组成 9道 special_scroll_04");
    ASSERT_EQ(row({0, 0})->chlder().size(), 3u);
    EXPECT_EQ(caption(*row({0, 0, 0})), "发展历程 4道 special_scroll_06");
    EXPECT_EQ(caption(*row({0, 0, 2})), "应用领域 2道 special_scroll_06");
    EXPECT_EQ(caption(*row({0, 2, 2})), "输入输出设备 3道 special_scroll_07");
    EXPECT_TRUE(row({0, 2, 2})->chlder().empty());
    // The last node of every directory's last chapter closes the branch.
    EXPECT_EQ(connector(*row({1, 2, 2})), "special_scroll_07");
    EXPECT_EQ(connector(*row({2, 1, 2})), "special_scroll_06");

    // Rows carry their record and level on both the button and the name.
    const RowView node = controlsOf(*row({0, 1, 1}));
    EXPECT_EQ(Record::stringValue(node.button->data()->value("name")), "数制转换");
    EXPECT_EQ(node.button->editType(), QString("2"));
    EXPECT_EQ(node.name->editType(), QString("2"));
    EXPECT_FALSE(node.name->code()) << "the chapter tree sets no entry code";
    EXPECT_EQ(controlsOf(*row({0})).name->editType(), QString("0"));
    EXPECT_EQ(controlsOf(*row({0, 1})).button->editType(), QString("1"));
}

TEST_F(SpecialViewControllerTest, TappedRowsExpandAndCollapse)
{
    startSignedIn();
    open();
    auto tree = m_screen->treeView();
    ASSERT_TRUE(tree);
    // Stepped from here on: rows go in and out at the tap, a collapsed row's picture changes
    // once its rows have gone.
    core::ManualClock clock;
    auto tap = [&](std::initializer_list<int> path) {
        tapRow(*row(path));
        clock.advance(1);
    };

    tap({0});
    EXPECT_EQ(tree->numberOfRows(), 6);
    EXPECT_EQ(connector(*row({0})), "special_scroll_01");
    tap({0, 1});
    EXPECT_EQ(tree->numberOfRows(), 9);
    EXPECT_EQ(connector(*row({0, 1})), "special_scroll_05");
    tap({0, 1, 0});
    EXPECT_EQ(tree->numberOfRows(), 9) << "a node row has nothing to open";
    EXPECT_FALSE(m_screen->presentedViewController()) << "the connector is not a start";
    EXPECT_TRUE(screenshot(QStringLiteral("/tmp/browse_chapter_tree.png")));

    tap({0, 1});
    EXPECT_EQ(tree->numberOfRows(), 6);
    EXPECT_EQ(connector(*row({0, 1})), "special_scroll_03");
    tap({0});
    EXPECT_EQ(tree->numberOfRows(), 3);
    EXPECT_EQ(connector(*row({0})), "special_scroll_02");
    EXPECT_TRUE(sameRect(row({0})->frame(), row({0})->headView()->frame()));
}

TEST_F(SpecialViewControllerTest, StartsAtEachLevelOpenTheServersListForThatPart)
{
    startSignedIn();
    open();
    tapRow(*row({0}));
    tapRow(*row({0, 1}));

    struct Case {
        std::initializer_list<int> path;
        bool byName;
        int kind;
        QStringList codeKey;   // where each question names the part it belongs to
    };
    const Case cases[] = {
        {{0, 1, 1}, false, 3, {"TChapterNode", "code"}},
        {{0, 1}, true, 2, {"TChapter", "code"}},
        {{0}, false, 1, {"TChapter", "TDirectory", "code"}},
        {{0, 1, 2}, true, 3, {"TChapterNode", "code"}},
    };
    for (const Case& c : cases) {
        const RowView controls = controlsOf(*row(c.path));
        const QString code = Record::stringValue(controls.button->data()->value("code"));
        SCOPED_TRACE(code.toStdString());
        auto practice = c.byName ? startWith(*controls.name) : startWith(*controls.button);
        ASSERT_TRUE(practice);
        EXPECT_EQ(practice->type(), c.kind);
        EXPECT_EQ(Record::stringValue(practice->data().value("code")), code);
        ASSERT_FALSE(practice->examArr().isEmpty());
        for (const QJsonValue& question : practice->examArr())
            EXPECT_EQ(Record::stringValue(Record::value(question, c.codeKey)), code);
        closePractice();
    }
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 9) << "the tree keeps its expansion across runs";
}

TEST_F(SpecialViewControllerTest, ChaptersWithoutNodeRowsAndUnusualReplies)
{
    StubServer stub;
    useServer(stub.baseUrl());
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    CommonUtil::setSubjectCode(QStringLiteral("S1"));
    stub.setReply("exam/directory_list", 200, R"([
      {"code": "D1", "name": 2024, "chapters": [
        {"code": "C1", "name": "单元素", "nodes": [{"count": 5}]},
        {"code": "C2", "name": "大数", "nodes": [{"count": 2000000000}, {"code": "N1", "name": "甲", "count": 2000000000},
                                                 "not a node", {"code": "N2", "name": "乙", "count": "7"}]},
        {"code": "C3", "name": "无节点"},
        7,
        {"code": "C4", "name": "末章", "nodes": [{"count": 0}]}
      ]},
      "not a directory",
      {"code": "D2", "name": "空目录"}
    ])");
    open();
    EXPECT_EQ(stub.requests().at(0).body, "subjectCode=S1");
    ASSERT_EQ(m_screen->data().size(), 2u);
    EXPECT_EQ(caption(*row({0})), "2024 4000000012道 special_scroll_02") << "a number shows as written; 64-bit sums";
    ASSERT_EQ(row({0})->chlder().size(), 4u);
    EXPECT_EQ(caption(*row({0, 0})), "单元素 5道 special_scroll_06");
    EXPECT_TRUE(row({0, 0})->chlder().empty());
    EXPECT_EQ(caption(*row({0, 1})), "大数 4000000007道 special_scroll_03");
    ASSERT_EQ(row({0, 1})->chlder().size(), 2u);
    EXPECT_EQ(caption(*row({0, 1, 1})), "乙 7道 special_scroll_06");
    EXPECT_EQ(caption(*row({0, 2})), "无节点 0道 special_scroll_06");
    EXPECT_EQ(caption(*row({0, 3})), "末章 0道 special_scroll_07");
    EXPECT_EQ(caption(*row({1})), "空目录 0道 special_scroll_02");

    // A one-element chapter cannot open.
    tapRow(*row({0}));
    ASSERT_EQ(m_screen->treeView()->numberOfRows(), 2 + 4);
    tapRow(*row({0, 0}));
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 2 + 4);
}

TEST_F(SpecialViewControllerTest, BackLetsGoOfTheRowsAndCloses)
{
    startSignedIn();
    open();
    std::weak_ptr<SpecalHeadView> firstRow = row({0});
    ASSERT_TRUE(ui::TouchInjector::tap(*m_screen->backButton()));
    ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    EXPECT_TRUE(m_screen->data().empty());
    EXPECT_TRUE(m_screen->view()->subviews().empty());
    m_screen.reset();
    EXPECT_TRUE(firstRow.expired()) << "nothing keeps the rows alive";
}

} // namespace
