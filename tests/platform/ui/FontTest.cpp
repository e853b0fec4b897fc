#include "platform/ui/Font.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

TEST(FontTest, SizesAndBoldness)
{
    const Font font = Font::systemFont(15.5);
    EXPECT_DOUBLE_EQ(font.pointSize(), 15.5);
    EXPECT_FALSE(font.isBold());
    EXPECT_TRUE(Font::boldSystemFont(12).isBold());
    EXPECT_EQ(Font::boldSystemFont(12).withSize(20), Font::boldSystemFont(20));
    EXPECT_DOUBLE_EQ(Font().pointSize(), 17);
    EXPECT_TRUE(font.qfont().families().contains("WenQuanYi Micro Hei"));
}

TEST(FontTest, MetricsFollowThePointSize)
{
    const Font small = Font::systemFont(10), large = Font::systemFont(20);
    EXPECT_GT(small.lineHeight(), 9);
    EXPECT_LT(small.lineHeight(), 16);
    EXPECT_NEAR(large.lineHeight(), 2 * small.lineHeight(), 1.0);
    EXPECT_GT(small.ascender(), 0);
    EXPECT_LT(small.descender(), 0);
}

TEST(FontTest, TextSizesAreWholePointsAndWrap)
{
    const Font font = Font::systemFont(16);
    const QString text = QStringLiteral("请稍等………");
    const Size one = font.sizeOfText(text);
    EXPECT_EQ(one.width, std::ceil(one.width));
    EXPECT_EQ(one.height, std::ceil(one.height));
    EXPECT_GE(one.width, 16 * 3);   // three CJK characters at least a square each
    EXPECT_NEAR(one.height, std::ceil(font.lineHeight()), 1);
    EXPECT_GE(one.width, font.widthOfText(text));
    EXPECT_LT(one.width - font.widthOfText(text), 1);
    EXPECT_EQ(font.sizeOfText(QString()), Size());

    // Wrapped within a narrow box: more lines, none wider than the box; a line limit holds.
    const QString long_ = QStringLiteral("网络不给力，请重试网络不给力，请重试");
    const Size wrapped = font.sizeOfText(long_, 100, 0);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * font.lineHeight() - 1);
    const Size twoLines = font.sizeOfText(long_, 100, 2);
    EXPECT_NEAR(twoLines.height, std::ceil(2 * font.lineHeight()), 1);
    // One line is never wrapped, whatever the width.
    EXPECT_GT(font.sizeOfText(long_, 100, 1).width, 100);
}

} // namespace
