#include "platform/ui/MemoryWarning.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

class Recording : public ViewController {
public:
    static std::shared_ptr<Recording> create(const char* name, std::shared_ptr<QStringList> log)
    {
        auto c = std::shared_ptr<Recording>(new Recording());
        c->m_name = QString::fromLatin1(name);
        c->m_log = std::move(log);
        return c;
    }
    void didReceiveMemoryWarning() override { add("warning"); }   // never calls the base
    void viewDidUnload() override { add("unload"); }
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
