// The container's and the wrapper's behaviours that stand on the platform's slider, memory
// warnings, two-step rotation and tab-bar controller.
#include "components/sidepanel/PanelWrapController.h"
#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/InterfaceRotation.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TabBarController.h"
#include "platform/ui/TabBarItem.h"
#include "support/SidePanelFixture.h"

#include <QImage>
#include <typeindex>

namespace {

constexpr double kOpenLeft = 276;   // 320 wide, ledge 44
using O = ui::InterfaceOrientation;

struct FineSlider : ui::Slider {
    FineSlider() : ui::Slider(ui::Rect(0, 200, 320, 80)) {}
};
struct Knob : ui::View {
    Knob() : ui::View(ui::Rect(0, 200, 320, 80)) {}
};
struct SmallKnob : Knob {};

// Writes the two halves of a rotation as "<name> firstHalf <to> <duration>".
class HalvesController : public ui::ViewController {
public:
    HalvesController(QString name, std::shared_ptr<QStringList> journal) : m_name(std::move(name)), m_journal(std::move(journal)) {}
    void willAnimateFirstHalfOfRotationToInterfaceOrientation(O to, double d) override { note("firstHalf", to, d); }
    void willAnimateSecondHalfOfRotationFromInterfaceOrientation(O from, double d) override { note("secondHalf", from, d); }

private:
    void note(const char* what, O o, double d) { m_journal->append(QStringLiteral("%1 %2 %3 %4").arg(m_name, what).arg(int(o)).arg(d)); }
    QString m_name;
    std::shared_ptr<QStringList> m_journal;
};

class SidePanelPlatformPieces : public SidePanelFixture {};

// No form names a refused class by a bare type index, which could match its class only.
template<class Container>
concept RefusesByIndex = requires(Container& c, std::type_index index) { c.disablePanOverViewsOfClass(index); };
static_assert(!RefusesByIndex<SidePanelController>);

} // namespace

TEST_F(SidePanelPlatformPieces, APanThatStartsOnASliderOrItsKindLeavesTheCentre)
{
    // view under the finger, how its class was refused (or not), whether the drag opens the left side
    struct Case {
        const char* name;
        std::function<std::shared_ptr<ui::View>()> make;
        std::function<void(SidePanelController&)> configure;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"a slider, by default", [] { return ui::Slider::create(ui::Rect(0, 200, 320, 80)); }, [](auto&) {}, false},
        {"a subclass of the slider, by default", [] { return std::make_shared<FineSlider>(); }, [](auto&) {}, false},
        {"a slider, allowed again", [] { return ui::Slider::create(ui::Rect(0, 200, 320, 80)); },
         [](SidePanelController& c) { c.enablePanOverViewsOfClass(typeid(ui::Slider)); }, true},
        {"a subclass of a class refused by kind", [] { return std::make_shared<SmallKnob>(); },
         [](SidePanelController& c) { c.disablePanOverViewsOfClass<Knob>(); }, false},
        {"a subclass of the slider, allowed and refused again", [] { return std::make_shared<FineSlider>(); },
         [](SidePanelController& c) {
             c.enablePanOverViewsOfClass(typeid(ui::Slider));
             c.disablePanOverViewsOfClass<ui::Slider>();
         }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        auto view = c.make();
        home->view()->addSubview(view);
        c.configure(*container);
        show();
        drag({20, 240}, {220, 240}, 1.0);
        step(0.5);
        EXPECT_EQ(slidingX(), c.opens ? kOpenLeft : 0);
        if (auto slider = std::dynamic_pointer_cast<ui::Slider>(view); slider && !c.opens) {
            EXPECT_GT(slider->value(), 0.5f);   // the finger moved the slider instead
        }
    }
    restart();
    EXPECT_TRUE(container->canPanOverViewsOfClass(typeid(ui::Slider)));
    EXPECT_EQ(container->viewClassesWithDisabledPan().size(), 1u);
}

TEST_F(SidePanelPlatformPieces, AnUnloadedContainerLetsItsViewsGoAndShowsAgainLater)
{
    show();
    std::weak_ptr<ui::View> oldView = container->view();
    std::weak_ptr<ui::View> oldCenterView = container->centerView();
    window->setRootViewController(ui::ViewController::create());
    step();

    ui::MemoryWarning::post();
    EXPECT_FALSE(container->isViewLoaded());
    EXPECT_FALSE(container->referenceView());
    EXPECT_FALSE(container->centerView());
    EXPECT_TRUE(oldView.expired());
    EXPECT_TRUE(oldCenterView.expired());

    window->setRootViewController(container);
    step(0.01);
    ASSERT_TRUE(container->centerView());
    EXPECT_EQ(home->view()->superview(), container->centerView());
    EXPECT_EQ(container->referenceView(), container->view());
    container->toggleLeftView();
    step(0.5);
    EXPECT_EQ(slidingX(), kOpenLeft);

    // The menu, set before the first appearance of a container without a parent, still waits
    // to be adopted; the unloading did not stop the wait, so a later presentation adopts it.
    EXPECT_FALSE(menu->parentViewController());
    auto cover = ui::ViewController::create();
    window->setRootViewController(cover);
    step();
    cover->presentViewController(container, false);
    step(0.01);
    EXPECT_EQ(menu->parentViewController(), cover);
}

TEST_F(SidePanelPlatformPieces, TheWrapperTakesTheWrappedViewOutAndPassesTheHalvesOfARotationOn)
{
    auto wrapped = std::make_shared<HalvesController>(QStringLiteral("wrapped"), journal);
    auto wrapper = PanelWrapController::create(wrapped);
    const auto wrappedView = wrapped->view();
    wrapper->view();
    wrapper->viewDidUnload();
    EXPECT_FALSE(wrappedView->superview());

    // The wrapped view loaded again sits in the wrapper's view loaded again.
    auto idle = PanelWrapController::create(std::make_shared<HalvesController>(QStringLiteral("idle"), journal));
    idle->view();
    ui::MemoryWarning::post();
    EXPECT_FALSE(idle->isViewLoaded());
    EXPECT_FALSE(idle->wrappedController()->isViewLoaded());
    idle->viewDidUnload();   // an unloaded wrapped view is not loaded just to be taken out
    EXPECT_FALSE(idle->wrappedController()->isViewLoaded());
    EXPECT_EQ(idle->wrappedController()->view()->superview(), idle->view());

    // The platform passes nothing to the wrapped controller itself: what arrives came through.
    window = ui::Window::create(ui::Screen::main().bounds());
    window->setRootViewController(wrapper);
    window->makeKeyAndVisible();
    step();
    take();
    ASSERT_TRUE(ui::InterfaceRotation::rotate(window, O::LandscapeRight, 0.4));
    step(0.4);
    EXPECT_EQ(take(), (QStringList{"wrapped firstHalf 3 0.2", "wrapped secondHalf 1 0.2"}));
}

TEST_F(SidePanelPlatformPieces, TabBarMirroringReachesTheTabBarController)
{
    auto tabs = ui::TabBarController::create();
    tabs->setViewControllers({container, ui::ViewController::create()});
    container->setAutomaticallyUpdateTabBarItems(true);
    home->tabBarItem()->setTitle(QStringLiteral("Home"));
    EXPECT_EQ(tabs->tabBarItems()[0]->title(), QStringLiteral("Home"));

    home->setHidesBottomBarWhenPushed(true);
    EXPECT_TRUE(container->hidesBottomBarWhenPushed());
    EXPECT_TRUE(tabs->hidesBottomBarWhenPushed());
    home->setHidesBottomBarWhenPushed(false);
    EXPECT_FALSE(tabs->hidesBottomBarWhenPushed());

    // A new title is copied alone: an image the container's item has of its own stays.
    QImage dot(2, 2, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    const auto own = ui::Image::fromQImage(dot);
    container->tabBarItem()->setImage(own);
    home->tabBarItem()->setTitle(QStringLiteral("Start"));
    EXPECT_EQ(tabs->tabBarItems()[0]->title(), QStringLiteral("Start"));
    EXPECT_EQ(tabs->tabBarItems()[0]->image(), own);

    // A new centre brings its flag to the container (the tab-bar controller follows changes only).
    auto hiding = ui::ViewController::create();
    hiding->setHidesBottomBarWhenPushed(true);
    container->setCenterController(hiding);
    EXPECT_TRUE(container->hidesBottomBarWhenPushed());
    EXPECT_FALSE(tabs->hidesBottomBarWhenPushed());

    container->setAutomaticallyUpdateTabBarItems(false);   // no longer followed
    hiding->setHidesBottomBarWhenPushed(false);
    EXPECT_TRUE(container->hidesBottomBarWhenPushed());
}
