#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

class ScreenTest : public ::testing::Test {
protected:
    void TearDown() override { Screen::resetMain(); }
};

TEST_F(ScreenTest, SpecsFromTheCommandLine)
{
    const struct {
        const char* spec;
        bool valid;
        Size size;
        double scale;
        Screen::Idiom idiom;
    } cases[] = {
        {"480x854@1", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"480x854", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"768x1024@2pad", true, {768, 1024}, 2, Screen::Idiom::Pad},
        {"320.5X568@1.5", true, {320.5, 568}, 1.5, Screen::Idiom::Phone},
        {"375x0@2", false, {}, 0, {}},
        {"375@2", false, {}, 0, {}},
        {"375x667@0", false, {}, 0, {}},
    };
    for (const auto& c : cases) {
        const auto screen = Screen::fromSpec(c.spec);
        ASSERT_EQ(screen.has_value(), c.valid) << c.spec;
        if (c.valid)
            EXPECT_TRUE(screen->size() == c.size && screen->scale() == c.scale && screen->idiom() == c.idiom) << c.spec;
    }
}

TEST_F(ScreenTest, ArgumentsSetTheMainScreenOrLeaveItOnError)
{
    EXPECT_TRUE(Screen::applyArguments({"app", "--screenshot", "x.png"}));
    EXPECT_EQ(Screen::main(), Screen());
    EXPECT_TRUE(Screen::applyArguments({"app", "--screen", "480x854@1"}));
    EXPECT_EQ(Screen::main().pixelSize(), Size(480, 854));
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen=oops"}));
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen"}));
    EXPECT_EQ(Screen::main().size(), Size(480, 854));
    Screen::resetMain();
    EXPECT_EQ(Screen::main().pixelSize(), Size(750, 1334));   // the phone the app is drawn for
}

} // namespace
