#include "browse/SpecalHeadView.h"

#include "browse/SpecialViewController.h"
#include "components/tree/TreeView.h"
#include "platform/core/Clock.h"
#include "platform/core/ManualClock.h"
#include "tests/browse/TreeScreenFixture.h"
#include "tests/support/Phones.h"
#include "tests/support/ViewPixels.h"

namespace {

using SpecalHeadViewTest = TreeScreenFixture<SpecialViewController>;

// On every phone, with directories, chapters and nodes shown, each row's name is drawn on
// the plain face of its row, at least 3 points clear of the connector's lines, boxes and dots.
TEST_F(SpecalHeadViewTest, NamesStandClearOfTheirConnectors)
{
    startSignedIn();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        ui::Screen::setMain({w, h}, scale);
        m_window.reset();
        m_root.reset();
        open();
        core::ManualClock clock(core::Clock::now());
        for (const auto& path : {std::initializer_list<int>{0}, {0, 1}}) {
            tapRow(*row(path));
            clock.advance(1);
        }
        int checked = 0;
        for (const auto& path : {std::initializer_list<int>{0}, {0, 0}, {0, 1}, {0, 1, 0}, {0, 1, 1}, {0, 2}, {1}}) {
            auto shown = row(path);
            ASSERT_TRUE(shown && shown->window());
            const auto name = controlsOf(*shown).name;
            const pixels::Drawn drawn = pixels::drawnBy(*m_window, *name, pixels::pixelsOf(*shown));
            EXPECT_TRUE(pixels::liesOnPlainGround(drawn, int(3 * scale))) << name->text().toStdString();
            ++checked;
        }
        EXPECT_EQ(checked, 7);
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(m_window->renderImage(), "chapter-tree"));
        }
    }
}

} // namespace
