#include "platform/ui/WebView.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WebViewDelegate.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/UiFixture.h"
#include "tests/support/HandServer.h"
#include "tests/support/ViewPixels.h"

#include <QSet>
#include <QTcpSocket>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace ui;

namespace {

class LoadLog : public WebViewDelegate {
public:
    QStringList events;
    void webViewDidStartLoad(WebView&) override { events << "start"; }
    void webViewDidFinishLoad(WebView&) override { events << "finish"; }
    void didFailLoadWithError(WebView&, const core::UrlError& e) override { events << QStringLiteral("fail:%1").arg(e.code); }
    bool ended() const { return !events.isEmpty() && events.last() != "start"; }
};

void writeImage(const QString& path, QColor color)
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path));
}

class WebViewTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ASSERT_TRUE(QDir(folder.path()).mkpath("resources"));
        resources = folder.filePath("resources");
        core::Bundle::setResourcePath(resources);
        web = WebView::create(Rect(0, 0, 300, 50));
        web->setDelegate(log);
    }
    void TearDown() override
    {
        core::Bundle::setResourcePath(QString());
        UiFixture::TearDown();
    }

    QTemporaryDir folder;
    QString resources;
    std::shared_ptr<LoadLog> log = std::make_shared<LoadLog>();
    std::shared_ptr<WebView> web;
};

const QString kStyle = QStringLiteral("<style> body{margin:0;font-size:%1;background-color: transparent;}</style>%2");

} // namespace

TEST_F(WebViewTest, EachLoadReportsStartAndOneEndFromTheRunLoop)
{
    web->loadHTMLString("<p>one</p>", QUrl());
    EXPECT_TRUE(log->events.isEmpty());   // never inside the call
    EXPECT_TRUE(web->isLoading());
    step();
    EXPECT_EQ(log->events, (QStringList{"start", "finish"}));
    EXPECT_FALSE(web->isLoading());
    EXPECT_EQ(web->text(), "one");

    // A load replaced in the same turn still ends, as cancelled; only the newer page shows.
    log->events.clear();
    web->loadHTMLString("<p>two</p>", QUrl());
    web->loadHTMLString("<p>three</p>", QUrl());
    step();
    step();
    EXPECT_EQ(log->events, (QStringList{"start", QStringLiteral("fail:%1").arg(core::UrlError::Cancelled), "start", "finish"}));
    EXPECT_EQ(web->text(), "three");
}

TEST_F(WebViewTest, ContentHeightFollowsTheWidth)
{
    // A loaded page flows again when the view's width changes, as a fresh load at that width would.
    // (A size written "16.000000" is the same size.)
    const QString text = QStringLiteral("练习题目文字 text ").repeated(20);
    auto fresh = WebView::create(Rect(0, 0, 150, 5));
    fresh->loadHTMLString(kStyle.arg("16.000000", text), QUrl());
    web->loadHTMLString(kStyle.arg("16", text), QUrl());
    step();
    const double wide = web->scrollView()->contentSize().height;
    web->setFrame(Rect(0, 0, 150, 50));
    web->layoutIfNeeded();
    EXPECT_GT(web->scrollView()->contentSize().height, wide * 1.5);
    EXPECT_EQ(web->scrollView()->contentSize().height, fresh->scrollView()->contentSize().height);
    EXPECT_EQ(web->scrollView()->frame(), Rect(0, 0, 150, 50));
}

TEST_F(WebViewTest, ImagesAndPagesComeFromTheResourceFolderOnly)
{
    writeImage(resources + "/badge.png", Qt::red);
    writeImage(folder.filePath("secret.png"), Qt::blue);
    const QString html = kStyle.arg("16", "<img src='badge.png' width='40' height='20'><img src='../secret.png' width='40' "
                                          "height='20'><img src='%1' width='40' height='20'>")
                             .arg(folder.filePath("secret.png"));
    core::LogCapture capture;
    web->loadHTMLString(html, QUrl::fromLocalFile(resources));   // the folder without its trailing slash
    step();
    const QImage image = Renderer::renderLayer(*web->layer(), 1);
    EXPECT_GT(pixels::countNear(image, Qt::red), 600);
    EXPECT_EQ(pixels::countNear(image, Qt::blue), 0);
    EXPECT_TRUE(capture.contains("refused"));

    // So are pages.
    QFile inside(resources + "/page.html");
    ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
    inside.write("<p>inside</p>");
    inside.close();
    QFile::copy(resources + "/page.html", folder.filePath("outside.html"));

    // address, how the load ends, text shown
    const std::tuple<QUrl, QString, QString> cases[] = {
        {QUrl::fromLocalFile(folder.filePath("outside.html")), QStringLiteral("fail:%1").arg(core::UrlError::Other), ""},
        {QUrl::fromLocalFile(resources + "/page.html"), "finish", "inside"},
        {QUrl(), QStringLiteral("fail:%1").arg(core::UrlError::BadUrl), ""}};
    for (const auto& [url, end, text] : cases) {
        log->events.clear();
        web->loadHTMLString("", QUrl());
        step();
        log->events.clear();
        web->loadRequest(core::UrlRequest{url});
        step();
        EXPECT_EQ(log->events, (QStringList{"start", end})) << url.toString().toStdString();
        EXPECT_EQ(web->text(), text);
    }
}

TEST_F(WebViewTest, RemotePagesLoadThroughTheConnectionAndAnUnreachableOneFailsOnce)
{
    const std::tuple<int, QByteArray, QString> cases[] = {
        {200, "<html><body><h1>用户协议</h1></body></html>", QStringLiteral("用户协议")}, {404, "<p>missing</p>", "missing"}};
    for (const auto& [status, body, text] : cases) {
        HandServer server(HandServer::page(status, body));
        log->events.clear();
        web->loadRequest(core::UrlRequest{server.url()});
        ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return log->ended(); }, 10));
        EXPECT_EQ(log->events, (QStringList{"start", "finish"}));
        EXPECT_EQ(web->text(), text);
    }

    // An unreachable address fails once; a view gone while its page loads hears nothing.
    log->events.clear();
    web->loadRequest(core::UrlRequest{HandServer::deadUrl()});
    ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return log->ended(); }, 10));
    EXPECT_EQ(log->events, (QStringList{"start", QStringLiteral("fail:%1").arg(core::UrlError::CannotConnect)}));

    HandServer late(HandServer::page(200, "<p>late</p>"));
    log->events.clear();
    web->loadRequest(core::UrlRequest{late.url()});
    step();
    web.reset();   // leaving while the page loads cancels it
    EXPECT_EQ(core::UrlConnection::runningCount(), 0u);
    EXPECT_EQ(log->events, QStringList{"start"});
}

TEST_F(WebViewTest, RemoteImagesArriveLaterAndFailedOnesLeaveAPlaceholder)
{
    const QByteArray png = pixels::solidPng(480, 120);
    HandServer server(HandServer::page(200, png));
    const QString dead = HandServer::deadUrl("/gone.png").toString();

    web->setFrame(Rect(0, 0, 365, 50));
    web->loadHTMLString(kStyle.arg("16", "<img src='%1'><br/><img src='%2' width='40' height='20'>").arg(server.url("/wide.png").toString(), dead),
                        QUrl::fromLocalFile(resources));
    step();
    // The page shows at once, with placeholders; the load ends when both images have settled.
    EXPECT_EQ(log->events, QStringList{"start"});
    const double before = web->scrollView()->contentSize().height;
    EXPECT_LT(before, 60);
    ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return log->ended(); }, 10));
    EXPECT_EQ(log->events, (QStringList{"start", "finish"}));
    const double after = web->scrollView()->contentSize().height;
    EXPECT_GT(after, before + 60);   // reported again, with the image in it

    web->setFrame(Rect(0, 0, 365, after));
    web->layoutIfNeeded();
    const QImage image = Renderer::renderLayer(*web->layer(), 1);
    EXPECT_NEAR(pixels::countNear(image, Qt::red), 365 * 91.25, 400);   // 480 x 120 shrunk to the view's 365 points
    EXPECT_NEAR(pixels::countNear(image, QColor(0xEE, 0xEE, 0xEE), {}, 0), 40 * 20, 60);   // the placeholder
}

// A page and its image, each asked for on a kept-alive connection that the server lets go of
// (closes, or resets) as the request arrives: both load from a new connection.
TEST_F(WebViewTest, APageAndItsImageLoadFromANewConnectionWhenTheKeptOneCloses)
{
    const QByteArray png = pixels::solidPng(40, 20);
    for (const bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "closed");
        QSet<QTcpSocket*> carried;
        QList<QByteArray> asked;
        int lost = 0;
        HandServer server([&](QTcpSocket* socket, const QByteArray& request) {
            if (carried.contains(socket)) {
                ++lost;
                return reset ? HandServer::reset(socket) : socket->disconnectFromHost();
            }
            carried.insert(socket);
            asked.append(request.left(request.indexOf(" HTTP/")));
            const bool image = request.startsWith("GET /red.png");
            socket->write(HandServer::reply("200 OK", image ? png : QByteArray("<p>协议</p><img src='/red.png'>"),
                                            image ? "Content-Type: image/png\r\n" : "Content-Type: text/html\r\n"));
        });
        for (int load = 0; load < 2; ++load) {
            log->events.clear();
            web->loadRequest(core::UrlRequest{server.url("/page")});
            ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return log->ended(); }, 10));
            EXPECT_EQ(log->events, (QStringList{"start", "finish"}));
            EXPECT_TRUE(web->text().startsWith("协议"));
            web->setFrame(Rect(0, 0, 300, web->scrollView()->contentSize().height));
            web->layoutIfNeeded();
            EXPECT_NEAR(pixels::countNear(Renderer::renderLayer(*web->layer(), 1), Qt::red), 40 * 20, 60);
        }
        // Each load's page and image, each once.
        EXPECT_EQ(asked, (QList<QByteArray>{"GET /page", "GET /red.png", "GET /page", "GET /red.png"}));
        EXPECT_EQ(lost, 3) << "every request after the first went out on a kept connection";
    }
}

TEST_F(WebViewTest, TheReportedHeightIsWhatIsDrawn)
{
    writeImage(resources + "/badge.png", Qt::red);
    const QString pages[] = {
        kStyle.arg("24.000000", "<img src='badge.png'  width='60' height='24'><p>C 语言中，循环语句 for(i = 0; i < 5; i++) 的循环体执行（　）次。</p>"),
        kStyle.arg("16.000000", "解析：正确答案A,你的答案《B》<br/><br/><br/><p>i 取 0、1、2、3、4 共 5 次。</p>"),
        QStringLiteral("<style>body{margin:0}</style><h3 style='font-size:12px'>标题</h3><p style='text-indent:2em'>一二三四五六七八九十一二三四五六七八九十</p>"),
        kStyle.arg("16", "<img src='badge.png' width='480' height='240'>")};
    for (const QString& page : pages) {
        web->setFrame(Rect(0, 0, 365, 50));
        web->loadHTMLString(page, QUrl::fromLocalFile(resources));
        step();
        const double height = web->scrollView()->contentSize().height;
        EXPECT_EQ(height, std::ceil(height));   // whole points
        web->setFrame(Rect(0, 0, 365, height + 40));
        web->layoutIfNeeded();
        const QImage image = Renderer::renderLayer(*web->layer(), 1);
        const auto inkRows = pixels::rowsWith(image, [](const QColor& c) { return qGray(c.rgb()) < 160; });
        const int lowestInk = inkRows.empty() ? -1 : inkRows.back();
        EXPECT_LT(lowestInk, height) << page.toStdString();
        EXPECT_GT(lowestInk, height - 12) << page.toStdString();
    }
}

// A page file is read in the encoding it declares (a meta charset or a byte-order mark), and
// as UTF-8 when it declares none.
TEST_F(WebViewTest, ALocalPageIsReadInItsOwnEncoding)
{
    const QString chinese = QStringLiteral("练习题");
    QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray utf16 = toUtf16("<p>" + chinese + "</p>");
    // bytes of the file, text shown
    const std::pair<QByteArray, QString> cases[] = {
        {"<meta charset=\"iso-8859-1\"><p>caf\xE9</p>", QStringLiteral("café")},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\"><p>\xE0 la carte</p>", QStringLiteral("à la carte")},
        {utf16, chinese},
        {"<p>" + chinese.toUtf8() + "</p>", chinese},
    };
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(text.toStdString());
        QFile page(resources + "/page.html");
        ASSERT_TRUE(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
        page.write(bytes);
        page.close();
        log->events.clear();
        web->loadRequest(core::UrlRequest{QUrl::fromLocalFile(resources + "/page.html")});
        step();
        EXPECT_EQ(log->events, (QStringList{"start", "finish"}));
        EXPECT_EQ(web->text(), text);
    }
}

// A figure written into the page as a data: URL shows as a file of the folder would, base64 or
// percent-encoded, at its own size or the markup's. Up to a mebibyte of file and 2048 × 2048
// pixels; past either, or unreadable, it shows nothing, and the log says why.
TEST_F(WebViewTest, AFigureWrittenIntoThePageShowsWithinItsBounds)
{
    auto png = [](int width, int height, qsizetype padTo = 0) {
        const QByteArray bytes = pixels::solidPng(width, height);
        // Bytes after the image's end are read past, so a file can be made of any size.
        return bytes.leftJustified(std::max(padTo, bytes.size()), '\0');
    };
    const QString base64 = QStringLiteral("data:image/png;base64,");
    const qsizetype mebibyte = 1024 * 1024;
    // src, width and height in the markup, red pixels shown, what the log says
    const std::tuple<QString, QString, int, QString> cases[] = {
        {base64 + png(40, 20).toBase64(), "", 40 * 20, ""},
        {base64 + png(40, 20).toBase64(), "width='60' height='30'", 60 * 30, ""},
        {"data:image/png," + QString::fromLatin1(png(40, 20).toPercentEncoding()), "", 40 * 20, ""},
        {base64 + png(40, 20, mebibyte).toBase64(), "", 40 * 20, ""},
        {base64 + png(40, 20, mebibyte + 1).toBase64(), "width='40' height='20'", 0, "refused"},
        {base64 + png(2048, 2048).toBase64(), "", 300 * 50, ""},
        {base64 + png(2048, 2049).toBase64(), "width='300' height='50'", 0, "refused"},
        {base64 + QByteArray("not a picture").toBase64(), "width='40' height='20'", 0, "no image"},
        {"data:image/png;base64", "width='40' height='20'", 0, "refused"},
    };
    for (const auto& [src, size, red, logged] : cases) {
        SCOPED_TRACE(src.left(40).toStdString() + " " + size.toStdString());
        core::LogCapture capture;
        web->loadHTMLString(kStyle.arg("16", "<img src='" + src + "' " + size + ">"), QUrl::fromLocalFile(resources));
        step();
        const QImage image = Renderer::renderLayer(*web->layer(), 1);
        EXPECT_NEAR(pixels::countNear(image, Qt::red), red, red / 20 + 1);
        if (logged.isEmpty())
            EXPECT_TRUE(capture.lines().isEmpty()) << capture.lines().join('\n').toStdString();
        else
            EXPECT_TRUE(capture.contains(logged)) << capture.lines().join('\n').toStdString();
    }
}

// A large figure shrunk to the line keeps its thin lines: a 2048-pixel grid of 17 lines 4
// pixels wide, shown 347 pixels wide in the desktop window at one pixel a point, shows all 17,
// each clearly darker than the paper. Stretched by sampling a few pixels for each one shown,
// some lines fell between the samples and vanished.
TEST_F(WebViewTest, AShrunkFigureKeepsItsThinLinesInTheWindow)
{
    constexpr int kSide = 2048, kCell = 128, kLine = 4;
    QImage grid(kSide, kSide, QImage::Format_RGB32);
    grid.fill(Qt::white);
    for (int at = 0; at <= kSide; at += kCell) {
        const int line = std::min(at, kSide - kLine);
        for (int i = 0; i < kSide; ++i) {
            for (int w = 0; w < kLine; ++w) {
                grid.setPixel(line + w, i, qRgb(0, 0, 0));
                grid.setPixel(i, line + w, qRgb(0, 0, 0));
            }
        }
    }
    ASSERT_TRUE(grid.save(resources + "/grid.png"));

    auto window = Window::create(Rect(0, 0, 347, 400));
    window->setBackgroundColor(Color::white());
    window->makeKeyAndVisible();
    web->setFrame(Rect(0, 0, 347, 400));
    window->addSubview(web);
    web->loadHTMLString(kStyle.arg("16", "<img src='grid.png'>"), QUrl::fromLocalFile(resources));
    step();
    WindowHost host(window);
    ASSERT_EQ(host.devicePixelRatio(), 1);
    const QImage shown = pixels::shownOnTheDesktop(host);

    // Across the figure, through the middle of its first row of cells: each line is a run of
    // pixels darker than the paper, whose ink (how much darker, added up) is what 4 pixels of
    // black shrunk to 347 / 2048 of their width leave, however the run falls on the pixels.
    const int row = 347 * kCell / kSide / 2;
    const double lineInk = 255.0 * kLine * 347 / kSide;
    std::vector<int> inks;
    for (int x = 0; x < 347; ++x) {
        const int ink = 255 - qGray(shown.pixel(x, row));
        if (ink > 0 && (x == 0 || qGray(shown.pixel(x - 1, row)) == 255))
            inks.push_back(0);
        if (ink > 0)
            inks.back() += ink;
    }
    EXPECT_EQ(inks.size(), 17u);
    for (const int ink : inks)
        EXPECT_NEAR(ink, lineInk, lineInk / 4) << testing::PrintToString(inks);
}
