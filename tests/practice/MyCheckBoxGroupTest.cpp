#include "practice/MyCheckBoxGroup.h"

#include "platform/ui/Button.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "practice/MyCheckBox.h"
#include "practice/MyCheckBoxGroupDelegate.h"
#include "tests/practice/OptionWidgetTestSupport.h"
#include "tests/support/AppTest.h"

namespace {

class Owner : public MyCheckBoxGroupDelegate {
public:
    void replaseCheckBoxGroupHeight(double height, double oldHeight, int) override
    {
        heights.push_back({height, oldHeight});
    }
    std::vector<std::pair<double, double>> heights;
};

class MyCheckBoxGroupTest : public AppTest {
protected:
    // A group as the practice screen builds it: interval 10, boxes at y 10, 20-high images.
    std::shared_ptr<MyCheckBoxGroup> group(const QStringList& values, bool captioned = false)
    {
        auto group = MyCheckBoxGroup::create(ui::Rect(20, 30, 300, 0));
        group->setInterval(10);
        const auto [checked, unchecked] = m_images.images(40, 40);
        const QString caption = QStringLiteral("<img src=\"%1\">").arg(m_images.images(10, 20).second);
        for (const QString& value : values) {
            auto box = MyCheckBox::create(ui::Rect(0, 10, 300, 0));
            box->setFontSize(16);
            box->setClickValue(value);
            box->setImage(checked, unchecked);
            if (captioned)
                box->setTitle(caption);
            group->addCheckBoxBtn(box);
        }
        group->setDelegate(m_owner);
        return group;
    }

    static std::vector<double> tops(const MyCheckBoxGroup& group)
    {
        std::vector<double> ys;
        for (const auto& box : group.checkBoxBtns())
            ys.push_back(box->frame().y());
        return ys;
    }

    OptionImageFolder m_images;
    std::shared_ptr<Owner> m_owner = std::make_shared<Owner>();
};

TEST_F(MyCheckBoxGroupTest, TapsToggleBoxesAndTheValueFollowsTheAddOrder)
{
    auto boxes = group({"A", "B", "C", "D"}, true);
    ASSERT_TRUE(pumpUntil([&] { return m_owner->heights.size() == 4; }));
    auto window = windowWith(boxes);
    EXPECT_EQ(boxes->getValue(), "");

    const struct {
        QString tap;
        QString value;
    } steps[] = {{"D", "D"}, {"A", "AD"}, {"C", "ACD"}, {"D", "AC"}, {"A", "C"}, {"C", ""}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.tap.toStdString());
        ASSERT_TRUE(tapLabel(boxes, step.tap));
        EXPECT_EQ(boxes->getValue(), step.value);
        EXPECT_FALSE(boxes->getValue().isNull());
    }
    // Taps are not reported to the owner; only the four caption restacks were.
    EXPECT_EQ(m_owner->heights.size(), 4u);

    // A checked box shows its checked image when not pressed, an unchecked one its normal image.
    ASSERT_TRUE(tapLabel(boxes, "B"));
    const auto b = boxes->checkBoxBtns().at(1);
    const auto c = boxes->checkBoxBtns().at(2);
    EXPECT_TRUE(b->radioBtn()->backgroundImageForState(ui::ControlState::Normal) == ui::Image::named(b->highlightedImage()));
    EXPECT_TRUE(c->radioBtn()->backgroundImageForState(ui::ControlState::Normal) == ui::Image::named(c->normalImage()));
}

TEST_F(MyCheckBoxGroupTest, BoxesStackBeforeAndAfterTheirCaptionsLoad)
{
    auto boxes = group({"A", "B", "C", "D"}, true);
    EXPECT_EQ(tops(*boxes), (std::vector<double>{10, 40, 40, 40}));
    EXPECT_EQ(boxes->frame().height(), 60);
    EXPECT_EQ(boxes->frame().width(), 300);

    ASSERT_TRUE(pumpUntil([&] { return m_owner->heights.size() == 4; }));
    EXPECT_EQ(tops(*boxes), (std::vector<double>{10, 40, 70, 100}));
    EXPECT_EQ(boxes->frame().height(), 120);
    EXPECT_EQ(m_owner->heights.back().first, 120);
    EXPECT_EQ(m_owner->heights.front().second, 60);
}

TEST_F(MyCheckBoxGroupTest, GroupCoversATallBoxAddedBeforeShortOnes)
{
    auto boxes = MyCheckBoxGroup::create(ui::Rect(0, 0, 300, 0));
    boxes->setInterval(10);
    const QStringList values{"A", "B", "C"};
    const int pixelHeights[] = {100, 40, 40};
    for (int i = 0; i < 3; ++i) {
        auto box = MyCheckBox::create(ui::Rect(0, 10, 300, 0));
        box->setClickValue(values.at(i));
        const auto [checked, unchecked] = m_images.images(40, pixelHeights[i]);
        box->setImage(checked, unchecked);
        boxes->addCheckBoxBtn(box);
    }
    // Box B sits below the last two boxes' span; the group still reaches down to it.
    EXPECT_EQ(boxes->checkBoxBtns().at(1)->frame().y(), 70);
    EXPECT_EQ(boxes->frame().height(), 90);
    auto window = windowWith(boxes);
    ASSERT_TRUE(tapLabel(boxes, "B"));
    EXPECT_EQ(boxes->getValue(), "B");
}

TEST_F(MyCheckBoxGroupTest, BoxesKeepTheWidthTheirBuilderGave)
{
    const auto [checked, unchecked] = m_images.images(45, 45);
    auto wide = MyCheckBox::create(ui::Rect(0, 0, 280, 0));
    wide->setImage(checked, unchecked);
    EXPECT_TRUE(sameRect(wide->frame(), ui::Rect(0, 0, 280, 22)));
    auto narrow = MyCheckBox::create(ui::Rect(0, 0, 0, 0));
    narrow->setImage(checked, unchecked);
    EXPECT_EQ(narrow->frame().width(), 0);

    // A single box: the group is as wide and as tall as it, so a finger reaches it.
    auto single = MyCheckBoxGroup::create(ui::Rect(0, 100, 0, 0));
    single->addCheckBoxBtn(wide);
    wide->setClickValue("A");
    EXPECT_EQ(single->frame().width(), 280);
    auto window = windowWith(single);
    ASSERT_TRUE(tapLabel(single, "A"));
    EXPECT_EQ(single->getValue(), "A");
}

TEST_F(MyCheckBoxGroupTest, ReunloadLeavesNoValueNoCaptionsAndNoCycles)
{
    auto boxes = group({"A", "B"}, true);
    std::weak_ptr<ui::WebView> caption = boxes->checkBoxBtns().front()->title();
    std::weak_ptr<MyCheckBox> box = boxes->checkBoxBtns().front();
    boxes->reunload();
    EXPECT_TRUE(boxes->getValue().isNull());
    EXPECT_TRUE(boxes->subviews().empty());
    EXPECT_TRUE(caption.expired());
    EXPECT_TRUE(box.expired());

    auto other = group({"A", "B"}, true);
    std::weak_ptr<MyCheckBoxGroup> weakGroup = other;
    std::weak_ptr<Owner> weakOwner = m_owner;
    other.reset();
    m_owner.reset();
    EXPECT_TRUE(weakGroup.expired());
    EXPECT_TRUE(weakOwner.expired());
}

} // namespace
