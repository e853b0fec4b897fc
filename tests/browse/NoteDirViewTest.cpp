#include "browse/NoteDirView.h"

#include "browse/ChapterNote.h"
#include "browse/LayoutViewController.h"
#include "browse/NodeDir.h"
#include "browse/NoteLayoutClasses.h"
#include "browse/ShowNote.h"
#include "platform/core/Bundle.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/WebView.h"
#include "server/Database.h"
#include "tests/browse/BrowseTestSupport.h"

#include <QImage>
#include <QTemporaryDir>

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
                const ui::IndexPath path(s, r);
                auto cell = directory.cellForRowAtIndexPath(*table, path);
                auto dir = std::dynamic_pointer_cast<NodeDir>(cell);
                auto chapter = std::dynamic_pointer_cast<ChapterNote>(cell);
                const auto title = dir ? dir->title() : chapter ? chapter->title() : nullptr;
                shown << QStringLiteral("%1 %2 %3")
                             .arg(table->rectForRowAtIndexPath(path).height())
                             .arg(dir ? "NodeDir" : chapter ? "ChapterNote" : "plain", title ? title->text() : "<no title>");
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
    server.database().execute("UPDATE chapter SET note = '<p>进制要点</p>' WHERE code = 'CBD1C2'");
    auto directory = present(NoteDirView::create());
    EXPECT_TRUE(directory->layoutError().isEmpty()) << directory->layoutError().toStdString();
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
    EXPECT_EQ(note->webView()->text().trimmed(), "进制要点");
}

TEST_F(NoteDirViewTest, ANoteReadsImagesFromTheResourceFolderOnly)
{
    server::ServerInstance& server = startSignedIn();
    // A picture as tall as the resource folder's background, kept outside that folder.
    QTemporaryDir outside;
    const QString resources = core::Bundle::resourcePath();
    const QSize size = QImage(QDir(resources).filePath("allBg.png")).size();
    ASSERT_FALSE(size.isEmpty());
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString outsidePath = QDir(outside.path()).filePath("picture.png");
    ASSERT_TRUE(picture.save(outsidePath));
    const std::pair<QString, bool> cases[] = {
        {"allBg.png", true}, {QDir(resources).relativeFilePath(outsidePath), false}, {QUrl::fromLocalFile(outsidePath).toString(), false}};
    for (const auto& [source, shown] : cases) {
        SCOPED_TRACE(source.toStdString());
        server.database().execute("UPDATE chapter SET note = ? WHERE code = 'CBD1C1'", {QStringLiteral("<p>图</p><img src=\"%1\">").arg(source)});
        auto note = openNote("CBD1C1");
        const double height = note->webView()->scrollView()->contentSize().height;
        EXPECT_EQ(height > size.height() / 4.0, shown) << height;
        close(note);
    }
}

TEST_F(NoteDirViewTest, RepliesOfTheWrongShapeLeaveTheScreensEmptyButUsable)
{
    useStub();
    StubServer& stub = m_stub;
    const std::tuple<int, QByteArray, QStringList> directories[] = {
        {200, R"({"name":"甲","chapters":[]})", {}},
        {500, R"([{"name":"甲"}])", {}},
        {200, R"([3,{"name":"甲","chapters":[{"code":"c1","name":"一"},"x"]},{"name":"乙","chapters":{}}])",
         {"24 NodeDir 甲", "43 ChapterNote 一", "24 NodeDir 乙"}},
    };
    for (const auto& [status, body, shown] : directories) {
        SCOPED_TRACE(body.toStdString());
        stub.setReply("exam/note_directory_list", status, body);
        auto directory = present(NoteDirView::create());
        EXPECT_EQ(rows(*directory), shown);
        close(directory);
    }
    EXPECT_EQ(stub.requests().first().body, "subjectCode=CB");

    const std::tuple<int, QByteArray, QString> notes[] = {
        {200, R"({"data":{"remark":"<b>要点</b>"}})", "要点"},
        {200, R"({"data":{"remark":5}})", ""},
        {200, R"({"data":"<b>要点</b>"})", ""},
        {404, R"({"data":{"remark":"<b>要点</b>"}})", ""},
    };
    for (const auto& [status, body, text] : notes) {
        SCOPED_TRACE(body.toStdString());
        stub.setReply("exam/note_get", status, body);
        auto note = openNote("C&1");
        EXPECT_EQ(note->webView()->text().trimmed(), text);
        close(note);
    }
    EXPECT_EQ(stub.requests().last().body, "subjectCode=CB&chapterId=C%261");
}

} // namespace
