#include "practice/ExamSetViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/ui/Button.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"
#include "tests/support/AppTest.h"

namespace {

// The settings the screen shows and writes: text size, chapter count, quick count, draw order,
// next question, analysis.
std::vector<int> settings()
{
    return {CommonUtil::getFont(),     CommonUtil::getSpecialNum(), CommonUtil::getFastNum(),
            CommonUtil::getIsDistill(), CommonUtil::getIsNext(),     CommonUtil::getIsShowAnalyze()};
}
const std::vector<int> kStored{2, 37, 88, 0, 1, 0};

class ExamSetViewControllerTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        CommonUtil::setFont(2);
        CommonUtil::setSpecialNum(37);
        CommonUtil::setFastNum(88);
        CommonUtil::setIsDistill(false);
        CommonUtil::setIsNext(true);
        CommonUtil::setIsShowAnalyze(false);
    }

    void open()
    {
        m_root = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        m_window->setRootViewController(m_root);
        m_screen = ExamSetViewController::create();
        m_root->presentViewController(m_screen, false);
        ASSERT_TRUE(pumpUntil([&] { return m_screen->presentingViewController() == m_root && !m_screen->isTransitioning(); }));
        m_window->layoutIfNeeded();
    }

    void closeBy(const std::shared_ptr<ui::View>& button)
    {
        ASSERT_TRUE(button);
        ASSERT_TRUE(ui::TouchInjector::tap(*button));
        ASSERT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
    }

    std::shared_ptr<MyRadioGroup> group(int tag) const
    {
        return std::dynamic_pointer_cast<MyRadioGroup>(m_screen->view()->viewWithTag(tag));
    }

    // Taps the option of the group with this value, as a finger would.
    void pick(int tag, const QString& value)
    {
        for (const auto& option : group(tag)->radioBtns()) {
            if (option->getClickValue() == value) {
                ASSERT_TRUE(ui::TouchInjector::tap(*option));
                return;
            }
        }
        FAIL() << "no option " << value.toStdString() << " in group " << tag;
    }

    std::vector<std::shared_ptr<ui::TextField>> countFields() const
    {
        std::vector<std::shared_ptr<ui::TextField>> fields;
        for (const auto& v : m_screen->view()->subviews()) {
            if (auto field = std::dynamic_pointer_cast<ui::TextField>(v))
                fields.push_back(field);
        }
        return fields;
    }

    // Focuses the field by a tap, clears it with the backspace key and types the text.
    void retype(const std::shared_ptr<ui::TextField>& field, const QString& text)
    {
        ASSERT_TRUE(ui::TouchInjector::tap(*field));
        auto responder = m_window->firstResponder();
        ASSERT_EQ(responder, field);
        while (!field->text().isEmpty())
            responder->deleteBackward();
        for (const QChar c : text)
            responder->insertText(QString(c));
        responder->insertText(QStringLiteral("\n"));
        EXPECT_FALSE(m_window->firstResponder()) << "the return key ends the input";
    }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ExamSetViewController> m_screen;
};

TEST_F(ExamSetViewControllerTest, ShowsTheStoredValuesAndAnUntouchedSubmitKeepsThemAll)
{
    open();
    QStringList shown;
    for (int tag : {2001, 2004, 2006, 2005})
        shown << group(tag)->getValue();
    EXPECT_EQ(shown, (QStringList{"2", "0", "1", "0"}));
    const auto fields = countFields();
    ASSERT_EQ(fields.size(), 2u);
    for (const auto& field : fields)
        EXPECT_EQ(field->text(), "37");
    // Each option can be reached by a finger: it lies inside its group.
    for (int tag : {2001, 2004, 2005, 2006}) {
        for (const auto& option : group(tag)->radioBtns())
            EXPECT_TRUE(group(tag)->bounds().contains(option->frame())) << tag;
    }

    closeBy(m_screen->submit());
    EXPECT_EQ(settings(), kStored);
    // What was stored is what a new start reads back.
    CommonUtil::resetState();
    CommonUtil::loadData();
    EXPECT_EQ(settings(), kStored);
}

TEST_F(ExamSetViewControllerTest, PickedOptionsAreSubmittedByTheirTags)
{
    open();
    ASSERT_TRUE(tapLabel(m_screen->view(), "小"));
    pick(2004, "1");
    pick(2005, "1");   // analysis
    pick(2006, "0");   // next question
    closeBy(m_screen->submit());
    EXPECT_EQ(settings(), (std::vector<int>{0, 37, 88, 1, 0, 1}));
    EXPECT_EQ(storedSysset().at(3).toString(), "1");
}

TEST_F(ExamSetViewControllerTest, CountFieldsTakeTheLeadingInteger)
{
    const struct {
        QString typed;
        int saved;
    } cases[] = {{"", 0}, {"abc", 0}, {"12abc", 12}, {"-3", -3}, {" 25", 25}, {"150", 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        open();
        const auto fields = countFields();
        ASSERT_EQ(fields.size(), 2u);
        retype(fields.at(0), c.typed);
        // The second field shows the same count; what is typed there changes nothing.
        retype(fields.at(1), QStringLiteral("999"));
        closeBy(m_screen->submit());
        EXPECT_EQ(storedSysset().at(0).toString(), QString::number(c.saved));
        EXPECT_EQ(storedSysset().at(1).toString(), "88");
        CommonUtil::setSpecialNum(37);
    }
}

TEST_F(ExamSetViewControllerTest, TextSizeOutsideTheOptionsPicksNoneAndSavesZero)
{
    CommonUtil::setFont(5);
    open();
    for (const auto& option : group(2001)->radioBtns())
        EXPECT_FALSE(option->isClilck());
    closeBy(m_screen->submit());
    EXPECT_EQ(CommonUtil::getFont(), 0);
}

TEST_F(ExamSetViewControllerTest, BackWritesAndSavesNothing)
{
    open();
    pick(2001, "1");
    pick(2004, "1");
    pick(2006, "0");
    retype(countFields().at(0), QStringLiteral("5"));
    closeBy(m_screen->backButton());
    EXPECT_FALSE(m_screen->submit());
    EXPECT_TRUE(m_screen->view()->subviews().empty());
    EXPECT_EQ(settings(), kStored);
    EXPECT_TRUE(storedSysset().isEmpty());
}

TEST_F(ExamSetViewControllerTest, Screenshot)
{
    open();
    const QImage image = m_window->renderImage();
    ASSERT_FALSE(image.isNull());
    const QString path = QStringLiteral("/tmp/practice_settings_screen.png");
    EXPECT_TRUE(ui::Renderer::writePng(image, path)) << path.toStdString();
}

} // namespace
