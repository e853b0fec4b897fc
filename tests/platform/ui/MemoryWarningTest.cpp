#include "platform/ui/MemoryWarning.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

class Recording : public ViewController {
public:
    static std::shared_ptr<Recording> create(const char* name, std::shared_ptr<QStringList> log, bool relays = false)
    {
        auto c = std::shared_ptr<Recording>(new Recording());
        c->m_name = QString::fromLatin1(name);
        c->m_log = std::move(log);
        c->m_relays = relays;
        return c;
    }
    void didReceiveMemoryWarning() override   // never calls the base
    {
        add("warning");
        if (!m_relays)
            return;
        for (const auto& child : childViewControllers())
            child->didReceiveMemoryWarning();
    }
    void viewDidUnload() override { add("unload"); }
    std::vector<std::shared_ptr<ViewController>> memoryWarningRelays() const override
    {
        return m_relays ? childViewControllers() : std::vector<std::shared_ptr<ViewController>>{};
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
    bool m_relays = false;
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

// Each controller hears a warning once: one that a container passes the warning to hears it
// through the container only, unless the container is not told (it never loaded a view); a
// child of an ordinary controller hears it from the platform.
TEST_F(MemoryWarningTest, EachControllerHearsAWarningOnce)
{
    struct Case {
        const char* name;
        bool relays;
        bool parentLoaded;
        QStringList heard;
    };
    const Case cases[] = {
        {"under a container that relays", true, true, {"parent:warning", "child:warning"}},
        {"under a container never loaded", true, false, {"child:warning"}},
        {"under an ordinary parent", false, true, {"parent:warning", "child:warning"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto log = std::make_shared<QStringList>();
        auto parent = Recording::create("parent", log, c.relays);
        auto child = Recording::create("child", log);
        parent->addChildViewController(child);
        if (c.parentLoaded)
            parent->view()->addSubview(child->view());
        else
            child->view();
        MemoryWarning::post();
        EXPECT_EQ(log->filter(QStringLiteral(":warning")), c.heard);
    }
}
