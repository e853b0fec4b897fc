#include "platform/ui/MemoryWarning.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

// How a controller that names others as hearing the warning from it passes the warning on.
enum class Relay { None, Passes, KeepsIt, PassesTwice };

class Recording : public ViewController {
public:
    static std::shared_ptr<Recording> create(const char* name, std::shared_ptr<QStringList> log, Relay relay = Relay::None)
    {
        auto c = std::shared_ptr<Recording>(new Recording());
        c->m_name = QString::fromLatin1(name);
        c->m_log = std::move(log);
        c->m_relay = relay;
        return c;
    }
    void didReceiveMemoryWarning() override   // never calls the base
    {
        add("warning");
        const int passes = m_relay == Relay::Passes ? 1 : m_relay == Relay::PassesTwice ? 2 : 0;
        for (int i = 0; i < passes; ++i) {
            for (const auto& child : childViewControllers())
                MemoryWarning::pass(child);
        }
    }
    void viewDidUnload() override { add("unload"); }
    std::vector<std::shared_ptr<ViewController>> memoryWarningRelays() const override
    {
        return m_relay == Relay::None ? std::vector<std::shared_ptr<ViewController>>{} : childViewControllers();
    }
    int loads = 0;

protected:
    void loadView() override
    {
        ++loads;
        ViewController::loadView();
    }

private:
    void add(const char* what) { m_log->append(m_name + QLatin1Char(':') + QLatin1String(what)); }
    QString m_name;
    std::shared_ptr<QStringList> m_log;
    Relay m_relay = Relay::None;
};

class MemoryWarningTest : public UiFixture {};

} // namespace

TEST_F(MemoryWarningTest, ViewsInNoWindowGoAndComeBackWhenAskedFor)
{
    auto log = std::make_shared<QStringList>();
    auto shown = Recording::create("shown", log);
    auto hidden = Recording::create("hidden", log);
    auto neverLoaded = Recording::create("never", log);
    auto window = Window::create(Rect(0, 0, 320, 480));
    window->setRootViewController(shown);
    window->makeKeyAndVisible();
    step();
    std::weak_ptr<View> oldHiddenView = hidden->view();
    const auto shownView = shown->view();

    MemoryWarning::post();

    EXPECT_EQ(*log, (QStringList{"shown:warning", "hidden:warning", "hidden:unload"}));
    EXPECT_EQ(shown->viewIfLoaded(), shownView);
    EXPECT_FALSE(hidden->isViewLoaded());
    EXPECT_TRUE(oldHiddenView.expired());
    EXPECT_FALSE(neverLoaded->isViewLoaded());

    // The view is made again on the next request, and the controller still hears warnings.
    ASSERT_TRUE(hidden->view());
    EXPECT_EQ(hidden->loads, 2);
    log->clear();
    hidden.reset();   // one that has gone is simply not told
    MemoryWarning::post();
    EXPECT_EQ(*log, (QStringList{"shown:warning"}));
}

// Each controller that loaded a view hears a warning once, whatever the controllers that pass
// it on do: one a container names hears it after the container, through it or, when the
// container keeps the warning to itself, from the platform; one named by a container that is
// not told (it never loaded a view) hears it from the platform; the child of an ordinary
// controller hears it from the platform in load order.
TEST_F(MemoryWarningTest, EachControllerHearsAWarningOnce)
{
    enum class Loaded { ParentFirst, ChildFirst, ChildOnly, ParentOnly };
    struct Case {
        const char* name;
        Relay relay;
        Loaded loaded;
        QStringList heard;
    };
    const QStringList both{"parent:warning", "child:warning"};
    const Case cases[] = {
        {"under a container that passes it on", Relay::Passes, Loaded::ParentFirst, both},
        {"loaded before the container that passes it on", Relay::Passes, Loaded::ChildFirst, both},
        {"under a container that keeps it to itself", Relay::KeepsIt, Loaded::ChildFirst, both},
        {"never loaded, under a container that keeps it to itself", Relay::KeepsIt, Loaded::ParentOnly, both},
        {"under a container that passes it on twice", Relay::PassesTwice, Loaded::ParentFirst, both},
        {"under a container never loaded", Relay::Passes, Loaded::ChildOnly, {"child:warning"}},
        {"under an ordinary parent, in load order", Relay::None, Loaded::ChildFirst, {"child:warning", "parent:warning"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto log = std::make_shared<QStringList>();
        auto parent = Recording::create("parent", log, c.relay);
        auto child = Recording::create("child", log);
        parent->addChildViewController(child);
        if (c.loaded == Loaded::ParentFirst || c.loaded == Loaded::ParentOnly)
            parent->view();
        if (c.loaded != Loaded::ParentOnly)
            child->view();
        if (c.loaded == Loaded::ChildFirst)
            parent->view();
        if (c.loaded == Loaded::ParentFirst || c.loaded == Loaded::ChildFirst)
            parent->view()->addSubview(child->view());
        MemoryWarning::post();
        EXPECT_EQ(log->filter(QStringLiteral(":warning")), c.heard);
    }
}
