#include "browse/SpecialViewController.h"

#include "components/tree/TreeView.h"
#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "tests/browse/TreeScreenFixture.h"

using core::Record;

namespace {

using SpecialViewControllerTest = TreeScreenFixture<SpecialViewController>;

// The sample subject's tree: element 0 of each chapter's nodes starts the chapter's count and
// has no row, a directory adds up its chapters; the last node of a directory's last chapter
// closes the branch. Rows open and close under a finger, their connector following; each
// level starts a run of that part's questions, by its button or its name.
TEST_F(SpecialViewControllerTest, SampleSubjectTreeOpensUnderAFingerAndStartsEachLevel)
{
    startSignedIn();
    open();
    auto tree = m_screen->treeView();
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->numberOfRows(), 3) << "every row starts collapsed";
    EXPECT_EQ(caption(*row({0})), "计算机系统概述 40道 special_scroll_02");
    EXPECT_EQ(caption(*row({0, 0})), "计算机发展与分类 9道 special_scroll_03");
    EXPECT_EQ(caption(*row({0, 2})), "硬件组成 9道 special_scroll_04");
    EXPECT_EQ(caption(*row({0, 2, 2})), "输入输出设备 3道 special_scroll_07");
    EXPECT_EQ(connector(*row({1, 2, 2})), "special_scroll_07");
    EXPECT_EQ(connector(*row({2, 1, 2})), "special_scroll_06");
    EXPECT_FALSE(controlsOf(*row({0, 1, 1})).name->code()) << "the chapter tree sets no entry code";

    // Stepped: rows go in and out at the tap, a collapsed row's picture changes once its rows have gone.
    auto tap = [&](std::initializer_list<int> path, int rows, const QString& picture) {
        core::ManualClock clock(core::Clock::now());
        tapRow(*row(path));
        clock.advance(1);
        EXPECT_EQ(tree->numberOfRows(), rows);
        EXPECT_EQ(connector(*row(path)), picture);
    };
    tap({0}, 6, "special_scroll_01");
    tap({0, 1}, 9, "special_scroll_05");
    tap({0, 1, 0}, 9, "special_scroll_06");
    EXPECT_FALSE(m_screen->presentedViewController()) << "the connector is not a start";
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "browse-chapter-tree"));

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
    };
    for (const Case& c : cases) {
        QString code;
        auto practice = startFromRow(c.path, c.byName, code);
        SCOPED_TRACE(code.toStdString());
        ASSERT_TRUE(practice);
        EXPECT_EQ(practice->type(), c.kind);
        ASSERT_FALSE(practice->examArr().isEmpty());
        expectEveryQuestionFrom(*practice, c.codeKey, code);
        closePractice();
    }
    EXPECT_EQ(tree->numberOfRows(), 9) << "the tree keeps its expansion across runs";
    tap({0, 1}, 6, "special_scroll_03");
    tap({0}, 3, "special_scroll_02");

    // Back lets go of the rows.
    std::weak_ptr<SpecalHeadView> firstRow = row({0});
    ASSERT_TRUE(ui::TouchInjector::tap(*m_screen->backButton()));
    ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    m_screen.reset();
    tree.reset();
    EXPECT_TRUE(firstRow.expired());
}

TEST_F(SpecialViewControllerTest, ChaptersWithoutNodeRowsAndUnusualReplies)
{
    useStub();
    m_stub.setReply("exam/directory_list", 200, R"([{"code": "D1", "name": 2024, "chapters": [
        {"code": "C1", "name": "单元素", "nodes": [{"count": 5}]},
        {"code": "C2", "name": "大数", "nodes": [{"count": 2000000000}, {"code": "N1", "name": "甲", "count": 2000000000},
                                                 "not a node", {"code": "N2", "name": "乙", "count": "7"}]},
        {"code": "C3", "name": "无节点"}, 7, {"code": "C4", "name": "末章", "nodes": [{"count": 0}]}]},
      "not a directory", {"code": "D2", "name": "空目录"}])");
    open();
    EXPECT_EQ(m_stub.requests().at(0).body, "subjectCode=CB");
    ASSERT_EQ(m_screen->data().size(), 2u);
    EXPECT_EQ(caption(*row({0})), "2024 4000000012道 special_scroll_02") << "a number shows as written; 64-bit sums";
    QStringList chapters;
    for (const auto& chapter : row({0})->chlder())
        chapters << caption(*chapter) + QString(" %1").arg(chapter->chlder().size());
    EXPECT_EQ(chapters, (QStringList{"单元素 5道 special_scroll_06 0", "大数 4000000007道 special_scroll_03 2",
                                     "无节点 0道 special_scroll_06 0", "末章 0道 special_scroll_07 0"}));
    EXPECT_EQ(caption(*row({0, 1, 1})), "乙 7道 special_scroll_06");
    EXPECT_EQ(caption(*row({1})), "空目录 0道 special_scroll_02");
    tapRow(*row({0}));
    tapRow(*row({0, 0}));
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 2 + 4) << "a one-element chapter cannot open";
}

// The screen goes while a tapped row's rows are still sliding in, or out: by back, when the
// screen closes and the slide ends without it, or by the app quitting, when the animations
// never end. Either way the screen, its tree and every row go.
TEST_F(SpecialViewControllerTest, LeavingWhileRowsSlideLetsTheTreeGo)
{
    useStub();
    m_stub.setReply("exam/directory_list", 200, R"([{"code": "D1", "name": "目录", "chapters": [
        {"code": "C1", "name": "章一", "nodes": [{"count": 1}]}, {"code": "C2", "name": "章二"}]}])");
    for (const bool byBack : {true, false}) {
        for (const bool expanded : {false, true}) {
            SCOPED_TRACE(std::string(byBack ? "back, " : "quit, ") + (expanded ? "collapsing" : "expanding"));
            open();
            core::ManualClock clock(core::Clock::now());
            if (expanded) {
                tapRow(*row({0}));
                clock.advance(1);
            }
            tapRow(*row({0}));
            clock.advance(0.1);
            ASSERT_EQ(m_screen->treeView()->numberOfRows(), expanded ? 1 : 3);
            std::weak_ptr<SpecialViewController> screen = m_screen;
            std::weak_ptr<TreeView> tree = m_screen->treeView();
            std::weak_ptr<SpecalHeadView> tapped = row({0}), chapter = row({0, 1});

            if (byBack) {
                ASSERT_TRUE(tapLabel(m_screen->view(), "返回"));
                m_screen.reset();
                clock.advance(1);
                EXPECT_FALSE(m_root->presentedViewController());
            } else {
                // As the program ends: the run loop's work is dropped, then every window and screen.
                ui::Application::shared().terminate();
                ui::Application::shared().tearDown();
                m_screen.reset();
                m_root.reset();
                m_window.reset();
                clock.advance(0);   // what the views posted on their way out
            }
            EXPECT_TRUE(screen.expired());
            EXPECT_TRUE(tree.expired());
            EXPECT_TRUE(tapped.expired() && chapter.expired());
            if (!byBack)
                ui::Application::shared().reset();
        }
    }
}

} // namespace
