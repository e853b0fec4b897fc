#include "shell/RootViewController.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/core/Log.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "appbase/CommonUtil.h"
#include "shell/LeftViewController.h"
#include "shell/MainViewController.h"

#include <cmath>

std::shared_ptr<RootViewController> RootViewController::create()
{
    return std::shared_ptr<RootViewController>(new RootViewController());
}

void RootViewController::viewDidAppear(bool)
{
    auto window = view()->window();
    if (!window)
        return;
    CommonUtil::loadData();
    // Replacing the root from its own callback is safe: the window keeps this controller
    // alive until the next turn.
    window->setRootViewController(makeContainer());
}

std::shared_ptr<SidePanelController> RootViewController::makeContainer()
{
    auto home = MainViewController::create();
    auto menu = LeftViewController::create();
    menu->setDelegate(home);
    auto container = SidePanelController::create(home, menu);
    container->setDelegate(menu);
    container->setLeftSize(leftSize());
    return container;
}

double RootViewController::leftSize()
{
    // Measured only: the menu's button draws the image when the menu first opens.
    const ui::Size pixels = ui::Image::pixelSizeNamed(CommonUtil::getImageName("subjectbtn_02", ".png"));
    const double w = std::trunc(pixels.width / CommonUtil::getSystemScale() * CommonUtil::getScaleX());
    return CommonUtil::getSysWidth() - w;
}

void RootViewController::showSubject(const std::shared_ptr<void>&)
{
    core::log(QStringLiteral("RootViewController"), QStringLiteral("sdfdfdfff"));
}
