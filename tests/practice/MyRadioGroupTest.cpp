#include "practice/MyRadioGroup.h"

#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Button.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroupDelegate.h"
#include "tests/practice/OptionWidgetTestSupport.h"
#include "tests/support/AppTest.h"

#include <QUrl>

namespace {

// A caption whose content is exactly `height` points high (an image of the resource folder).
QString captionOfHeight(OptionImageFolder& folder, int height)
{
    return QStringLiteral("<img src=\"%1\">").arg(folder.images(10, height).second);
}

class Owner : public MyRadioGroupDelegate {
public:
    void replaseRadioGroupHeight(double height, double oldHeight, int tag) override
    {
        heights.push_back({height, oldHeight});
        lastTag = tag;
    }
    void radioBtnClick(int tag) override
    {
        ++clicks;
        lastTag = tag;
    }

    std::vector<std::pair<double, double>> heights;
    int clicks = 0;
    int lastTag = 0;
};

class MyRadioGroupTest : public AppTest {
protected:
    // A vertical group as the practice screen builds it: interval 10, options at y 10.
    std::shared_ptr<MyRadioGroup> verticalGroup(const QStringList& values, const QStringList& captions = {})
    {
        auto group = MyRadioGroup::create(ui::Rect(20, 30, 300, 0));
        group->setInterval(10);
        const auto [selected, normal] = m_images.images(60, 60);
        for (int i = 0; i < values.size(); ++i) {
            auto option = MyRadioBtn::create(ui::Rect(0, 10, 300, 0));
            option->setFontSize(16);
            option->setClickValue(values.at(i));
            option->setImage(selected, normal);
            if (i < captions.size())
                option->setTitle(captions.at(i));
            group->addRadioBtn(option);
        }
        group->setTag(7);
        group->setDelegate(m_owner);
        return group;
    }

    static bool allCaptionsLoaded(const MyRadioGroup& group)
    {
        for (const auto& option : group.radioBtns()) {
            if (option->title() && option->title()->isLoading())
                return false;
        }
        return true;
    }

    static QStringList selected(const MyRadioGroup& group)
    {
        QStringList values;
        for (const auto& option : group.radioBtns()) {
            if (option->isClilck())
                values << option->getClickValue();
        }
        return values;
    }

    OptionImageFolder m_images;
    std::shared_ptr<Owner> m_owner = std::make_shared<Owner>();
};

TEST_F(MyRadioGroupTest, ButtonIsHalfTheImagePixels)
{
    const auto [selected, normal] = m_images.images(45, 45);
    auto sized = MyRadioBtn::create(ui::Rect(5, 6, 0, 0));
    sized->setImage(selected, normal);
    EXPECT_TRUE(sameRect(sized->radioBtn()->frame(), ui::Rect(0, 0, 22, 22)));
    EXPECT_TRUE(sameRect(sized->frame(), ui::Rect(5, 6, 22, 22)));

    auto wide = MyRadioBtn::create(ui::Rect(0, 0, 280, 0));
    wide->setImage(selected, normal);
    EXPECT_EQ(wide->frame().width(), 280);

    auto missing = MyRadioBtn::create(ui::Rect(0, 0, 280, 0));
    missing->setImage("nothing_02.png", "nothing_01.png");
    EXPECT_EQ(missing->frame().height(), 0);
}

TEST_F(MyRadioGroupTest, TouchesPickOneOptionAtATime)
{
    auto group = verticalGroup({"A", "B", "C"});
    auto window = windowWith(group);
    EXPECT_EQ(group->getValue(), "");
    EXPECT_FALSE(group->getValue().isNull());

    ASSERT_TRUE(tapLabel(group, "B"));
    EXPECT_EQ(group->getValue(), "B");
    EXPECT_EQ(selected(*group), QStringList{"B"});
    EXPECT_EQ(m_owner->clicks, 1);
    EXPECT_EQ(m_owner->lastTag, 7);

    // The picked option shows its selected image even when not pressed.
    const auto b = group->radioBtns().at(1);
    EXPECT_TRUE(b->radioBtn()->backgroundImageForState(ui::ControlState::Normal) == ui::Image::named(b->highlightedImage()));

    ASSERT_TRUE(tapLabel(group, "B"));
    EXPECT_EQ(selected(*group), QStringList{"B"});
    EXPECT_EQ(m_owner->clicks, 2);

    // The last option lies inside the group, so a finger reaches it.
    ASSERT_TRUE(tapLabel(group, "C"));
    EXPECT_EQ(group->getValue(), "C");
    EXPECT_EQ(selected(*group), QStringList{"C"});
    EXPECT_TRUE(b->radioBtn()->backgroundImageForState(ui::ControlState::Normal) == ui::Image::named(b->normalImage()));
}

TEST_F(MyRadioGroupTest, SetClickValueSelectsFromCodeAndReportsTwice)
{
    auto group = verticalGroup({"1", "0", "1"});
    group->setClickValue("9");
    EXPECT_TRUE(selected(*group).isEmpty());
    EXPECT_EQ(group->getValue(), "");
    EXPECT_EQ(m_owner->clicks, 1);

    m_owner->clicks = 0;
    group->setClickValue("0");
    EXPECT_EQ(selected(*group), QStringList{"0"});
    EXPECT_EQ(m_owner->clicks, 2);

    // Options sharing a value: picking one leaves the other as it was.
    auto window = windowWith(group);
    ASSERT_TRUE(ui::TouchInjector::tap(*group->radioBtns().at(0)));
    EXPECT_EQ(selected(*group), QStringList{"1"});
    ASSERT_TRUE(ui::TouchInjector::tap(*group->radioBtns().at(2)));
    EXPECT_EQ(selected(*group), (QStringList{"1", "1"}));
}

TEST_F(MyRadioGroupTest, CaptionsRestackTheGroupByTheirHeights)
{
    auto group = verticalGroup({"A", "B", "C"}, {captionOfHeight(m_images, 30), captionOfHeight(m_images, 50), captionOfHeight(m_images, 30)});
    const double before = group->frame().height();
    ASSERT_TRUE(pumpUntil([&] { return allCaptionsLoaded(*group) && m_owner->heights.size() == 3; }));

    const auto options = group->radioBtns();
    EXPECT_EQ(options.at(0)->frame().y(), 10);
    EXPECT_EQ(options.at(1)->frame().y(), 50);
    EXPECT_EQ(options.at(2)->frame().y(), 110);
    EXPECT_EQ(group->frame().height(), 140);
    EXPECT_EQ(m_owner->heights.back().first, 140);
    EXPECT_EQ(m_owner->heights.front().second, before);
    EXPECT_EQ(m_owner->lastTag, 7);

    // A 30-high button beside the 50-high caption is centred on it.
    const auto b = options.at(1);
    EXPECT_TRUE(sameRect(b->radioBtn()->frame(), ui::Rect(0, 10, 30, 30)));
    EXPECT_TRUE(sameRect(b->title()->frame(), ui::Rect(40, 0, 270, 50)));
}

TEST_F(MyRadioGroupTest, ShortCaptionIsCentredOnTheButton)
{
    auto group = verticalGroup({"A"}, {captionOfHeight(m_images, 20)});
    ASSERT_TRUE(pumpUntil([&] { return allCaptionsLoaded(*group) && !m_owner->heights.empty(); }));
    const auto a = group->radioBtns().front();
    EXPECT_EQ(a->radioBtn()->frame().y(), 0);
    EXPECT_EQ(a->title()->frame().y(), 5);
    EXPECT_EQ(a->frame().height(), 30);
}

TEST_F(MyRadioGroupTest, CaptionLoadDropsOnlyTheFirstLineBreak)
{
    auto option = MyRadioBtn::create(ui::Rect(0, 0, 300, 0));
    option->setTitle("a\nb\nc\nd");
    ASSERT_TRUE(pumpUntil([&] { return !option->title()->isLoading(); }));
    // The line breaks left are white space in HTML.
    EXPECT_EQ(option->title()->text().simplified(), "ab c d");
}

TEST_F(MyRadioGroupTest, FailedCaptionStillRestacksSoEveryOptionCanBeTapped)
{
    auto group = verticalGroup({"A", "B", "C"}, {captionOfHeight(m_images, 30), captionOfHeight(m_images, 30), captionOfHeight(m_images, 30)});
    // The last caption's page cannot be fetched.
    core::UrlRequest request;
    request.url = QUrl(refusingServerUrl());
    group->radioBtns().at(2)->title()->loadRequest(request);
    ASSERT_TRUE(pumpUntil([&] { return allCaptionsLoaded(*group) && m_owner->heights.size() >= 3; }, 3));

    const auto c = group->radioBtns().at(2);
    EXPECT_EQ(c->frame().height(), 30);
    EXPECT_TRUE(group->bounds().contains(c->frame()));
    EXPECT_EQ(group->frame().height(), 120);
    auto window = windowWith(group);
    ASSERT_TRUE(tapLabel(group, "C"));
    EXPECT_EQ(group->getValue(), "C");
}

TEST_F(MyRadioGroupTest, ReunloadLeavesNoValueNoCaptionsAndNoReports)
{
    auto group = verticalGroup({"A", "B"}, {captionOfHeight(m_images, 30), captionOfHeight(m_images, 30)});
    group->setClickValue("A");
    std::weak_ptr<ui::WebView> caption = group->radioBtns().front()->title();
    std::weak_ptr<MyRadioBtn> option = group->radioBtns().front();
    group->reunload();
    EXPECT_TRUE(group->getValue().isNull());
    EXPECT_TRUE(group->radioBtns().empty());
    EXPECT_TRUE(group->subviews().empty());
    EXPECT_TRUE(caption.expired());
    EXPECT_TRUE(option.expired());

    // The captions' loads were pending; nothing reaches the owner any more.
    const auto heights = m_owner->heights.size();
    core::RunLoop::main().processPending();
    EXPECT_EQ(m_owner->heights.size(), heights);
}

TEST_F(MyRadioGroupTest, NoOwnershipCyclesBetweenOwnerGroupAndOptions)
{
    auto group = verticalGroup({"A", "B"}, {captionOfHeight(m_images, 30), captionOfHeight(m_images, 30)});
    std::weak_ptr<MyRadioGroup> weakGroup = group;
    std::weak_ptr<MyRadioBtn> weakOption = group->radioBtns().front();
    std::weak_ptr<Owner> weakOwner = m_owner;
    group.reset();
    m_owner.reset();
    EXPECT_TRUE(weakGroup.expired());
    EXPECT_TRUE(weakOption.expired());
    EXPECT_TRUE(weakOwner.expired());
    core::RunLoop::main().processPending();   // pending caption loads find nobody
}

} // namespace
