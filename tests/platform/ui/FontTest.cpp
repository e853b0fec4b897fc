#include "platform/ui/Font.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

TEST(FontTest, MetricsScaleWithThePointSizeAndTextSizesWrapWithinTheWidth)
{
    const Font small = Font::systemFont(10), large = Font::systemFont(20);
    EXPECT_GT(small.lineHeight(), 9);
    EXPECT_LT(small.lineHeight(), 16);
    EXPECT_NEAR(large.lineHeight(), 2 * small.lineHeight(), 1.0);
    EXPECT_EQ(Font::boldSystemFont(12).withSize(20), Font::boldSystemFont(20));

    // Text sizes are whole points and wrap within the width.
    const Font font = Font::systemFont(16);
    const QString text = QStringLiteral("请稍等………");
    const Size one = font.sizeOfText(text);
    EXPECT_EQ(one.width, std::ceil(font.widthOfText(text)));
    EXPECT_EQ(one.height, std::ceil(one.height));
    EXPECT_GE(one.width, 16 * 3);   // three CJK characters at least a square each
    EXPECT_EQ(font.sizeOfText(QString()), Size());

    const QString long_ = QStringLiteral("网络不给力，请重试网络不给力，请重试");
    const Size wrapped = font.sizeOfText(long_, 100, 0);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * font.lineHeight() - 1);
    EXPECT_NEAR(font.sizeOfText(long_, 100, 2).height, std::ceil(2 * font.lineHeight()), 1);
    EXPECT_GT(font.sizeOfText(long_, 100, 1).width, 100);   // one line is never wrapped
}
