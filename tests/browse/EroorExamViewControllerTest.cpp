#include "browse/EroorExamViewController.h"

#include "components/hud/ProgressHUD.h"
#include "components/tree/TreeView.h"
#include "platform/core/UrlConnection.h"
#include "tests/browse/TreeScreenFixture.h"
#include "tests/support/HandServer.h"
#include "tests/support/ViewPixels.h"

#include <QPointer>

#include <set>

using core::Record;

namespace {

class EroorExamViewControllerTest : public TreeScreenFixture<EroorExamViewController> {
protected:
    enum Book { ErrorBook = 0, Favourites = 1 };

    void openBook(Book book, bool wait = true) { open([book](EroorExamViewController& screen) { screen.setType(book); }, wait); }
    // After a clear the new list's overlay may still be fading when the next tap comes.
    bool tapClear()
    {
        auto button = m_screen->clearButton();
        const ui::Point centre = button->convertPointTo(button->bounds().center(), nullptr);
        return pumpUntil([&] { return m_window->hitTest(centre, nullptr) == button; }) && tapLabel(m_screen->view(), "清空");
    }

    // What the user did before opening the screen, through the server: a list's questions, a
    // question filed as a wrong answer or a favourite, the book as the server holds it.
    QJsonArray ask(const QString& path, QList<QPair<QString, QString>> fields)
    {
        fields << QPair<QString, QString>{"subjectCode", *CommonUtil::getSubjectCode()} << QPair<QString, QString>{"user_code", userCode()};
        return Record::array(postForm(*m_server, path, fields));
    }
    void file(const QJsonValue& question, Book book = ErrorBook)
    {
        ask("exam/error_keep_add", {{"type", QString::number(book)}, {"code", Record::stringValue(Record::value(question, "code"))}});
    }
    // The first question of a node of directory CBD1.
    QJsonValue fromNode(const QString& chapter, const QString& node)
    {
        return ask("exam/chapter_exam_list", {{"type", "0"}, {"exam_num", "1"}, {"directoryCode", "CBD1"}, {"chapterCode", chapter}, {"nodeCode", node}}).at(0);
    }
    QJsonArray bookOnServer(Book book) { return ask("exam/directory_list", {{"type", QString::number(book + 1)}}); }

    server::ServerInstance* m_server = nullptr;
};

// Wrong answers from two nodes of a first chapter, the last node of the last chapter and a
// paper: one entry for the directory (its chapters and nodes with what is kept), one for the
// paper; each level starts a run of the book's questions of that part.
TEST_F(EroorExamViewControllerTest, EntriesShowWhatIsKeptAndStartEachLevel)
{
    m_server = &startSignedIn();
    const QJsonArray paperQuestions = ask("exam/paper_exam_list", {{"paperCode", "CBP1"}});
    for (const QJsonValue& question : {fromNode("CBD1C1", "CBD1C1N1"), fromNode("CBD1C1", "CBD1C1N3"), fromNode("CBD1C3", "CBD1C3N3"),
                                       paperQuestions.at(0), paperQuestions.at(2)})
        file(question);
    const QJsonArray book = bookOnServer(ErrorBook);
    ASSERT_EQ(book.size(), 2) << "one entry per directory, then one per paper";

    openBook(ErrorBook);
    EXPECT_EQ(m_screen->titleLabel()->text(), "错题本");
    ASSERT_EQ(m_screen->data().size(), 2u);
    EXPECT_EQ(caption(*row({0})), "计算机系统概述 3道 special_scroll_02");
    EXPECT_EQ(caption(*row({1})), "计算机基础历年真题（一） 2道 special_scroll_08");
    ASSERT_EQ(row({0})->chlder().size(), 2u) << "the chapter with nothing kept is not shown";
    EXPECT_EQ(controlsOf(*row({0, 0})).count->text(), "2道");
    EXPECT_EQ(connector(*row({0, 1})), "special_scroll_04");
    ASSERT_EQ(row({0, 1})->chlder().size(), 1u);
    EXPECT_EQ(caption(*row({0, 1, 0})), controlsOf(*row({0, 1, 0})).name->text() + " 1道 special_scroll_07");
    tapRow(*row({0}));
    tapRow(*row({0, 0}));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "browse-error-book"));
    struct Case {
        std::initializer_list<int> path;
        bool byName;
        int kind;
        QStringList codeKey;   // where each question names the part it belongs to
        int questions;
    };
    const Case cases[] = {
        {{0, 0, 1}, false, 9, {"TChapterNode", "code"}, 1},
        {{0, 0}, true, 8, {"TChapter", "code"}, 2},
        {{0}, false, 7, {"TChapter", "TDirectory", "code"}, 3},
        {{1}, true, 6, {"TExamPaper", "code"}, 2},
    };
    for (const Case& c : cases) {
        QString code;
        auto practice = startFromRow(c.path, c.byName, code);
        SCOPED_TRACE(code.toStdString());
        ASSERT_TRUE(practice);
        EXPECT_EQ(practice->type(), c.kind);
        EXPECT_EQ(practice->error_type(), 0);
        EXPECT_EQ(practice->keepCode(), Record::stringValue(Record::value(book.at(c.kind == 6 ? 1 : 0), "code")));
        EXPECT_EQ(practice->examArr().size(), c.questions);
        expectEveryQuestionFrom(*practice, c.codeKey, code);
        closePractice();
    }
}

// A paper row has no rows to open: left of its name it shows no box, in either book, before
// and after a tap there, where a directory row shows its "+".
TEST_F(EroorExamViewControllerTest, APaperRowShowsNoBoxToOpen)
{
    m_server = &startSignedIn();
    const QJsonValue fromPaper = ask("exam/paper_exam_list", {{"paperCode", "CBP1"}}).at(0);
    const QJsonValue fromDirectory = fromNode("CBD1C1", "CBD1C1N1");
    // What is drawn left of the row's name, on the middle third of its height.
    const auto marksLeftOfName = [this](const SpecalHeadView& row) {
        const QRect area = pixels::pixelsOf(row);
        const QRect beforeName(area.left(), area.top() + area.height() / 3, pixels::pixelsOf(*controlsOf(row).name).left() - area.left(),
                               area.height() / 3);
        return pixels::count(m_window->renderImage(), [](const QColor& c) { return !pixels::isPlain(c); }, beforeName);
    };
    for (const Book book : {ErrorBook, Favourites}) {
        SCOPED_TRACE(book);
        file(fromDirectory, book);
        file(fromPaper, book);
        openBook(book);
        ASSERT_EQ(m_screen->data().size(), 2u);
        m_window->layoutIfNeeded();
        EXPECT_GT(marksLeftOfName(*row({0})), 0) << "the directory's box";
        EXPECT_EQ(marksLeftOfName(*row({1})), 0) << "nothing drawn beside the paper's name";
        tapRow(*row({1}));
        EXPECT_EQ(marksLeftOfName(*row({1})), 0) << "nor once tapped";
        if (book == Favourites) {
            EXPECT_TRUE(screenshot::save(m_window->renderImage(), "browse-favourites-paper-row"));
        }
    }
}

TEST_F(EroorExamViewControllerTest, ClearEmptiesOnlyTheBookShown)
{
    m_server = &startSignedIn();
    const QJsonArray questions = ask("exam/paper_exam_list", {{"paperCode", "CBP1"}});
    file(questions.at(0));
    file(questions.at(1), Favourites);

    openBook(Favourites);
    EXPECT_EQ(m_screen->titleLabel()->text(), "收藏本");
    const auto treeBefore = m_screen->treeView();
    ASSERT_TRUE(tapClear());
    ASSERT_TRUE(pumpUntil([&] { return toastTexts(m_screen->view()).contains("清除成功"); }));
    ASSERT_TRUE(pumpUntil([&] { return !m_screen->isLoading() && m_screen->treeView() != treeBefore; }));
    EXPECT_FALSE(treeBefore->superview()) << "the old tree is replaced, not stacked";
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 0);
    EXPECT_TRUE(bookOnServer(Favourites).isEmpty());
    EXPECT_EQ(bookOnServer(ErrorBook).size(), 1) << "the favourites' clear leaves the error book";
}

const QByteArray kOnePaper = R"([{"count": 2, "type": 0, "code": "K1", "paper": {"code": "P1", "name": "真题一"}}])";

// A failed clear shows the network toast only and the list is asked for again; the clear names
// the books the other way round from the list.
TEST_F(EroorExamViewControllerTest, FailedClearShowsTheNetworkToastOnlyAndStillReloads)
{
    useStub();
    m_stub.setReplies("exam/directory_list", {{200, kOnePaper}, {200, R"({"count": 3})"}});
    m_stub.setReply("exam/celarall", 404, "not here");
    openBook(Favourites);
    ASSERT_TRUE(tapClear());
    ASSERT_TRUE(pumpUntil([&] { return m_stub.count("exam/directory_list") == 2 && !m_screen->isLoading(); }));
    EXPECT_EQ(toastTexts(m_screen->view()), QStringList{CommonUtil::kNetworkMessage});
    EXPECT_EQ(m_screen->treeView()->numberOfRows(), 0) << "a reply that is no list holds nothing";
    const auto requests = m_stub.requests();
    EXPECT_EQ(requests.at(0).body, "subjectCode=CB&type=2&user_code=u1");
    EXPECT_EQ(requests.at(1).body, "subjectCode=CB&type=0&usercode=u1");
}

// The replies come in the order the test decides: the list asked for on opening is answered
// last, after the clear and the list asked for after it; only that newer list is shown.
TEST_F(EroorExamViewControllerTest, ClearSentWhileTheListLoadsHandlesEachReplyOnce)
{
    const QByteArray otherPaper = R"([{"count": 1, "type": 0, "code": "K2", "paper": {"code": "P2", "name": "真题二"}}])";
    QPointer<QTcpSocket> firstList;
    int lists = 0;
    HandServer server([&](QTcpSocket* socket, const QByteArray& request) {
        if (request.startsWith("POST /PendarWeb/exam/celarall "))
            socket->write(HandServer::reply("200 OK", "1"));
        else if (++lists == 1)
            firstList = socket;   // held until the newer list is in
        else
            socket->write(HandServer::reply("200 OK", otherPaper));
    });
    useStub();
    useServer(server.url("/PendarWeb/").toString());
    openBook(ErrorBook, false);
    ASSERT_TRUE(pumpUntil([&] { return bool(firstList); }));
    // The wait overlay keeps fingers off the button meanwhile; the action itself must still cope.
    ASSERT_TRUE(m_screen->isLoading());
    m_screen->clearClick(m_screen->clearButton());
    std::set<std::shared_ptr<TreeView>> trees;
    auto tracked = [&](const std::function<bool()>& done) {
        return pumpUntil([&] { return trees.insert(m_screen->treeView()), done(); });
    };
    ASSERT_TRUE(tracked([&] { return lists == 2 && m_screen->treeView(); }));
    firstList->write(HandServer::reply("200 OK", kOnePaper));
    ASSERT_TRUE(tracked([&] { return core::UrlConnection::runningCount() == 0 && !m_screen->isLoading(); }));
    EXPECT_EQ(trees.size(), 2u) << "none yet, then one: neither the old list nor the clear's reply made a tree";
    EXPECT_EQ(toastTexts(m_screen->view()), QStringList{"清除成功"});
    ASSERT_EQ(m_screen->data().size(), 1u);
    EXPECT_EQ(controlsOf(*m_screen->data().front()).name->text(), "真题二");
}

TEST_F(EroorExamViewControllerTest, EntriesOfNoCountOrOfTheWrongTypeAreSkipped)
{
    useStub();
    m_stub.setReply("exam/directory_list", 200, R"([{"count": 0, "type": 0, "code": "K0", "paper": {"code": "P0", "name": "空"}}, "x",
      {"count": 4, "type": "1", "code": "K1", "directory": {"code": "D1", "name": 1.5e3}, "chapters": [
         {"count": 3, "chapter": {"code": "C1", "name": "甲章"}, "nodes": [{"count": 9}, {"count": 0, "node": {"code": "N1", "name": "空节"}},
          {"count": 3, "node": {"code": "N2", "name": "乙节"}}, 5, {"count": 0, "node": {"code": "N3", "name": "末节"}}]},
         [], {"count": 0, "chapter": {"code": "C2", "name": "末章"}, "nodes": []}]},
      {"count": 1, "code": "K2", "paper": {"code": "P1", "name": 2024}}])");
    openBook(ErrorBook);
    ASSERT_EQ(m_screen->data().size(), 2u);
    // The entry's own count, not a sum; numbers read as they are written.
    EXPECT_EQ(caption(*row({0})), "1500 4道 special_scroll_02");
    ASSERT_EQ(row({0})->chlder().size(), 1u);
    // Skipped elements still count for the positions: the shown chapter and node stay inner.
    EXPECT_EQ(caption(*row({0, 0})), "甲章 3道 special_scroll_03");
    ASSERT_EQ(row({0, 0})->chlder().size(), 1u);
    EXPECT_EQ(caption(*row({0, 0, 0})), "乙节 3道 special_scroll_06");
    EXPECT_EQ(caption(*row({1})), "2024 1道 special_scroll_08");
    EXPECT_EQ(controlsOf(*row({1})).button->editType(), QString("4"));
}

// With the server gone a clear says so once: one network toast, one wait overlay, and the
// book shown stays.
TEST_F(EroorExamViewControllerTest, ClearWithTheServerGoneSaysSoOnce)
{
    m_server = &startSignedIn();
    file(ask("exam/paper_exam_list", {{"paperCode", "CBP1"}}).at(0));
    openBook(ErrorBook);
    ASSERT_EQ(m_screen->data().size(), 1u);
    const auto tree = m_screen->treeView();
    auto waitOverlays = [&] {
        const auto huds = ProgressHUD::allHUDsForView(m_screen->view());
        return std::count_if(huds.begin(), huds.end(), [](const auto& hud) { return hud->mode() != ProgressHUDMode::Text; });
    };
    const auto overlaysBefore = waitOverlays();
    m_sampleServer.reset();
    m_server = nullptr;
    ASSERT_TRUE(tapClear());
    // Until the toast has faded: anything sent after the clear has failed long before.
    qsizetype mostToasts = 0;
    ASSERT_TRUE(pumpUntil([&] {
        const qsizetype toasts = toastTexts(m_screen->view()).size();
        mostToasts = std::max(mostToasts, toasts);
        return mostToasts > 0 && toasts == 0 && !m_screen->isLoading();
    }));
    EXPECT_EQ(mostToasts, 1);
    EXPECT_EQ(waitOverlays() - overlaysBefore, 1);
    EXPECT_EQ(m_screen->treeView(), tree);
    EXPECT_EQ(m_screen->data().size(), 1u);
}

} // namespace
