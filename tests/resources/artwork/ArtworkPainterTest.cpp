#include "resources/artwork/ArtworkPainter.h"

#include "resources/ArtworkTable.h"
#include "resources/artwork/ArtworkRecipes.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace artwork;

namespace {

QImage painted(const QString& name)
{
    const auto size = ArtworkTable::pixelSize(name);
    EXPECT_TRUE(size.has_value()) << name.toStdString();
    return ArtworkPainter::paint({name, size.value_or(QSize())}).convertToFormat(QImage::Format_ARGB32);
}

// Share of pixels whose colour differs noticeably between two images of one size.
double differingShare(const QImage& a, const QImage& b, bool alphaOnly = false)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int delta = alphaOnly ? qAbs(qAlpha(p) - qAlpha(q))
                                        : qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                                              qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
            if (delta > 60)
                ++differing;
        }
    }
    return double(differing) / (a.width() * a.height());
}

} // namespace

TEST(ArtworkPainter, TableAndRecipesNameTheSameImages)
{
    QSet<QString> tableNames;
    for (const auto& entry : ArtworkTable::entries())
        tableNames.insert(entry.name);
    const QStringList recipeNames = ArtworkRecipes::all().names();
    for (const QString& name : recipeNames)
        EXPECT_TRUE(tableNames.contains(name)) << "drawing for an image the table lacks: " << name.toStdString();
    for (const QString& name : tableNames)
        EXPECT_NE(ArtworkRecipes::all().find(name), nullptr) << "no drawing for " << name.toStdString();
}

// Normal and selected looks must be told apart at a glance.
TEST(ArtworkPainter, NormalAndSelectedStatesDiffer)
{
    QList<QPair<QString, QString>> pairs = {
        {QStringLiteral("checkok_2"), QStringLiteral("checkok_1")},
        {QStringLiteral("checkerror_2"), QStringLiteral("checkerror_1")},
    };
    for (const char* prefix : {"radio", "checkbox"}) {
        for (char letter = 'a'; letter <= 'g'; ++letter) {
            const QString base = QString::fromLatin1(prefix) + QChar(letter);
            pairs.append({base + QStringLiteral("_01"), base + QStringLiteral("_02")});
        }
    }
    for (const char* base : {"fontsize_a", "fontsize_b", "fontsize_c", "order_distill", "rand_distill", "yes_btn", "no_btn"})
        pairs.append({QLatin1String(base) + QStringLiteral("_01"), QLatin1String(base) + QStringLiteral("_02")});
    for (const auto& [normal, selected] : pairs)
        EXPECT_GT(differingShare(painted(normal), painted(selected)), 0.2)
            << normal.toStdString() << " vs " << selected.toStdString();
}

TEST(ArtworkPainter, EachOptionShowsItsOwnLetter)
{
    for (const char* prefix : {"radio", "checkbox"}) {
        for (const char* state : {"_01", "_02"}) {
            for (char letter = 'b'; letter <= 'g'; ++letter) {
                const QString a = QLatin1String(prefix) + QLatin1Char('a') + QLatin1String(state);
                const QString other = QLatin1String(prefix) + QLatin1Char(letter) + QLatin1String(state);
                EXPECT_GT(differingShare(painted(a), painted(other)), 0.01) << other.toStdString();
            }
        }
    }
}

// Right and wrong results must differ by outline, not only by hue.
TEST(ArtworkPainter, ResultTilesDifferInShape)
{
    EXPECT_GT(differingShare(painted(QStringLiteral("exam_num_blue")), painted(QStringLiteral("exam_num_red")), true), 0.05);
}

TEST(ArtworkPainter, BackgroundsAreOpaque)
{
    for (const char* name : {"allBg", "main_bg01", "main_bg02", "main_bg03", "main_bg04", "loginbg_01", "loginbg_02",
                             "loginbg_03", "loginbg_04", "loginbg_05", "special_scroll_01", "special_scroll_07"}) {
        const QImage image = painted(QLatin1String(name));
        int transparent = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                transparent += qAlpha(image.pixel(x, y)) < 255;
        }
        EXPECT_EQ(transparent, 0) << name;
    }
}

TEST(ArtworkPainter, WritesEveryImageAndReportsAFolderItCannotMake)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ArtworkPainter painter;
    const QString out = temp.filePath(QStringLiteral("nested/resources"));
    ASSERT_TRUE(painter.writeAll(out)) << painter.errorString().toStdString();
    const QStringList written = QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_EQ(written.size(), qsizetype(ArtworkTable::entries().size()));

    QFile blocker(temp.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ArtworkPainter failing;
    EXPECT_FALSE(failing.writeAll(temp.filePath(QStringLiteral("file/inside"))));
    EXPECT_FALSE(failing.errorString().isEmpty());
}
