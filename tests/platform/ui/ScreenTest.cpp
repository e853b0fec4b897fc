#include "platform/ui/Screen.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

TEST(ScreenTest, SpecsAndArgumentsFromTheCommandLine)
{
    // spec, valid, size, scale, idiom
    const std::tuple<const char*, bool, Size, double, Screen::Idiom> cases[] = {
        {"480x854@1", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"480x854", true, {480, 854}, 1, Screen::Idiom::Phone},
        {"768x1024@2pad", true, {768, 1024}, 2, Screen::Idiom::Pad},
        {"320.5X568@1.5", true, {320.5, 568}, 1.5, Screen::Idiom::Phone},
        {"375x0@2", false, {}, 0, {}},
        {"375@2", false, {}, 0, {}},
        {"375x667@0", false, {}, 0, {}},
    };
    for (const auto& [spec, valid, size, scale, idiom] : cases) {
        const auto screen = Screen::fromSpec(spec);
        ASSERT_EQ(screen.has_value(), valid) << spec;
        if (valid) {
            EXPECT_TRUE(screen->size() == size && screen->scale() == scale && screen->idiom() == idiom) << spec;
        }
    }

    // A bad argument is refused and leaves the main screen as it was (a good one: see the screenshot tests).
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen=oops"}));
    EXPECT_FALSE(Screen::applyArguments({"app", "--screen"}));
    EXPECT_EQ(Screen::main().pixelSize(), Size(750, 1334));   // the phone the app is drawn for
}

} // namespace
