#include "components/sidepanel/SidePanelNavigation.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include <QImage>

namespace {
constexpr double kPushSlideDuration = 0.3;
}

std::shared_ptr<ui::NavigationController> SidePanelNavigation::enclosing(SidePanelController& panel)
{
    return std::dynamic_pointer_cast<ui::NavigationController>(panel.navigationController());
}

std::shared_ptr<ui::NavigationController> SidePanelNavigation::integrated(SidePanelController& panel)
{
    if (panel.navigationControllerBehavior() != SidePanelNavigationControllerBehavior::Integrated)
        return nullptr;
    return enclosing(panel);
}

std::shared_ptr<ui::NavigationBar> SidePanelNavigation::shownBar(const std::shared_ptr<ui::ViewController>& controller)
{
    auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(controller);
    if (!navigation || navigation->isNavigationBarHidden())
        return nullptr;
    return navigation->navigationBar();
}

std::shared_ptr<ui::NavigationController> SidePanelNavigation::barController(SidePanelController& panel)
{
    auto center = panel.centerController();
    if (!center)
        return nullptr;
    if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(center))
        return navigation;
    return std::dynamic_pointer_cast<ui::NavigationController>(center->navigationController());
}

void SidePanelNavigation::pushOverCenter(SidePanelController& panel, const std::shared_ptr<ui::ViewController>& controller)
{
    auto center = panel.centerController();
    if (!controller || !center)
        return;
    // A contained centre answers with the container's own navigation controller.
    auto target = std::dynamic_pointer_cast<ui::NavigationController>(center->navigationController());
    if (!target)
        target = std::dynamic_pointer_cast<ui::NavigationController>(center);
    if (!target)
        return;   // nothing takes the push: the right side is left as it is, with no snapshot over it
    auto self = std::static_pointer_cast<SidePanelController>(panel.shared_from_this());
    auto view = panel.view();
    const double scale = ui::Screen::main().scale();
    const QImage picture = ui::Renderer::renderLayer(*view->layer(), scale).convertToFormat(QImage::Format_RGB32);
    auto snapshot = ui::ImageView::create(ui::Image::fromQImage(picture, scale));
    snapshot->setFrame(view->frame());
    if (auto superview = view->superview())
        superview->insertSubviewAbove(snapshot, view);
    const ui::Rect frame = view->frame();
    view->setFrame(frame.offsetBy(frame.width(), 0));
    panel.closeRightViewAnimated(false);
    target->pushViewController(controller, false);
    panel.disableUserInteraction();
    ui::View::animate(kPushSlideDuration, 0, ui::AnimationOption::None,
                      [snapshot, view, frame] {
                          snapshot->setFrame(snapshot->frame().offsetBy(-view->frame().width(), 0));
                          view->setFrame(frame);
                      },
                      [self, snapshot](bool) {
                          self->enableUserInteraction();
                          snapshot->removeFromSuperview();
                      });
}
