#include "practice/ExamSetViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/EditingCommand.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/WindowHost.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"
#include "tests/practice/ExamStartFixture.h"
#include "tests/support/Phones.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ViewPixels.h"

namespace {

// The settings the screen shows and writes: text size, chapter count, quick count, draw order,
// next question, analysis.
std::vector<int> settings()
{
    return {CommonUtil::getFont(),     CommonUtil::getSpecialNum(), CommonUtil::getFastNum(),
            CommonUtil::getIsDistill(), CommonUtil::getIsNext(),     CommonUtil::getIsShowAnalyze()};
}

class ExamSetViewControllerTest : public ExamStartFixture {
protected:
    void SetUp() override
    {
        ExamStartFixture::SetUp();
        CommonUtil::setFont(2);
        CommonUtil::setSpecialNum(37);
        CommonUtil::setFastNum(88);
        CommonUtil::setIsDistill(false);
        CommonUtil::setIsNext(true);
        CommonUtil::setIsShowAnalyze(false);
    }

    void open() { m_screen = present(ExamSetViewController::create()); }

    void closeBy(const std::shared_ptr<ui::View>& button)
    {
        ASSERT_TRUE(button && ui::TouchInjector::tap(*button));
        ASSERT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
    }

    std::shared_ptr<MyRadioGroup> group(int tag) const
    {
        return std::dynamic_pointer_cast<MyRadioGroup>(m_screen->view()->viewWithTag(tag));
    }

    std::vector<std::shared_ptr<ui::TextField>> countFields() const
    {
        std::vector<std::shared_ptr<ui::TextField>> fields;
        for (const auto& v : m_screen->view()->subviews())
            if (auto field = std::dynamic_pointer_cast<ui::TextField>(v))
                fields.push_back(field);
        return fields;
    }

    // Focuses the field by a tap, goes to the end of the text (the tap put the caret amid the
    // digits), clears it with the backspace key, types the text and return.
    void retype(const std::shared_ptr<ui::TextField>& field, const QString& text)
    {
        ASSERT_TRUE(ui::TouchInjector::tap(*field));
        auto responder = m_window->firstResponder();
        ASSERT_EQ(responder, field);
        responder->performEditingCommand(ui::EditingCommand::MoveToLineEnd);
        for (qsizetype n = field->text().size(); n > 0; --n)
            responder->deleteBackward();
        ASSERT_EQ(field->text(), "");
        for (const QChar c : text)
            responder->insertText(QString(c));
        responder->insertText(QStringLiteral("\n"));
        EXPECT_FALSE(m_window->firstResponder()) << "the return key ends the input";
    }

    std::shared_ptr<ExamSetViewController> m_screen;
};

// The stored values shown; picks, and the leading number typed in the first count field,
// submitted and saved (the second only shows the count: a tap does not open it for typing);
// back saves nothing.
TEST_F(ExamSetViewControllerTest, ShowsTheStoredValuesAndSubmitsWhatIsPicked)
{
    open();
    QStringList shown;
    for (int tag : {2001, 2004, 2006, 2005})
        shown << group(tag)->getValue();
    EXPECT_EQ(shown, (QStringList{"2", "0", "1", "0"}));
    const auto fields = countFields();
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0]->text() + fields[1]->text(), "3737");
    EXPECT_TRUE(screenshot::save(m_window->renderImage(), "practice-settings"));
    ASSERT_TRUE(tapLabel(m_screen->view(), "小"));
    ASSERT_TRUE(tapLabel(group(2004), "顺序"));
    ASSERT_TRUE(tapLabel(group(2005), "是"));   // analysis
    ASSERT_TRUE(tapLabel(group(2006), "否"));   // next question
    retype(fields.at(0), "12abc");
    ASSERT_TRUE(ui::TouchInjector::tap(*fields.at(1)));
    EXPECT_FALSE(m_window->firstResponder()) << "the error-book count takes no typing";
    EXPECT_EQ(fields.at(1)->text(), "37");
    closeBy(m_screen->submit());
    const std::vector<int> picked{0, 12, 88, 1, 0, 1};
    EXPECT_EQ(settings(), picked);
    CommonUtil::resetState();
    CommonUtil::loadData();
    EXPECT_EQ(settings(), picked) << "what a new start reads back";

    open();
    ASSERT_TRUE(tapLabel(m_screen->view(), "中"));
    retype(countFields().at(0), "5");
    closeBy(m_screen->backButton());
    EXPECT_EQ(settings(), picked);
    CommonUtil::resetState();
    CommonUtil::loadData();
    EXPECT_EQ(settings(), picked);
}

// Both count fields show their thin border as one even line on each of their four sides, on
// every phone, though their frames start at fractions of a pixel; and so does the desktop
// window that shows the screen, at its own pixel a point.
TEST_F(ExamSetViewControllerTest, CountFieldBordersShowEvenlyOnAllFourSides)
{
    for (const auto& [w, h, scale] : kPhones) {
        SCOPED_TRACE(w);
        ui::Screen::setMain({w, h}, scale);
        m_host = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->setRootViewController(m_host);
        m_window->makeKeyAndVisible();
        open();
        ui::WindowHost desktop(m_window);
        const std::pair<QImage, double> pictures[] = {{m_window->renderImage(), scale},
                                                      {pixels::shownOnTheDesktop(desktop), desktop.devicePixelRatio()}};
        for (const auto& [image, pixelsPerPoint] : pictures) {
            SCOPED_TRACE(pixelsPerPoint);
            for (const auto& field : countFields()) {
                SCOPED_TRACE(field->isEnabled() ? "enabled" : "disabled");
                const QRect box = pixels::pixelsOf(*field, pixelsPerPoint);
                const int inside = qGray(image.pixel(box.left() + box.width() / 8, box.center().y()));
                const std::vector<int> sides = pixels::sideGreys(image, box);
                const auto [strongest, faintest] = std::minmax_element(sides.begin(), sides.end());
                EXPECT_LE(*faintest - *strongest, 12) << "top, left, bottom, right: " << testing::PrintToString(sides);
                EXPECT_LT(*faintest, inside - 40) << "every side shows: " << testing::PrintToString(sides);
            }
        }
    }
}

} // namespace
