#include "browse/NoteDirView.h"

#include "browse/ChapterNote.h"
#include "browse/LayoutViewController.h"
#include "browse/NodeDir.h"
#include "browse/NoteLayoutClasses.h"
#include "browse/ShowNote.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/WebView.h"
#include "server/storage/Database.h"
#include "tests/browse/BrowseTestSupport.h"


namespace {

class NoteDirViewTest : public BrowseFixture {
protected:
    void SetUp() override
    {
        BrowseFixture::SetUp();
        NoteLayoutClasses::registerAll();
    }

    std::shared_ptr<ShowNote> openNote(const QString& chapterId)
    {
        auto note = ShowNote::create();
        note->setChapterId(chapterId);
        note->setChapterName("第一章");
        present(note);
        EXPECT_TRUE(pumpUntil([&] { return note->webView() && !note->webView()->isLoading(); }));
        return note;
    }
    void close(const std::shared_ptr<LayoutViewController>& screen)
    {
        screen->backClick(nullptr);
        EXPECT_TRUE(pumpUntil([&] { return !screen->presentingViewController(); }));
    }

    // Each row as "<height> <cell class> <title>", section by section.
    QStringList rows(NoteDirView& directory)
    {
        QStringList shown;
        auto table = directory.dirList();
        for (int s = 0; s < table->numberOfSections(); ++s) {
            for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
                auto cell = directory.cellForRowAtIndexPath(*table, ui::IndexPath(s, r));
                auto dir = std::dynamic_pointer_cast<NodeDir>(cell);
                auto chapter = std::dynamic_pointer_cast<ChapterNote>(cell);
                shown << QString::number(table->rectForRowAtIndexPath(ui::IndexPath(s, r)).height())
                        + (dir ? " NodeDir " + dir->title()->text() : chapter ? " ChapterNote " + chapter->title()->text() : " plain");
            }
        }
        return shown;
    }
};

// Each directory with its chapters from the layout files, one more directory added to the bank;
// a tapped chapter opens its own note.
TEST_F(NoteDirViewTest, ListsEachDirectoryWithItsChaptersAndOpensAChaptersNote)
{
    server::ServerInstance& server = startSignedIn();
    server.database().execute("INSERT INTO directory (code, subject_code, name, position) VALUES ('CBD9', 'CB', '附录', 9)");
    server.database().execute("UPDATE chapter SET note = '<p>进制要点</p><img src=\"allBg.png\">' WHERE code = 'CBD1C2'");
    auto directory = present(NoteDirView::create());
    EXPECT_EQ(rows(*directory), QStringList({
                                    "24 NodeDir 计算机系统概述", "43 ChapterNote 计算机发展与分类", "43 ChapterNote 数制与编码",
                                    "43 ChapterNote 硬件组成", "24 NodeDir 操作系统与软件", "43 ChapterNote 操作系统基础",
                                    "43 ChapterNote 软件分类", "43 ChapterNote 办公软件", "24 NodeDir 网络与安全",
                                    "43 ChapterNote 网络基础", "43 ChapterNote 互联网应用", "43 ChapterNote 信息安全",
                                    "24 NodeDir 附录",
                                }));
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "notes-directory"));

    ASSERT_TRUE(tapLabel(directory->dirList(), "数制与编码"));
    auto note = std::dynamic_pointer_cast<ShowNote>(directory->presentedViewController());
    ASSERT_TRUE(note);
    ASSERT_TRUE(pumpUntil([&] { return !note->isLoading() && note->webView() && !note->webView()->isLoading(); }));
    EXPECT_EQ(note->chapterId(), "CBD1C2");
    EXPECT_EQ(note->ctitle()->text(), "数制与编码");
    EXPECT_TRUE(note->webView()->text().startsWith("进制要点"));
    EXPECT_GT(note->webView()->scrollView()->contentSize().height, 100) << "the picture of the resource folder shows";
}

// Elements that are no objects are left out of the list; a note that is not there in the
// expected shape, or an error page, shows an empty page.
TEST_F(NoteDirViewTest, RepliesOfTheWrongShapeLeaveTheScreensEmptyButUsable)
{
    useStub();
    m_stub.setReply("exam/note_directory_list", 200, R"([3,{"name":"甲","chapters":[{"code":"c1","name":"一"},"x"]},{"name":"乙"}])");
    auto directory = present(NoteDirView::create());
    EXPECT_EQ(rows(*directory), QStringList({"24 NodeDir 甲", "43 ChapterNote 一", "24 NodeDir 乙"}));
    EXPECT_EQ(m_stub.requests().first().body, "subjectCode=CB");
    close(directory);
    for (const auto& [status, body] : {std::pair{200, R"({"data":"<b>要点</b>"})"}, std::pair{404, R"({"data":{"remark":"<b>要点</b>"}})"}}) {
        SCOPED_TRACE(body);
        m_stub.setReply("exam/note_get", status, body);
        auto note = openNote("C&1");
        EXPECT_EQ(note->webView()->text().trimmed(), "");
        close(note);
    }
    EXPECT_EQ(m_stub.requests().last().body, "subjectCode=CB&chapterId=C%261");
}

} // namespace
