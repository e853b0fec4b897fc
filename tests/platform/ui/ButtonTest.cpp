#include "platform/ui/Button.h"

#include "platform/ui/Label.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <QImage>

using namespace ui;

namespace {

Image solid(QColor color, int w = 40, int h = 20)
{
    QImage pixels(w, h, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(color);
    return Image::fromQImage(pixels, 2);
}

class ButtonTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        button = Button::create(Rect(100, 100, 60, 40));
        window->addSubview(button);
        const std::pair<unsigned, const char*> events[] = {
            {ControlEvent::TouchDown, "down"},       {ControlEvent::TouchDragInside, "dragInside"}, {ControlEvent::TouchDragOutside, "dragOutside"},
            {ControlEvent::TouchDragEnter, "enter"}, {ControlEvent::TouchDragExit, "exit"},         {ControlEvent::TouchUpInside, "upInside"},
            {ControlEvent::TouchUpOutside, "upOutside"}, {ControlEvent::TouchCancel, "cancel"}};
        for (const auto& [event, name] : events)
            button->addTarget(nullptr, [this, n = QString::fromLatin1(name)](const std::shared_ptr<Control>&) { log << n; }, event);
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<Button> button;
    QStringList log;   // the control events that arrived, in order
};

} // namespace

TEST_F(ButtonTest, PlayedTouchesProduceThePhoneEventSequences)
{
    // name, moves between down at the centre and up at the last point, events
    const Point c(130, 120);
    const std::vector<std::tuple<const char*, std::vector<Point>, QStringList>> cases = {
        {"tap", {}, {"down", "upInside"}},
        {"lift at the slop's last point", {Point(229.9, 120)}, {"down", "dragInside", "upInside"}},
        {"lift on the slop's edge", {Point(230, 120)}, {"down", "dragOutside", "exit", "upOutside"}},
        {"leave and lift outside", {Point(300, 400)}, {"down", "dragOutside", "exit", "upOutside"}},
        {"leave and come back", {Point(300, 400), Point(131, 121)},
         {"down", "dragOutside", "exit", "dragInside", "enter", "upInside"}},
    };
    for (const auto& [name, moves, expected] : cases) {
        SCOPED_TRACE(name);
        log.clear();
        TouchInjector::touchDown(*window, c);
        for (const auto& p : moves)
            TouchInjector::touchMove(*window, p);
        TouchInjector::touchUp(*window, moves.empty() ? c : moves.back());
        EXPECT_EQ(log, expected);
        EXPECT_FALSE(button->isHighlighted());
        EXPECT_FALSE(button->isTracking());
    }
}

TEST_F(ButtonTest, HighlightFollowsTheFingerAndCancelEndsIt)
{
    TouchInjector::touchDown(*window, Point(130, 120));
    EXPECT_EQ(button->state(), unsigned(ControlState::Highlighted));
    TouchInjector::touchMove(*window, Point(300, 400));
    EXPECT_FALSE(button->isHighlighted());
    TouchInjector::touchMove(*window, Point(130, 120));
    EXPECT_TRUE(button->isHighlighted());
    TouchInjector::touchCancel(*window, Point(130, 120));
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(log, (QStringList{"down", "dragOutside", "exit", "dragInside", "enter", "cancel"}));

    log.clear();
    button->setEnabled(false);
    TouchInjector::tap(*button);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(button->state(), unsigned(ControlState::Disabled));
}

TEST_F(ButtonTest, TargetsAreWeakAndRemovable)
{
    struct Screen {
        int clicks = 0;
        void backClick(const std::shared_ptr<Control>& sender)
        {
            ++clicks;
            lastSender = sender.get();
        }
        Control* lastSender = nullptr;
    };
    auto screen = std::make_shared<Screen>();
    button->addTarget(screen, &Screen::backClick, ControlEvent::TouchUpInside);
    TouchInjector::tap(*button);
    EXPECT_EQ(screen->clicks, 1);
    EXPECT_EQ(screen->lastSender, button.get());

    button->removeTarget(screen.get(), ControlEvent::TouchUpInside);
    auto other = std::make_shared<Screen>();
    button->addTarget(other, &Screen::backClick, ControlEvent::TouchUpInside);
    other.reset();   // a dead target is skipped, not called
    TouchInjector::tap(*button);
    EXPECT_EQ(screen->clicks, 1);
    EXPECT_EQ(log.count("upInside"), 2);
}

TEST_F(ButtonTest, ContentPerStateFallsBackToNormal)
{
    const Image normal = solid(Qt::blue);
    const Image pressed = solid(Qt::green);
    const Image chosen = solid(Qt::yellow);
    button->setBackgroundImage(normal, ControlState::Normal);
    button->setBackgroundImage(chosen, ControlState::Selected);
    button->setTitle("go", ControlState::Normal);
    button->setTitleColor(Color::red(), ControlState::Highlighted);

    const std::tuple<bool, bool, Image, Color> cases[] = {{false, false, normal, Color::white()},
                                                          {true, false, normal, Color::red()},
                                                          {false, true, chosen, Color::white()}};
    for (const auto& [highlighted, selected, background, titleColor] : cases) {
        button->setHighlighted(highlighted);
        button->setSelected(selected);
        EXPECT_EQ(button->currentBackgroundImage(), background);
        EXPECT_EQ(button->currentTitle(), "go");
        EXPECT_EQ(button->titleLabel()->textColor(), titleColor);
    }
    button->setBackgroundImage(pressed, ControlState::Highlighted);
    button->setSelected(false);
    button->setHighlighted(true);
    EXPECT_EQ(button->currentBackgroundImage(), pressed);
}

TEST_F(ButtonTest, AdjustsImageWhenHighlightedDarkensOnlyWhilePressed)
{
    const Image image = solid(QColor(200, 200, 200));
    button->setBackgroundImage(image, ControlState::Normal);
    button->setBackgroundImage(image, ControlState::Highlighted);
    EXPECT_EQ(button->displayedBackgroundImage(), image);

    TouchInjector::touchDown(*window, Point(130, 120));
    const QColor pressed = button->displayedBackgroundImage().qimage().pixelColor(5, 5);
    EXPECT_LT(pressed.red(), 200);
    EXPECT_EQ(pressed.alpha(), 255);
    TouchInjector::touchUp(*window, Point(130, 120));
    EXPECT_EQ(button->displayedBackgroundImage(), image);

    button->setAdjustsImageWhenHighlighted(false);
    button->setHighlighted(true);
    EXPECT_EQ(button->displayedBackgroundImage(), image);
}

// Disabled under the finger, a button drops its pressed look at once; enabled again it shows
// its normal look, not a stale highlight.
TEST_F(ButtonTest, DisablingAPressedButtonEndsItsHighlight)
{
    const Image image = solid(QColor(200, 200, 200));
    button->setBackgroundImage(image, ControlState::Normal);
    button->setBackgroundImage(image, ControlState::Highlighted);
    TouchInjector::touchDown(*window, Point(130, 120));
    ASSERT_TRUE(button->isHighlighted());

    button->setEnabled(false);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(button->state(), unsigned(ControlState::Disabled));
    EXPECT_EQ(button->displayedBackgroundImage(), image);

    button->setEnabled(true);
    EXPECT_EQ(button->state(), unsigned(ControlState::Normal));
    EXPECT_EQ(button->displayedBackgroundImage(), image);
    TouchInjector::touchCancel(*window, Point(130, 120));
}
