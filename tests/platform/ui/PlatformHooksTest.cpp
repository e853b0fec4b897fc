#include "platform/ui/PlatformHooks.h"

#include "platform/ui/ViewController.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

class PlatformHooksTest : public UiFixture {
protected:
    // An installer that puts one navigation-item hook in the chain, which logs `name` each
    // time it runs, and counts how often it was run.
    std::function<void()> installer(const QString& name)
    {
        return [this, name] {
            ++installs[name];
            PlatformHooks::installNavigationItemHook([this, name](ViewController& r, const PlatformHooks::NavigationItemFn& previous) {
                ran << name;
                return previous(r);
            });
        };
    }

    QStringList lookUp()
    {
        ran.clear();
        controller->navigationItem();
        return ran;
    }

    std::shared_ptr<ViewController> controller = ViewController::create();
    std::map<QString, int> installs;
    QStringList ran;
};

TEST_F(PlatformHooksTest, InstallOnceInstallsAgainOnlyAfterARestoreAndMayNest)
{
    PlatformHooks::installOnce("component", installer("component"));
    PlatformHooks::installOnce("component", installer("component"));
    EXPECT_EQ(installs["component"], 1);
    EXPECT_EQ(lookUp(), QStringList{"component"});

    PlatformHooks::restoreDefaults();
    EXPECT_TRUE(lookUp().isEmpty());
    EXPECT_EQ(controller->navigationItem(), controller->navigationItemDirect());

    // The component's next object brings its hooks back, once.
    PlatformHooks::installOnce("component", installer("component"));
    PlatformHooks::installOnce("component", installer("component"));
    EXPECT_EQ(installs["component"], 2);
    EXPECT_EQ(lookUp(), QStringList{"component"});

    // An install may first install another component's hooks; installed last, the outer runs first.
    PlatformHooks::restoreDefaults();
    const auto inner = installer("inner");
    const auto outer = installer("outer");
    PlatformHooks::installOnce("outer", [&] {
        PlatformHooks::installOnce("inner", inner);
        outer();
    });
    PlatformHooks::installOnce("inner", inner);
    EXPECT_EQ(installs["inner"], 1);
    EXPECT_EQ(lookUp(), (QStringList{"outer", "inner"}));
}

} // namespace
