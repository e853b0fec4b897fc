#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

class ScreenTest : public ::testing::Test {
protected:
    void TearDown() override { Screen::resetMain(); }
};

TEST_F(ScreenTest, DefaultIsAPhoneOf375By667PointsAtScaleTwo)
{
    const Screen& s = Screen::main();
    EXPECT_EQ(s.bounds(), Rect(0, 0, 375, 667));
    EXPECT_EQ(s.scale(), 2);
    EXPECT_EQ(s.idiom(), Screen::Idiom::Phone);
    EXPECT_EQ(s.pixelSize(), Size(750, 1334));
}

TEST_F(ScreenTest, SpecsFromTheCommandLine)
{
    struct Case {
        const char* spec;
        bool valid;
        Size size;
        double scale;
        Screen::Idiom idiom;
    };
    const Case cases[] = {
        {"375x667@2", true, {375, 667}, 2, Screen::Idiom::Phone},
        {"480x854@1", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"480x854", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"768x1024@2pad", true, {768, 1024}, 2, Screen::Idiom::Pad},
        {"320.5X568@1.5", true, {320.5, 568}, 1.5, Screen::Idiom::Phone},
        {"375x0@2", false, {}, 0, Screen::Idiom::Phone},
        {"375@2", false, {}, 0, Screen::Idiom::Phone},
        {"big", false, {}, 0, Screen::Idiom::Phone},
        {"375x667@0", false, {}, 0, Screen::Idiom::Phone},
    };
    for (const Case& c : cases) {
        const auto screen = Screen::fromSpec(c.spec);
        ASSERT_EQ(screen.has_value(), c.valid) << c.spec;
        if (!c.valid)
            continue;
        EXPECT_EQ(screen->size(), c.size) << c.spec;
        EXPECT_EQ(screen->scale(), c.scale) << c.spec;
        EXPECT_EQ(screen->idiom(), c.idiom) << c.spec;
    }
}

TEST_F(ScreenTest, ArgumentsSetTheMainScreenOrLeaveItOnError)
{
    EXPECT_TRUE(Screen::applyArguments({"app", "--screenshot", "x.png"}));
    EXPECT_EQ(Screen::main(), Screen());
    EXPECT_TRUE(Screen::applyArguments({"app", "--screen", "480x854@1"}));
    EXPECT_EQ(Screen::main().size(), Size(480, 854));
    EXPECT_EQ(Screen::main().scale(), 1);
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen=oops"}));
    EXPECT_EQ(Screen::main().size(), Size(480, 854));
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen"}));

    Screen::setMain({320, 480}, 1, Screen::Idiom::Pad);
    EXPECT_EQ(Screen::main().idiom(), Screen::Idiom::Pad);
    Screen::resetMain();
    EXPECT_EQ(Screen::main(), Screen());
}

} // namespace
