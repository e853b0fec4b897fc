#include "browse/EroorExamViewController.h"

#include "appbase/CommonUtil.h"
#include "components/tree/TreeView.h"
#include "platform/core/ManualClock.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "server/ServerInstance.h"
#include "tests/browse/BrowseTestSupport.h"
#include "tests/browse/TreeScreenFixture.h"
#include "tests/support/StubServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>
#include <httplib.h>

using core::Record;

namespace {

QStringList codesOf(const QJsonArray& questions)
{
    QStringList codes;
    for (const QJsonValue& q : questions)
        codes << Record::stringValue(Record::value(q, "code"));
    codes.sort();
    return codes;
}

class EroorExamViewControllerTest : public TreeScreenFixture<EroorExamViewController> {
protected:
    enum Book { ErrorBook = 0, Favourites = 1 };

    std::shared_ptr<EroorExamViewController> openBook(Book book, bool wait = true)
    {
        return open([book](EroorExamViewController& screen) { screen.setType(book); }, wait);
    }
    // After a clear the new list's overlay may still be fading when the next tap comes.
    bool tapClear()
    {
        auto button = m_screen->clearButton();
        const ui::Point centre = button->convertPointTo(button->bounds().center(), nullptr);
        if (!pumpUntil([&] { return m_window->hitTest(centre, nullptr) == button; }))
            return false;
        return tapLabel(m_screen->view(), QStringLiteral("清空"));
    }

    // --- What the user did before opening the screen, through the server --------------------
    QString user() const { return Record::stringValue(CommonUtil::getAccount()->value("code")); }
    QString subject() const { return *CommonUtil::getSubjectCode(); }

    // The questions of the subject's first past paper, as a paper run gets them.
    QJsonArray paperQuestions(QJsonObject* paper)
    {
        const QJsonArray papers =
            Record::array(postForm(*m_server, "exam/paper_list", {{"subjectCode", subject()}, {"examType", "0"}}));
        *paper = Record::object(papers.at(0));
        return Record::array(postForm(*m_server, "exam/paper_exam_list",
                                      {{"subjectCode", subject()}, {"user_code", user()},
                                       {"paperCode", Record::stringValue(paper->value("code"))}}));
    }
    // The questions of one node, as chapter practice gets them.
    QJsonArray nodeQuestions(const QString& directory, const QString& chapter, const QString& node)
    {
        return Record::array(postForm(*m_server, "exam/chapter_exam_list",
                                      {{"subjectCode", subject()}, {"user_code", user()}, {"type", "0"}, {"exam_num", "50"},
                                       {"directoryCode", directory}, {"chapterCode", chapter}, {"nodeCode", node}}));
    }
    // Files a question as the practice screen does: a wrong answer or a favourite.
    void file(const QJsonValue& question, Book book)
    {
        postForm(*m_server, "exam/error_keep_add",
                 {{"subjectCode", subject()}, {"user_code", user()}, {"type", QString::number(book)},
                  {"code", Record::stringValue(Record::value(question, "code"))}, {"anwer", "A"}});
    }
    QJsonArray bookOnServer(Book book)
    {
        return Record::array(postForm(*m_server, "exam/directory_list",
                                      {{"subjectCode", subject()}, {"type", QString::number(book + 1)}, {"user_code", user()}}));
    }

    server::ServerInstance* m_server = nullptr;
};

TEST_F(EroorExamViewControllerTest, PaperRunsWrongAnswersShowUnderTheirPaperAndPractiseAgain)
{
    m_server = &startSignedIn();
    QJsonObject paper;
    const QJsonArray questions = paperQuestions(&paper);
    ASSERT_GE(questions.size(), 3);
    file(questions.at(0), ErrorBook);
    file(questions.at(2), ErrorBook);
    const QString entryCode = Record::stringValue(Record::value(bookOnServer(ErrorBook).at(0), "code"));

    openBook(ErrorBook);
    EXPECT_EQ(m_screen->titleLabel()->text(), "错题本");
    ASSERT_EQ(m_screen->data().size(), 1u);
    EXPECT_EQ(caption(*row({0})), Record::stringValue(paper.value("name")) + " 2道 special_scroll_02");
    EXPECT_TRUE(row({0})->chlder().empty());

    const QStringList wrong = codesOf(QJsonArray{questions.at(0), questions.at(2)});
    const RowView controls = controlsOf(*row({0}));
    for (const ui::View* control : {static_cast<const ui::View*>(controls.button.get()),
                                    static_cast<const ui::View*>(controls.name.get())}) {
        auto practice = startWith(*control);
        ASSERT_TRUE(practice);
        EXPECT_EQ(practice->type(), 6);
        EXPECT_EQ(practice->error_type(), 0);
        EXPECT_EQ(practice->keepCode(), entryCode);
        EXPECT_EQ(Record::stringValue(practice->data().value("code")), Record::stringValue(paper.value("code")));
        EXPECT_EQ(codesOf(practice->examArr()), wrong);
        closePractice();
    }
}

TEST_F(EroorExamViewControllerTest, ChapterEntriesShowTheirChaptersAndNodesAndStartEachLevel)
{
    m_server = &startSignedIn();
    // Two nodes of the first chapter and the last node of the last chapter of directory CBD1.
    const QJsonArray first = nodeQuestions("CBD1", "CBD1C1", "CBD1C1N1");
    const QJsonArray second = nodeQuestions("CBD1", "CBD1C1", "CBD1C1N3");
    const QJsonArray last = nodeQuestions("CBD1", "CBD1C3", "CBD1C3N3");
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    ASSERT_FALSE(last.isEmpty());
    file(first.at(0), ErrorBook);
    file(second.at(0), ErrorBook);
    file(last.at(0), ErrorBook);
    QJsonObject paper;
    file(paperQuestions(&paper).at(0), ErrorBook);
    const QJsonArray book = bookOnServer(ErrorBook);
    ASSERT_EQ(book.size(), 2) << "one entry per directory, then one per paper";
    const QString entryCode = Record::stringValue(Record::value(book.at(0), "code"));

    openBook(ErrorBook);
    ASSERT_EQ(m_screen->data().size(), 2u);
    EXPECT_EQ(controlsOf(*row({1})).button->editType(), QString("4"));
    EXPECT_EQ(controlsOf(*row({0})).count->text(), "3道");
    ASSERT_EQ(row({0})->chlder().size(), 2u) << "the chapter with nothing kept is not shown";
    EXPECT_EQ(controlsOf(*row({0, 0})).count->text(), "2道");
    EXPECT_EQ(controlsOf(*row({0, 1})).count->text(), "1道");
    EXPECT_EQ(connector(*row({0, 1})), "special_scroll_04");
    ASSERT_EQ(row({0, 0})->chlder().size(), 2u);
    ASSERT_EQ(row({0, 1})->chlder().size(), 1u);
    EXPECT_EQ(caption(*row({0, 1, 0})), controlsOf(*row({0, 1, 0})).name->text() + " 1道 special_scroll_07");

    {
        core::ManualClock clock;
        tapRow(*row({0}));
        tapRow(*row({0, 0}));
        clock.advance(1);
        ASSERT_EQ(m_screen->treeView()->numberOfRows(), 6);
        EXPECT_TRUE(screenshot(QStringLiteral("/tmp/browse_error_book.png")));
    }
    struct Case {
        std::initializer_list<int> path;
        int kind;
        QStringList codeKey;
        int questions;
    };
    const Case cases[] = {
        {{0, 0, 1}, 9, {"TChapterNode", "code"}, 1},
        {{0, 0}, 8, {"TChapter", "code"}, 2},
        {{0}, 7, {"TChapter", "TDirectory", "code"}, 3},
    };
    for (const Case& c : cases) {
        const RowView controls = controlsOf(*row(c.path));
        EXPECT_EQ(controls.name->code(), entryCode);
        const QString code = Record::stringValue(controls.button->data()->value("code"));
        SCOPED_TRACE(code.toStdString());
        auto practice = startWith(*controls.button);
        ASSERT_TRUE(practice);
        EXPECT_EQ(practice->type(), c.kind);
        EXPECT_EQ(practice->keepCode(), entryCode);
        EXPECT_EQ(practice->examArr().size(), c.questions);
        for (const QJsonValue& question : practice->examArr())
            EXPECT_EQ(Record::stringValue(Record::value(question, c.codeKey)), code);
        closePractice();
    }
}

TEST_F(EroorExamViewControllerTest, ClearEmptiesOnlyTheBookShown)
{
    m_server = &startSignedIn();
    QJsonObject paper;
    const QJsonArray questions = paperQuestions(&paper);
    ASSERT_GE(questions.size(), 2);
    file(questions.at(0), ErrorBook);
    file(questions.at(1), Favourites);

    openBook(Favourites);
    EXPECT_EQ(m_screen->titleLabel()->text(), "收藏本");
    ASSERT_EQ(m_screen->data().size(), 1u);
    EXPECT_EQ(caption(*row({0})), Record::stringValue(paper.value("name")) + " 1道 special_scroll_02");
    const auto treeBefore = m_screen->treeView();

    ASSERT_TRUE(tapClear());
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(m_screen->view()).contains("清除成功"); }));
    ASSERT_TRUE(pumpUntil([&] { return !m_screen->isLoading() && m_screen->treeView() != treeBefore; }));
    EXPECT_FALSE(treeBefore->superview()) << "the old tree is replaced, not stacked";
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 0);
    EXPECT_TRUE(bookOnServer(Favourites).isEmpty());
    EXPECT_EQ(bookOnServer(ErrorBook).size(), 1) << "the favourites' clear leaves the error book";
    close();

    openBook(ErrorBook);
    ASSERT_EQ(m_screen->treeView()->numberOfRows(), 1);
    ASSERT_TRUE(tapClear());
    ASSERT_TRUE(pumpUntil([&] { return !m_screen->isLoading() && m_screen->treeView()->numberOfRows() == 0; }));
    EXPECT_TRUE(bookOnServer(ErrorBook).isEmpty());
}

// A book the stub serves: one paper entry, then (after a clear) nothing.
const QByteArray kOnePaper = R"([{"count": 2, "type": 0, "code": "K1", "paper": {"code": "P1", "name": "真题一"}}])";

class StubbedBookTest : public EroorExamViewControllerTest {
protected:
    void SetUp() override
    {
        EroorExamViewControllerTest::SetUp();
        useServer(m_stub.baseUrl());
        CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
        CommonUtil::setSubjectCode(QStringLiteral("S1"));
    }
    StubServer m_stub;
};

TEST_F(StubbedBookTest, FailedClearShowsTheNetworkToastOnlyAndStillReloads)
{
    m_stub.setReplies("exam/directory_list", {{200, kOnePaper}, {200, "[]"}});
    m_stub.setReply("exam/celarall", 500, "internal error");
    openBook(ErrorBook);
    ASSERT_EQ(m_screen->data().size(), 1u);

    ASSERT_TRUE(tapClear());
    ASSERT_TRUE(pumpUntil([&] { return m_stub.count("exam/directory_list") == 2 && !m_screen->isLoading(); }));
    EXPECT_EQ(toastTexts(m_screen->view()), QStringList{"网络不给力，请重试"});
    EXPECT_TRUE(m_screen->data().empty()) << "the list shows what the server still holds";
    // The clear names the books the other way round from the list.
    const auto requests = m_stub.requests();
    EXPECT_TRUE(requests.at(0).body.contains("type=1")) << requests.at(0).body.toStdString();
    EXPECT_TRUE(requests.at(1).body.contains("type=1&usercode=u1")) << requests.at(1).body.toStdString();
}

TEST_F(StubbedBookTest, ClearSentWhileTheListLoadsHandlesEachReplyOnce)
{
    const QByteArray otherPaper = R"([{"count": 1, "type": 0, "code": "K2", "paper": {"code": "P2", "name": "真题二"}}])";
    m_stub.setReplies("exam/directory_list", {{200, kOnePaper}, {200, otherPaper}});
    m_stub.setReply("exam/celarall", 200, "1");
    openBook(ErrorBook, false);
    // Replies arrive only from the run loop, so the list is still on its way. The wait overlay
    // keeps fingers off the button meanwhile; the action itself must still cope.
    ASSERT_TRUE(m_screen->isLoading());
    m_screen->clearClick(m_screen->clearButton());

    // Every tree shown on the way: only the list asked for after the clear may make one.
    std::vector<std::shared_ptr<TreeView>> trees;
    ASSERT_TRUE(pumpUntil([&] {
        auto tree = m_screen->treeView();
        if (tree && (trees.empty() || trees.back() != tree))
            trees.push_back(tree);
        return m_stub.count("exam/directory_list") == 2 && !m_screen->isLoading();
    }));
    EXPECT_EQ(trees.size(), 1u) << "neither the old list nor the clear's reply made a tree";
    EXPECT_EQ(toastTexts(m_screen->view()), QStringList{"清除成功"});
    EXPECT_EQ(m_stub.count("exam/celarall"), 1);
    ASSERT_EQ(m_screen->data().size(), 1u);
    EXPECT_EQ(controlsOf(*m_screen->data().front()).name->text(), "真题二");
}

TEST_F(StubbedBookTest, EntriesOfNoCountOrOfTheWrongTypeAreSkipped)
{
    m_stub.setReply("exam/directory_list", 200, R"([
      {"count": 0, "type": 0, "code": "K0", "paper": {"code": "P0", "name": "空"}},
      "not an entry",
      {"count": 4, "type": "1", "code": "K1", "directory": {"code": "D1", "name": 1.5e3},
       "chapters": [
         {"count": 3, "chapter": {"code": "C1", "name": "甲章"},
          "nodes": [{"count": 9}, {"count": 0, "node": {"code": "N1", "name": "空节"}},
                    {"count": 3, "node": {"code": "N2", "name": "乙节"}}, 5,
                    {"count": 0, "node": {"code": "N3", "name": "末节"}}]},
         [],
         {"count": 0, "chapter": {"code": "C2", "name": "末章"}, "nodes": []}
       ]},
      {"count": 1, "code": "K2", "paper": {"code": "P1", "name": 2024}}
    ])");
    openBook(ErrorBook);
    ASSERT_EQ(m_screen->data().size(), 2u);
    // The entry's own count, not a sum; numbers read as they are written.
    EXPECT_EQ(caption(*row({0})), "1500 4道 special_scroll_02");
    ASSERT_EQ(row({0})->chlder().size(), 1u);
    // Skipped elements still count for the positions: the shown chapter and node stay inner.
    EXPECT_EQ(caption(*row({0, 0})), "甲章 3道 special_scroll_03");
    ASSERT_EQ(row({0, 0})->chlder().size(), 1u);
    EXPECT_EQ(caption(*row({0, 0, 0})), "乙节 3道 special_scroll_06");
    EXPECT_EQ(caption(*row({1})), "2024 1道 special_scroll_02");
    EXPECT_EQ(controlsOf(*row({1})).button->editType(), QString("4"));
}

TEST_F(StubbedBookTest, ReplyThatIsNoListGivesAnEmptyTree)
{
    m_stub.setReply("exam/directory_list", 200, R"({"count": 3})");
    openBook(Favourites);
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 0);
    EXPECT_EQ(m_stub.requests().at(0).body, "subjectCode=S1&type=2&user_code=u1");
}

} // namespace
