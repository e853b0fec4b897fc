// A client that quits with a toast and the wait overlay still showing, as a user quitting
// mid-request would: run by ExitOrderTest, and under the sanitizers by the sanitized suite.
#include "appbase/CommonUtil.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/ApplicationMain.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace {

class ProbeDelegate : public ui::ApplicationDelegate {
public:
    bool didFinishLaunching(ui::Application&) override
    {
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->makeKeyAndVisible();
        auto root = ui::ViewController::create();
        m_window->setRootViewController(root);
        CommonUtil::errorAlert(QString::fromUtf8(CommonUtil::kNetworkMessage), root->view());
        CommonUtil::startHttp(root->view(), nullptr);
        return true;
    }

private:
    std::shared_ptr<ui::Window> m_window;
};

} // namespace

int main(int argc, char** argv)
{
    return ui::applicationMain(argc, argv, [] { return std::make_shared<ProbeDelegate>(); });
}
