#include "shell/account/FeedViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/RegisterViewController.h"
#include "tests/support/AppTest.h"
#include "tests/support/Phones.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ViewPixels.h"

namespace {

// The account forms as their menus present them, in a window of each phone's size, with the
// sample server behind them.
class AccountFormsLayoutTest : public AppTest {
protected:
    void TearDown() override
    {
        m_window.reset();
        m_host.reset();
        AppTest::TearDown();
    }

    template<class Screen>
    std::shared_ptr<Screen> present(double w, double h, double scale)
    {
        ui::Screen::setMain({w, h}, scale);
        m_host = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->setRootViewController(m_host);
        m_window->makeKeyAndVisible();
        auto screen = Screen::create();
        m_host->presentViewController(screen, false);
        EXPECT_TRUE(pumpUntil([&] { return screen->isAppeared() && overlaysGone(screen->view()); }));
        m_window->layoutIfNeeded();
        return screen;
    }

    // The frame picture the form's boxes are drawn in, in pixels.
    static QRect framePicture(const ui::View& root, const QString& name)
    {
        for (const auto& view : root.subviews()) {
            auto image = std::dynamic_pointer_cast<ui::ImageView>(view);
            if (image && image->image().name() == name)
                return pixels::pixelsOf(*image);
        }
        ADD_FAILURE() << "no " << name.toStdString();
        return {};
    }

    std::shared_ptr<ui::ViewController> m_host;
    std::shared_ptr<ui::Window> m_window;
};

// Under the register button the agreement words read in full, then the link to the agreement,
// side by side on the screen, on every phone.
TEST_F(AccountFormsLayoutTest, TheAgreementLineReadsInFull)
{
    startSampleServer();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        auto form = present<RegisterViewController>(w, h, scale);
        auto words = std::dynamic_pointer_cast<ui::Label>(findByLabel(form->view(), "注册即代表已阅读并同意"));
        auto link = std::dynamic_pointer_cast<ui::Button>(findByLabel(form->view(), "Quarnivelo用户协议"));
        ASSERT_TRUE(words && link);
        EXPECT_EQ(words->visibleLines(), QStringList{"注册即代表已阅读并同意"});
        EXPECT_EQ(link->titleLabel()->visibleLines(), QStringList{"Quarnivelo用户协议"});
        const ui::Rect screen(0, 0, w, h);
        EXPECT_TRUE(screen.contains(words->frame()) && screen.contains(link->frame()));
        EXPECT_LE(words->frame().maxX(), link->frame().x() + 0.5);
        EXPECT_GE(words->frame().y(), form->resBtn()->frame().maxY());

        // Drawn: the words' ink stays in their frame, the link's blue shows in its own.
        const pixels::Drawn drawn = pixels::drawnBy(*m_window, *words);
        EXPECT_TRUE(pixels::pixelsOf(*words).adjusted(-1, -1, 1, 1).contains(drawn.area));
        EXPECT_GT(pixels::countNear(drawn.with, QColor(0x6F, 0xD7, 0xFD), pixels::pixelsOf(*link)), 20);
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(drawn.with, "registration"));
        }
        m_host->dismissViewController(false);
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
    }
}

// Each field name drawn in the registration form stands level with its box and ends before
// it, on every phone.
TEST_F(AccountFormsLayoutTest, RegistrationCaptionsStandLevelWithTheirBoxes)
{
    startSampleServer();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        auto form = present<RegisterViewController>(w, h, scale);
        const QRect picture = framePicture(*form->view(), "register.png");
        const std::shared_ptr<ui::TextField> fields[] = {form->account(), form->pwd(), form->resPwd()};
        const int gap = pixels::pixelsOf(*fields[1]).top() - pixels::pixelsOf(*fields[0]).bottom();
        for (const auto& field : fields) {
            const QRect box = pixels::pixelsOf(*field);
            // The caption's row: left of the box, halfway to the boxes above and below.
            const QRect row(picture.left(), box.top() - gap / 2, box.left() - picture.left(), box.height() + gap);
            const pixels::Drawn drawn = pixels::drawnBy(*m_window, *field);
            const std::vector<int> ink = pixels::rowsWith(drawn.without, pixels::isInk, row);
            ASSERT_FALSE(ink.empty()) << field->placeholder().toStdString();
            EXPECT_NEAR((ink.front() + ink.back()) / 2.0, box.center().y(), 1.5 * scale) << field->placeholder().toStdString();
            const QRect under(box.left() - int(4 * scale), row.top(), box.width(), row.height());
            EXPECT_EQ(pixels::count(drawn.without, pixels::isInk, under), 0) << "ink under or next to the box";
        }
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(m_window->renderImage(), "registration-form"));
        }
        m_host->dismissViewController(false);
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
    }
}

// The sign-in boxes stand on the plain face of the form picture, clear of its icon column's
// divider and of the line between the two rows, on every phone.
TEST_F(AccountFormsLayoutTest, LoginBoxesStandClearOfTheFormsLines)
{
    startSampleServer();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        auto login = present<LoginViewController>(w, h, scale);
        for (const auto& field : {login->account(), login->pwd()}) {
            const pixels::Drawn box = pixels::drawnBy(*m_window, *field);
            EXPECT_TRUE(box.area.contains(pixels::pixelsOf(*field).adjusted(1, 1, -1, -1))) << "the box's border shows";
            EXPECT_TRUE(pixels::liesOnPlainGround(box, 2)) << "no drawn line under or beside the box";
        }
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(m_window->renderImage(), "login-form"));
        }
        m_host->dismissViewController(false);
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
    }
}

// The remark box shows its words over the frame picture without covering the frame's border
// or corners; the contact text stands inside the box drawn for it, clear of its edges.
TEST_F(AccountFormsLayoutTest, FeedbackTextsStandInsideTheirDrawnBoxes)
{
    startSampleServer();
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        auto form = present<FeedViewController>(w, h, scale);
        const QRect frame = framePicture(*form->view(), "feedbg.png");

        const pixels::Drawn words = pixels::drawnBy(*m_window, *form->remark(), frame);
        EXPECT_LT(words.area.height(), 2 * 16 * scale) << "only the grey words show, not the box's ground";
        EXPECT_TRUE(pixels::liesOnPlainGround(words)) << "the words stand on the plain inside of the frame";

        ASSERT_TRUE(tapLabel(form->view(), "联系方式"));
        form->contact()->insertText("qq 12345678");
        form->contact()->resignFirstResponder();
        const pixels::Drawn text = pixels::drawnBy(*m_window, *form->contact(), frame);
        EXPECT_TRUE(pixels::liesOnPlainGround(text, 2)) << "the text and a margin round it lie on the box's inside";
        // Left of the text, on its middle row, the box's edge comes before the frame's.
        const int row = text.area.center().y();
        int edge = text.area.left() - 1;
        while (edge > frame.left() && pixels::isPlain(text.without.pixelColor(edge, row)))
            --edge;
        EXPECT_GT(edge, frame.left()) << "a drawn edge left of the text";
        if (w == 375) {
            EXPECT_TRUE(screenshot::save(text.with, "feedback"));
        }
        m_host->dismissViewController(false);
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
    }
}

} // namespace
