#include "resources/ArtworkTable.h"

#include "ImageNameScanner.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using artwork::ArtworkTable;

namespace {

QString resourceDir()
{
    return qEnvironmentVariable("QBANK_RESOURCES");
}

QImage builtImage(const QString& dir, const QString& name)
{
    return QImage(QDir(dir).filePath(ArtworkTable::baseName(name) + QStringLiteral(".png")));
}

// One message per use whose name is unknown, unbuilt or built at another size.
QStringList problemsWith(const QList<ImageNameUse>& uses, const QString& dir)
{
    QStringList problems;
    for (const ImageNameUse& use : uses) {
        const QString where = QStringLiteral(" (%1:%2)").arg(use.file).arg(use.line);
        const auto size = ArtworkTable::pixelSize(use.name);
        if (!size) {
            problems << QStringLiteral("unknown image \"%1\"").arg(use.name) + where;
            continue;
        }
        const QImage image = builtImage(dir, use.name);
        if (image.isNull())
            problems << QStringLiteral("%1.png not built").arg(ArtworkTable::baseName(use.name)) + where;
        else if (image.size() != *size)
            problems << QStringLiteral("%1.png has the wrong size").arg(ArtworkTable::baseName(use.name)) + where;
    }
    return problems;
}

struct ScanCase {
    const char* source;
    QStringList names;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.source;
}

class ScannerCases : public testing::TestWithParam<ScanCase> {};

} // namespace

TEST_P(ScannerCases, FindsTheLiteralNamesOfBothConventions)
{
    const ScanCase& c = GetParam();
    QStringList found;
    for (const ImageNameUse& use : ImageNameScanner::scanText(QString::fromUtf8(c.source), QStringLiteral("x.cpp")))
        found << use.name;
    EXPECT_EQ(found, c.names);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ScannerCases,
    testing::Values(
        ScanCase{R"(auto n = CommonUtil::getImageName("back_btn", ".png");)", {"back_btn"}},
        ScanCase{R"(CommonUtil::getImageName( QStringLiteral("allBg") , QStringLiteral(".png")))", {"allBg"}},
        ScanCase{R"(img = ui::Image::named("qvlogo");)", {"qvlogo"}},
        ScanCase{R"(ui::Image::named(u"radioa_02.png"))", {"radioa_02.png"}},
        ScanCase{R"(Image::named(QLatin1String("keep")); Image::named("delerror");)", {"keep", "delerror"}},
        ScanCase{"CommonUtil::getImageName(\n    \"exam_02\", \"\")", {"exam_02"}},
        ScanCase{R"(ui::Image::named(fileName); CommonUtil::getImageName(base, ".png");)", {}},
        ScanCase{R"(myImage::namedThing("x"); getImageNames("y");)", {}}));

TEST(ImageNameUsage, FlagsUnknownUnbuiltAndMissizedImages)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage wrongSize(7, 7, QImage::Format_ARGB32);
    wrongSize.fill(Qt::red);
    ASSERT_TRUE(wrongSize.save(dir.filePath(QStringLiteral("back_btn.png"))));
    const QList<ImageNameUse> uses = {
        {QStringLiteral("bak_btn"), QStringLiteral("A.cpp"), 1},
        {QStringLiteral("back_btn.png"), QStringLiteral("B.cpp"), 2},
        {QStringLiteral("allBg"), QStringLiteral("C.cpp"), 3},
    };
    const QStringList problems = problemsWith(uses, dir.path());
    ASSERT_EQ(problems.size(), 3) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(problems[0].contains(QStringLiteral("bak_btn")) && problems[0].contains(QStringLiteral("A.cpp:1")));
    EXPECT_TRUE(problems[1].contains(QStringLiteral("wrong size")));
    EXPECT_TRUE(problems[2].contains(QStringLiteral("not built")));
}

// A name mistyped anywhere in the client fails here rather than as an empty view on a screen.
TEST(ImageNameUsage, EveryNameInTheCodeIsInTheTableAndBuiltAtItsSize)
{
    ASSERT_FALSE(resourceDir().isEmpty());
    const QStringList folders = {QStringLiteral("platform"), QStringLiteral("appbase"), QStringLiteral("shell"), QStringLiteral("practice"),
                                 QStringLiteral("browse"), QStringLiteral("components")};
    const auto uses = ImageNameScanner::scanTree(QStringLiteral(QBANK_SOURCE_DIR), folders);
    const QStringList problems = problemsWith(uses, resourceDir());
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
}

TEST(ImageNameUsage, EveryTableImageIsBuiltAtItsSizeAndIsNotBlank)
{
    ASSERT_FALSE(resourceDir().isEmpty());
    for (const auto& entry : ArtworkTable::entries()) {
        const QImage image = builtImage(resourceDir(), entry.name);
        ASSERT_FALSE(image.isNull()) << entry.name.toStdString() << ".png missing in " << resourceDir().toStdString();
        EXPECT_EQ(image.size(), entry.size) << entry.name.toStdString();
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < argb.height() && colours.size() < 2; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width() && colours.size() < 2; ++x)
                colours.insert(row[x]);
        }
        EXPECT_GE(colours.size(), 2) << entry.name.toStdString() << " is a single colour";
    }
}
