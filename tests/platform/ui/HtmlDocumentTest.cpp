#include "platform/ui/HtmlDocument.h"

#include "tests/support/PixelProbe.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>

using namespace ui;

namespace {

// The practice screen's question view: the width of a 375-point screen less its margin,
// and the page templates the screens load (question text 4 points above the chosen size).
constexpr double kQuestionWidth = 365;
const QString kQuestionPage = QStringLiteral("<style> body{margin:0;font-size:%1;background-color: transparent;}</style>%2");
const QString kAnalysisPage = QStringLiteral("<style> body{margin:0;font-size:%1}</style>%2");

struct Line {
    QString text;
    QRectF rect;   // in page coordinates
};

// The stem of one of the sample bank's own questions.
QString sampleStem(const QString& code)
{
    QFile file(QStringLiteral(QBANK_SAMPLE_BANK));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    for (const auto type : QJsonDocument::fromJson(file.readAll())[QLatin1String("subjectTypes")].toArray())
        for (const auto subject : type[QLatin1String("subjects")].toArray())
            for (const auto question : subject[QLatin1String("questions")].toArray())
                if (question[QLatin1String("code")].toString() == code)
                    return question[QLatin1String("detail")].toString();
    ADD_FAILURE() << "no question " << code.toStdString();
    return {};
}

class HtmlDocumentTest : public ::testing::Test {
protected:
    std::unique_ptr<HtmlDocument> layOut(const QString& html, double width = kQuestionWidth)
    {
        auto document = std::make_unique<HtmlDocument>(folder.path());
        document->setPage(html, QUrl::fromLocalFile(folder.path()));
        height = document->layOut(width);
        return document;
    }

    double heightOf(const QString& html)
    {
        layOut(html);
        return height;
    }

    static QList<Line> linesOf(const HtmlDocument& document)
    {
        QList<Line> lines;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                lines.append({block.text().mid(line.textStart(), line.textLength()),
                              line.naturalTextRect().translated(layout->position())});
            }
        }
        return lines;
    }

    static QImage render(HtmlDocument& document, double width)
    {
        QImage image(int(width), int(std::ceil(document.size().height())), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        document.drawContents(&painter);
        return image;
    }

    // The width of `count` ideographs at the page's font size.
    double ideographs(int count, int fontSize)
    {
        auto document = layOut(kQuestionPage.arg(fontSize).arg(QString(count, QChar(0x4E00))));
        return linesOf(*document).first().rect.width();
    }

    void writeImage(const QString& name, int width, int height)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(folder.filePath(name)));
    }

    QTemporaryDir folder;
    double height = 0;
};

} // namespace

TEST_F(HtmlDocumentTest, ALessThanThatOpensNoTagIsText)
{
    // The sample bank's own C question, with its raw "<".
    const QString stem = sampleStem(QStringLiteral("CPQ012"));
    ASSERT_TRUE(stem.contains(QLatin1String("i < 5")));
    auto document = layOut(kQuestionPage.arg(20).arg(stem));
    EXPECT_EQ(document->text(), QStringLiteral("C 语言中，循环语句 for(i = 0; i < 5; i++) 的循环体执行（　）次。"));
    EXPECT_EQ(linesOf(*document).size(), 2);

    const struct {
        QString html;
        QString text;
    } cases[] = {{"a<b>粗</b>c", "a粗c"},  {"x<5 and y <=3", "x<5 and y <=3"}, {"1 <2<br/>3", "1 <2\n3"},
                 {"a<!-- note -->b", "ab"}, {"if (a<-1) <i>b</i>", "if (a<-1) b"}};
    for (const auto& c : cases)
        EXPECT_EQ(layOut(c.html)->text(), c.text) << c.html.toStdString();
}

TEST_F(HtmlDocumentTest, AnIdeographicSpaceKeepsItsWidthAndHoldsTheBracketsTogether)
{
    for (const int fontSize : {20, 24, 28}) {
        auto blank = layOut(kQuestionPage.arg(fontSize).arg(QStringLiteral("（　）")));
        EXPECT_EQ(blank->text(), QStringLiteral("（　）"));
        EXPECT_NEAR(linesOf(*blank).first().rect.width(), ideographs(3, fontSize), 1) << fontSize;
    }

    // Fill-in blanks keep four ideographs' width and their underline.
    auto fill = layOut(kQuestionPage.arg(20).arg(QStringLiteral("<u>　　　　</u>")));
    EXPECT_NEAR(linesOf(*fill).first().rect.width(), ideographs(4, 20), 1);
    const int ink = pixels::count(render(*fill, kQuestionWidth), pixels::isInk);
    EXPECT_GT(ink, 0.8 * ideographs(4, 20));
    EXPECT_LT(ink, 3 * ideographs(4, 20));   // the underline, no glyph

    // At no width does a line start with closing punctuation or end with opening punctuation.
    const QString stem = sampleStem(QStringLiteral("CPQ010")) + QStringLiteral("<p>“甲”、（乙）：《丙》，丁。（　）。</p>");
    QStringList badLines;
    for (int width = 120; width <= kQuestionWidth; ++width) {
        for (const Line& line : linesOf(*layOut(kQuestionPage.arg(20).arg(stem), width))) {
            if (QStringLiteral("）。，、：”》").contains(line.text.left(1)) || QStringLiteral("（“《").contains(line.text.right(1)))
                badLines << QStringLiteral("%1: %2").arg(width).arg(line.text);
        }
    }
    EXPECT_EQ(badLines, QStringList());
}

TEST_F(HtmlDocumentTest, ImagesWiderThanTheTextShrinkKeepingTheirShape)
{
    writeImage(QStringLiteral("wide.png"), 480, 120);
    writeImage(QStringLiteral("badge.png"), 40, 20);
    const QString page = QStringLiteral("<style>body{margin:0}</style><img src='%1'%2>");
    const struct {
        QString html;
        QSizeF size;
    } cases[] = {{page.arg("wide.png", ""), {365, 91.25}},
                 {page.arg("wide.png", " width='480' height='240'"), {365, 182.5}},
                 {page.arg("wide.png", " width='480'"), {365, 91.25}},
                 {page.arg("badge.png", ""), {40, 20}},
                 {page.arg("badge.png", "  width='30' height='30'"), {30, 30}}};
    for (const auto& c : cases) {
        auto document = layOut(c.html);
        EXPECT_NEAR(height, c.size.height(), 6) << c.html.toStdString();
        const QImage image = render(*document, kQuestionWidth);
        const int midRow = int(c.size.height() / 2);
        EXPECT_NEAR(pixels::countNear(image, Qt::red, QRect(0, midRow, image.width(), 1), 0), c.size.width(), 1)
            << c.html.toStdString();
    }

    // A wider view takes the image back to its own size.
    auto document = layOut(page.arg("wide.png", ""));
    EXPECT_NEAR(document->layOut(600), 120, 6);

    // Decoded images are shared only while the file and folder stay the same.
    // Drawn anew on disk, the image shows at its new size.
    writeImage(QStringLiteral("badge.png"), 80, 60);
    EXPECT_NEAR(heightOf(page.arg("badge.png", "")), 60, 6);

    // A page whose resource folder lies elsewhere may not read it, even once another has.
    QTemporaryDir elsewhere;
    HtmlDocument outsider(elsewhere.path());
    outsider.setPage(page.arg(QUrl::fromLocalFile(folder.filePath("badge.png")).toString(), ""), QUrl::fromLocalFile(elsewhere.path()));
    EXPECT_LT(outsider.layOut(kQuestionWidth), 10);
}

// A data: figure is percent-decoded before its base64 is read, as a browser does: pages escape
// "+", "/" and "=" (%2B, %2F, %3D) and break long lines (%0A, %0D%0A). Read without the
// unescaping, the escapes' digits would count as base64 and garble the file.
TEST_F(HtmlDocumentTest, AnEscapedDataFigureShows)
{
    // A red picture whose base64 holds all three characters that pages escape.
    QByteArray base64;
    int width = 40;
    for (; width < 80; ++width) {
        base64 = pixels::solidPng(width, 20).toBase64();
        if (base64.contains('+') && base64.contains('/') && base64.endsWith('='))
            break;
    }
    ASSERT_LT(width, 80);
    const auto brokenEvery76 = [&](const QByteArray& lineBreak) {
        QByteArray broken;
        for (qsizetype i = 0; i < base64.size(); i += 76)
            broken += base64.mid(i, 76) + lineBreak;
        return broken;
    };
    QByteArray escaped = base64;
    escaped.replace("+", "%2B").replace("/", "%2F").replace("=", "%3D");
    const QByteArray payloads[] = {escaped, brokenEvery76("%0A"), brokenEvery76("%0D%0A"), brokenEvery76("%0d%0a")};
    for (const QByteArray& payload : payloads) {
        SCOPED_TRACE(payload.left(100).toStdString());
        auto document = layOut(kQuestionPage.arg(16).arg("<img src='data:image/png;base64," + QString::fromLatin1(payload) + "'>"));
        const QImage image = render(*document, kQuestionWidth);
        EXPECT_EQ(pixels::countNear(image, Qt::red, {}, 0), width * 20);
    }
}

// A figure wider than the page leaves room on its line for a "，" or "。" right after it,
// which may not start a line; after it what may start a line (an ideograph, a blank, nothing)
// wraps as before and the figure keeps the page's width.
TEST_F(HtmlDocumentTest, AFullWidthFigureKeepsTheCommaAfterItOnItsLine)
{
    writeImage(QStringLiteral("wide.png"), 480, 120);
    const struct {
        QString after;
        bool roomLeft;
    } cases[] = {{"，求面积。", true}, {"。", true}, {"求面积。", false}, {" and more", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after.toStdString());
        auto document = layOut(kQuestionPage.arg(20).arg("<img src='wide.png'>" + c.after));
        const QList<Line> lines = linesOf(*document);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.size() == 1 || !QStringLiteral("，。").contains(lines[1].text.left(1))) << lines[1].text.toStdString();
        const QImage image = render(*document, kQuestionWidth);
        const int figure = pixels::countNear(image, Qt::red, QRect(0, 20, image.width(), 1), 0);
        if (c.roomLeft) {
            EXPECT_LT(figure, kQuestionWidth - 10);
            EXPECT_GT(figure, kQuestionWidth * 0.85);
        } else {
            EXPECT_NEAR(figure, kQuestionWidth, 1);
        }
    }
}

TEST_F(HtmlDocumentTest, EmLengthsAreTakenOfTheElementsFontSize)
{
    auto indented = layOut(kQuestionPage.arg(20).arg(QStringLiteral("<p style='text-indent:2em'>一二</p><p style='margin-left:1em'>三</p>")));
    const QList<Line> lines = linesOf(*indented);
    EXPECT_NEAR(lines[0].rect.left(), ideographs(2, 20), 1);
    EXPECT_NEAR(lines[1].rect.left(), ideographs(1, 20), 1);

    const double plain = linesOf(*layOut(kQuestionPage.arg(20).arg(QStringLiteral("一")))).first().rect.width();
    const double larger = linesOf(*layOut(kQuestionPage.arg(20).arg(QStringLiteral("<span style='font-size:1.5em'>一</span>")))).first().rect.width();
    EXPECT_NEAR(larger, 1.5 * plain, 1);
    const double percent = linesOf(*layOut(kQuestionPage.arg(20).arg(QStringLiteral("<span style='font-size:50%'>一</span>")))).first().rect.width();
    EXPECT_NEAR(percent, 0.5 * plain, 1);

    // A heading's size comes from the page's style when it gives one, else from its parent.
    auto headingWidth = [this](const QString& html) { return linesOf(*layOut(html)).first().rect.width(); };
    const double body20 = headingWidth(kAnalysisPage.arg(20).arg(QStringLiteral("<h3>一</h3>")));
    EXPECT_NEAR(headingWidth(kAnalysisPage.arg(10).arg(QStringLiteral("<h3>一</h3>"))), body20 / 2, 1.5);
    EXPECT_NEAR(headingWidth(kAnalysisPage.arg(20).arg(QStringLiteral("<h3 style='font-size:12px'>一</h3>"))), 12, 1);
    EXPECT_NEAR(headingWidth(QStringLiteral("<style>body{margin:0} h1,h3{font-size:30px}</style><h3>一</h3>")), 30, 1);
    EXPECT_NEAR(headingWidth(kAnalysisPage.arg(20).arg(QStringLiteral("<h1 style='font-size:2em'>一</h1>"))), 40, 1);
}

TEST_F(HtmlDocumentTest, LineBreaksEndingABlockAddNoLine)
{
    const double line = heightOf(kAnalysisPage.arg(16).arg(QStringLiteral("一行")));
    for (const QString& ending : {QStringLiteral("<br/>"), QStringLiteral("<br>\n ")})
        EXPECT_EQ(heightOf(kAnalysisPage.arg(16).arg(QStringLiteral("一行") + ending)), line) << ending.toStdString();

    // An analysis: the answer line, two empty lines, then the explanation's paragraph at
    // most a browser's paragraph margin (1em) below.
    auto analysis = layOut(kAnalysisPage.arg(16).arg(QStringLiteral("解析：正确答案A,你的答案《B》<br/><br/><br/><p>i 取 0、1、2、3、4 共 5 次。</p>")));
    const QList<Line> lines = linesOf(*analysis);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_LE(lines[3].rect.top(), 3 * line + 16);
    EXPECT_GE(lines[3].rect.top(), 3 * line);
    EXPECT_LE(height, 4 * line + 2 * 16);

    // A line break standing alone between blocks is one empty line.
    EXPECT_EQ(linesOf(*layOut(QStringLiteral("<p>A</p><br/><p>B</p>"))).size(), 3);

    // The body margin is applied once.
    for (const QString& margin : {QStringLiteral("16px"), QStringLiteral("16")}) {
        auto document = layOut(QStringLiteral("<style>body{margin:%1;font-size:16}</style>一行").arg(margin));
        const Line line = linesOf(*document).first();
        EXPECT_EQ(line.rect.topLeft(), QPointF(16, 16)) << margin.toStdString();
        EXPECT_NEAR(height, line.rect.height() + 32, 1);
    }
    EXPECT_EQ(linesOf(*layOut(QStringLiteral("一行"))).first().rect.topLeft(), QPointF(8, 8));
}

// A figure that does not fit beside the words before it starts a line of its own; the line it
// leaves keeps the height of its words, so the page is as tall as what it draws, also for a
// figure as wide as the page and at every width the page is laid out at again.
TEST_F(HtmlDocumentTest, AFigureOnALineOfItsOwnLeavesNoBlankBandAbove)
{
    writeImage(QStringLiteral("figure.png"), 300, 165);
    const QString stem = QStringLiteral("如图所示<img src='figure.png' width='%1' height='%2'>，求长方形的面积是多少平方厘米？");
    const double line = heightOf(kQuestionPage.arg(20).arg(QStringLiteral("如图所示")));
    const struct {
        int imageWidth;
        double pageWidth;
        double figure;   // the height it shows at
    } cases[] = {{330, kQuestionWidth, 165}, {365, kQuestionWidth, 165}, {440, kQuestionWidth, 136.9}, {330, 200, 100}, {330, 340, 165}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.imageWidth << " in " << c.pageWidth);
        auto document = layOut(kQuestionPage.arg(20).arg(stem.arg(c.imageWidth).arg(165)), c.pageWidth);
        const QList<Line> lines = linesOf(*document);
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines[0].text.trimmed(), QStringLiteral("如图所示"));
        EXPECT_NEAR(lines[0].rect.height(), line, 1);
        EXPECT_NEAR(lines[1].rect.top(), line, 1) << "the figure right under the words";
        EXPECT_LE(height, line + c.figure + 3 * line);
        const std::vector<int> red = pixels::rowsWith(render(*document, c.pageWidth), [](const QColor& p) { return p == Qt::red; });
        ASSERT_FALSE(red.empty());
        EXPECT_NEAR(red.front(), line, 2);
        // As tall as its width allows, less the room it leaves the "，" after it on its line.
        EXPECT_LE(red.size(), c.figure + 2);
        EXPECT_GE(red.size(), c.figure * 0.9);
        EXPECT_TRUE(lines[1].text.endsWith(QStringLiteral("，"))) << lines[1].text.toStdString();
        EXPECT_FALSE(document->text().contains(QLatin1Char('\n'))) << "the words read on as one paragraph";
    }

    // Laid out again wider, the figure goes back beside the words.
    auto document = layOut(kQuestionPage.arg(20).arg(stem.arg(330).arg(165)));
    EXPECT_NEAR(document->layOut(600), 165 + line, 8);
    EXPECT_EQ(linesOf(*document).first().text.left(5), QStringLiteral("如图所示") + QChar(QChar::ObjectReplacementCharacter));
    EXPECT_NEAR(document->layOut(kQuestionWidth), line + 165 + line, 8);
}

// A figure in a table cell shrinks to fit its cell, not the page: the words in the cell
// beside it keep lines of many characters. So whether the width comes with the page, as a
// web view gives it, or later.
TEST_F(HtmlDocumentTest, AFigureInATableCellFitsItsCell)
{
    writeImage(QStringLiteral("wide.png"), 480, 120);
    const QString page = kQuestionPage.arg(20).arg(QStringLiteral(
        "<table cellspacing='0'><tr><td><img src='wide.png'></td><td>长方形的长是宽的两倍，周长是三十六厘米，求它的面积。</td></tr></table>"));
    for (const bool widthWithPage : {true, false}) {
        SCOPED_TRACE(widthWithPage);
        HtmlDocument document(folder.path());
        document.setPage(page, QUrl::fromLocalFile(folder.path()), widthWithPage ? kQuestionWidth : -1);
        document.layOut(kQuestionWidth);
        const QImage drawn = render(document, kQuestionWidth);
        QRect figure;
        QRect words;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor colour = drawn.pixelColor(x, y);
                (colour == Qt::red ? figure : words) |= pixels::isInk(colour) ? QRect(x, y, 1, 1) : QRect();
            }
        }
        ASSERT_FALSE(figure.isEmpty() || words.isEmpty());
        EXPECT_LT(figure.right(), words.left()) << "figure and words side by side";
        EXPECT_NEAR(double(figure.height()) / figure.width(), 0.25, 0.02) << "the figure keeps its shape";
        QStringList wordLines;
        for (const Line& line : linesOf(document)) {
            if (!line.text.contains(QChar(QChar::ObjectReplacementCharacter)) && !line.text.isEmpty())
                wordLines << line.text;
        }
        ASSERT_FALSE(wordLines.isEmpty());
        EXPECT_LE(wordLines.size(), 8) << wordLines.join('|').toStdString();
        for (int i = 0; i + 1 < wordLines.size(); ++i)
            EXPECT_GE(wordLines[i].size(), 4) << wordLines[i].toStdString();
    }
}
