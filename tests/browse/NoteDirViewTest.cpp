#include "browse/NoteDirView.h"

#include "appbase/CommonUtil.h"
#include "browse/ChapterNote.h"
#include "browse/NodeDir.h"
#include "browse/NoteLayoutClasses.h"
#include "browse/ShowNote.h"
#include "platform/core/Bundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "server/Database.h"
#include "server/ServerInstance.h"
#include "tests/browse/BrowseTestSupport.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QDir>
#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

class NoteDirViewTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        NoteLayoutClasses::registerAll();
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
    }

    // Presents a screen over the root (or over `over`) and waits until it has its reply and
    // its overlay has faded out.
    template<class Screen>
    void present(const std::shared_ptr<Screen>& screen, const std::shared_ptr<ui::ViewController>& over)
    {
        over->presentViewController(screen, false);
        EXPECT_TRUE(pumpUntil([&] {
            return !screen->isLoading() && !screen->isTransitioning() && overlaysGone(screen->view());
        }));
        m_window->layoutIfNeeded();
    }

    std::shared_ptr<NoteDirView> openDirectory()
    {
        m_directory = NoteDirView::create();
        present(m_directory, m_root);
        return m_directory;
    }

    std::shared_ptr<ShowNote> openNote(const QString& chapterId, const QString& name)
    {
        auto note = ShowNote::create();
        note->setChapterId(chapterId);
        note->setChapterName(name);
        present(note, m_root);
        EXPECT_TRUE(pumpUntil([&] { return note->webView() && !note->webView()->isLoading(); }));
        return note;
    }

    void closeNote(const std::shared_ptr<ShowNote>& note)
    {
        note->backClick(nullptr);
        EXPECT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    }

    // Each row as "<height> <cell class> <title>", section by section.
    QStringList rows()
    {
        QStringList shown;
        auto table = m_directory->dirList();
        for (int s = 0; s < table->numberOfSections(); ++s) {
            for (int r = 0; r < table->numberOfRowsInSection(s); ++r) {
                const ui::IndexPath path(s, r);
                auto cell = m_directory->cellForRowAtIndexPath(*table, path);
                std::shared_ptr<ui::Label> title;
                QString kind = QStringLiteral("plain");
                if (auto dir = std::dynamic_pointer_cast<NodeDir>(cell)) {
                    kind = QStringLiteral("NodeDir");
                    title = dir->title();
                } else if (auto chapter = std::dynamic_pointer_cast<ChapterNote>(cell)) {
                    kind = QStringLiteral("ChapterNote");
                    title = chapter->title();
                }
                shown << QStringLiteral("%1 %2 %3")
                             .arg(table->rectForRowAtIndexPath(path).height())
                             .arg(kind, title ? title->text() : QStringLiteral("<no title>"));
            }
        }
        return shown;
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<NoteDirView> m_directory;
};

TEST_F(NoteDirViewTest, ListsEachDirectoryWithItsChaptersFromTheLayoutFiles)
{
    server::ServerInstance& server = startSignedIn();
    server.database().execute(QStringLiteral("INSERT INTO directory (code, subject_code, name, position) "
                                             "VALUES ('CBD9', 'CB', '附录', 9)"));
    openDirectory();
    EXPECT_TRUE(m_directory->layoutError().isEmpty()) << m_directory->layoutError().toStdString();
    EXPECT_EQ(rows(), QStringList({
                          "24 NodeDir 计算机系统概述", "43 ChapterNote 计算机发展与分类", "43 ChapterNote 数制与编码",
                          "43 ChapterNote 硬件组成", "24 NodeDir 操作系统与软件", "43 ChapterNote 操作系统基础",
                          "43 ChapterNote 软件分类", "43 ChapterNote 办公软件", "24 NodeDir 网络与安全",
                          "43 ChapterNote 网络基础", "43 ChapterNote 互联网应用", "43 ChapterNote 信息安全",
                          "24 NodeDir 附录",
                      }));
    EXPECT_TRUE(m_window->renderImage().save(screenshotPath("notes-directory.png")));
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

    const struct {
        const char* chapter;
        QString source;
        bool shown;
    } cases[] = {
        {"CBD1C1", "allBg.png", true},
        {"CBD1C2", QDir(resources).relativeFilePath(outsidePath), false},
        {"CBD1C3", outsidePath, false},
        {"CBD2C1", QUrl::fromLocalFile(outsidePath).toString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        server.database().execute(QStringLiteral("UPDATE chapter SET note = ? WHERE code = ?"),
                                  {QStringLiteral("<p>图</p><img src=\"%1\">").arg(c.source), c.chapter});
        auto note = openNote(c.chapter, QStringLiteral("图"));
        const double height = note->webView()->scrollView()->contentSize().height;
        if (c.shown)
            EXPECT_GT(height, size.height() / 4.0);
        else
            EXPECT_LT(height, 100);
        closeNote(note);
    }
}

TEST_F(NoteDirViewTest, TheLayoutsFollowALargerScreen)
{
    ui::Screen::setMain(ui::Size(414, 896), 3);
    m_window = ui::Window::create(ui::Screen::main().bounds());
    m_window->makeKeyAndVisible();
    m_window->setRootViewController(m_root);
    startSignedIn();
    openDirectory();
    const ui::Rect list = m_directory->dirList()->convertRectTo(m_directory->dirList()->bounds(), nullptr);
    EXPECT_EQ(list.width(), 414);
    EXPECT_EQ(list.maxY(), 896);
    EXPECT_GE(list.y(), m_directory->backButton()->convertRectTo(m_directory->backButton()->bounds(), nullptr).maxY());
    m_directory->backClick(nullptr);
    ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));

    auto note = openNote(QStringLiteral("CBD1C1"), QStringLiteral("计算机发展与分类"));
    const ui::Rect page = note->webView()->convertRectTo(note->webView()->bounds(), nullptr);
    EXPECT_EQ(page.maxY(), 896);
    EXPECT_GT(page.width(), 375);
    const ui::Rect title = note->ctitle()->convertRectTo(note->ctitle()->bounds(), nullptr);
    EXPECT_DOUBLE_EQ(title.x() + title.width() / 2, 207);
}

TEST_F(NoteDirViewTest, RepliesOfTheWrongShapeLeaveTheScreensEmptyButUsable)
{
    StubServer stub;
    useServer(stub.baseUrl());
    CommonUtil::setAccount(QJsonObject{{"code", "u1"}});
    CommonUtil::setSubjectCode(QStringLiteral("CB"));

    const struct {
        const char* name;
        int status;
        QByteArray body;
        QStringList rows;
    } directories[] = {
        {"not a list", 200, R"({"name":"甲","chapters":[]})", {}},
        {"not JSON", 200, "<html>", {}},
        {"error status", 500, R"([{"name":"甲"}])", {}},
        {"odd elements", 200, R"([3,{"name":"甲","chapters":[{"code":"c1","name":"一"},"x"]},{"name":"乙","chapters":{}}])",
         {"24 NodeDir 甲", "43 ChapterNote 一", "24 NodeDir 乙"}},
    };
    for (const auto& c : directories) {
        SCOPED_TRACE(c.name);
        stub.setReply("exam/note_directory_list", c.status, c.body);
        openDirectory();
        EXPECT_EQ(rows(), c.rows);
        EXPECT_EQ(toastTexts(m_directory->view()).contains(CommonUtil::kNetworkMessage), c.status != 200);
        m_directory->backClick(nullptr);
        ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    }
    EXPECT_EQ(stub.requests().first().body, "subjectCode=CB");

    const struct {
        const char* name;
        int status;
        QByteArray body;
        QString text;
    } notes[] = {
        {"a note", 200, R"({"data":{"remark":"<b>要点</b>"}})", "要点"},
        {"remark not text", 200, R"({"data":{"remark":5}})", ""},
        {"data not an object", 200, R"({"data":"<b>要点</b>"})", ""},
        {"not an object", 200, R"(["<b>要点</b>"])", ""},
        {"error status", 404, R"({"data":{"remark":"<b>要点</b>"}})", ""},
    };
    for (const auto& c : notes) {
        SCOPED_TRACE(c.name);
        stub.setReply("exam/note_get", c.status, c.body);
        auto note = openNote(QStringLiteral("C&1"), QStringLiteral("第一章"));
        EXPECT_EQ(note->ctitle()->text(), "第一章");
        EXPECT_EQ(note->webView()->text().trimmed(), c.text);
        closeNote(note);
    }
    EXPECT_EQ(stub.requests().last().body, "subjectCode=CB&chapterId=C%261");
}

} // namespace
