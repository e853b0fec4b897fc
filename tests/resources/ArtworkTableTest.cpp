#include "resources/ArtworkTable.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>


using artwork::ArtworkTable;

namespace {

QSize sizeOf(const char* name)
{
    const auto size = ArtworkTable::pixelSize(QString::fromLatin1(name));
    EXPECT_TRUE(size.has_value()) << name;
    return size.value_or(QSize());
}

} // namespace

TEST(ArtworkTable, NamesAreUniqueBareAndSizesPositive)
{
    static const QRegularExpression bare(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    QSet<QString> seen;
    for (const auto& entry : ArtworkTable::entries()) {
        EXPECT_TRUE(bare.match(entry.name).hasMatch()) << entry.name.toStdString();
        EXPECT_FALSE(seen.contains(entry.name)) << "duplicate " << entry.name.toStdString();
        seen.insert(entry.name);
        EXPECT_GT(entry.size.width(), 0) << entry.name.toStdString();
        EXPECT_GT(entry.size.height(), 0) << entry.name.toStdString();
    }
}

TEST(ArtworkTable, LooksUpBaseAndFileNamesOnly)
{
    const struct {
        const char* name;
        bool known;
    } cases[] = {
        {"back_btn", true},     {"back_btn.png", true}, {"radiog_02.png", true}, {"back_btn.jpg", false},
        {"Back_btn", false},    {"back_btn ", false},   {"", false},             {".png", false},
        {"radioh_01", false},   {"checkok_3", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArtworkTable::contains(QString::fromLatin1(c.name)), c.known) << c.name;
    EXPECT_EQ(ArtworkTable::pixelSize(QStringLiteral("allBg.png")), ArtworkTable::pixelSize(QStringLiteral("allBg")));
    EXPECT_EQ(ArtworkTable::baseName(QStringLiteral("a.png.png")), QStringLiteral("a.png"));
}

TEST(ArtworkTable, OptionLettersAndStatesAreComplete)
{
    for (const char* prefix : {"radio", "checkbox"}) {
        for (char letter = 'a'; letter <= 'g'; ++letter) {
            for (const char* state : {"_01", "_02"}) {
                const QString name = QString::fromLatin1(prefix) + QChar(letter) + QString::fromLatin1(state);
                const auto size = ArtworkTable::pixelSize(name);
                ASSERT_TRUE(size.has_value()) << name.toStdString();
                EXPECT_EQ(*size, sizeOf("radioa_01")) << "letters of one kind must line up: " << name.toStdString();
            }
        }
    }
    for (const char* base : {"fontsize_a", "fontsize_b", "fontsize_c", "order_distill", "rand_distill", "yes_btn",
                             "no_btn"}) {
        const QByteArray name(base);
        EXPECT_EQ(sizeOf(name + "_01"), sizeOf(name + "_02")) << base;
    }
    EXPECT_EQ(sizeOf("checkok_1"), sizeOf("checkok_2"));
    EXPECT_EQ(sizeOf("checkerror_1"), sizeOf("checkerror_2"));
}
