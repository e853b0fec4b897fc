#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelCenterTapper.h"
#include "components/sidepanel/SidePanelContainment.h"
#include "components/sidepanel/SidePanelDecoration.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/SidePanelLayout.h"
#include "components/sidepanel/SidePanelLifecycle.h"
#include "components/sidepanel/SidePanelNavigation.h"
#include "components/sidepanel/SidePanelNotices.h"
#include "components/sidepanel/SidePanelPanTracker.h"
#include "components/sidepanel/SidePanelPreviewBounce.h"
#include "components/sidepanel/SidePanelRotationReplay.h"
#include "components/sidepanel/SidePanelSlide.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/core/Log.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Layer.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <stdexcept>

namespace {

using G = SidePanelGeometry;
using State = SidePanelAppearance;

} // namespace

// --- Construction and teardown ---------------------------------------------------------------

std::shared_ptr<SidePanelController> SidePanelController::create(ControllerPtr center, ControllerPtr left,
                                                                 ControllerPtr right, ControllerPtr top,
                                                                 ControllerPtr bottom)
{
    SidePanelItem::install();
    auto container = std::shared_ptr<SidePanelController>(new SidePanelController());
    container->commonInit(std::move(center));
    container->setLeftController(std::move(left));
    container->setRightController(std::move(right));
    container->setTopController(std::move(top));
    container->setBottomController(std::move(bottom));
    return container;
}

SidePanelController::SidePanelController()
    : m_panTracker(std::make_unique<SidePanelPanTracker>(*this))
    , m_previewBounce(std::make_unique<SidePanelPreviewBounce>(*this))
    , m_rotationReplay(std::make_unique<SidePanelRotationReplay>(*this))
    , m_containment(std::make_unique<SidePanelContainment>(*this))
    , m_decoration(std::make_unique<SidePanelDecoration>(*this))
    , m_slide(std::make_unique<SidePanelSlide>(*this))
    , m_notices(std::make_unique<SidePanelNotices>(*this))
    , m_centerTapperHelper(std::make_unique<SidePanelCenterTapper>(*this))
    , m_lifecycle(std::make_unique<SidePanelLifecycle>(*this))
    , m_layout(std::make_unique<SidePanelLayout>(*this))
{
}

void SidePanelController::commonInit(ControllerPtr center)
{
    // Every other setting starts at its member initialiser's value.
    setCenterController(std::move(center));
    for (SidePanelSide side : G::kSides)
        setController(nullptr, side);
    m_shadowLayer = SidePanelDecoration::makeShadowLayer();
    for (SidePanelSide side : {SidePanelSide::Bottom, SidePanelSide::Top, SidePanelSide::Right, SidePanelSide::Left})
        m_ledge[G::slot(side)] = 44.0;
}

SidePanelController::~SidePanelController()
{
    cleanup();
    m_containment->stopObservingTransitionKeys();
    m_containment->releaseAll();
    m_panTracker->m_panners.clear();
}

void SidePanelController::cleanup()
{
    forgetOriginalShadow();
    m_slidingController.reset();
    m_referenceView.reset();
    m_centerView.reset();
    m_centerTapper.reset();
    m_containment->stopObservingViewBounds();
    // The wait for a parent or a presenter outlives an unloaded view: side controllers still
    // queued are adopted when one comes.
}

void SidePanelController::forgetOriginalShadow()
{
    setOriginalShadowRadius(0);
    setOriginalShadowOpacity(0);
    setOriginalShadowColor(std::nullopt);
    setOriginalShadowOffset({});
    setOriginalShadowPath(std::nullopt);
}

void SidePanelController::didReceiveMemoryWarning()
{
    ui::ViewController::didReceiveMemoryWarning();
    for (const ControllerPtr& controller : memoryWarningRelays())
        ui::MemoryWarning::pass(controller);
}

// The top and bottom controllers are left to the platform.
std::vector<SidePanelController::ControllerPtr> SidePanelController::memoryWarningRelays() const
{
    std::vector<ControllerPtr> relays;
    for (const ControllerPtr& controller : {m_centerController, leftController(), rightController()}) {
        if (controller)
            relays.push_back(controller);
    }
    return relays;
}

void SidePanelController::viewDidUnload()
{
    cleanup();
    // The view made again appears for the first time again: its first appearance places the
    // controllers' views anew.
    m_viewsApplied = false;
    ui::ViewController::viewDidUnload();
}

std::shared_ptr<SidePanelController> SidePanelController::self()
{
    return std::static_pointer_cast<SidePanelController>(shared_from_this());
}

std::shared_ptr<SidePanelController> SidePanelController::of(ui::ViewController& controller)
{
    return SidePanelItem::sidePanelController(controller);
}

SidePanelView* SidePanelController::panelView() const
{
    return dynamic_cast<SidePanelView*>(viewIfLoaded().get());
}

// --- Controller lists ------------------------------------------------------------------------

std::vector<SidePanelController::ControllerPtr> SidePanelController::controllers() const
{
    std::vector<ControllerPtr> present;
    if (m_centerController)
        present.push_back(m_centerController);
    for (SidePanelSide side : G::kSides) {
        if (auto controller = controllerForSide(side))
            present.push_back(controller);
    }
    return present;
}

unsigned SidePanelController::sideControllerCount() const
{
    return static_cast<unsigned>(std::count_if(G::kSides, G::kSides + 4, [this](SidePanelSide side) { return hasController(side); }));
}

SidePanelController::ControllerPtr SidePanelController::controllerForSide(SidePanelSide side) const
{
    if (!G::isSide(side))
        return nullptr;
    return m_controllers[G::slot(side)];
}

SidePanelSide SidePanelController::oppositeOfSide(SidePanelSide side)
{
    return G::oppositeOfSide(side);
}

SidePanelSide SidePanelController::sideForController(const ui::ViewController* controller) const
{
    for (SidePanelSide side : G::kSides) {
        if (m_controllers[G::slot(side)].get() == controller)
            return side;
    }
    return NotFound;
}

void SidePanelController::doForControllers(const ControllerBlock& block) const
{
    if (!block)
        return;
    for (SidePanelSide side : G::kSides)
        block(controllerForSide(side), side);
}

// --- Side state, geometry, sizes and ledges (SidePanelLayout) -------------------------------

ui::Rect SidePanelController::slidingFrame() const
{
    return m_layout->slidingFrame();
}

bool SidePanelController::isSideClosed(SidePanelSide side) const
{
    return m_layout->isSideClosed(side);
}

bool SidePanelController::isSideOpen(SidePanelSide side) const
{
    return m_layout->isSideOpen(side);
}

bool SidePanelController::isAnySideOpen() const
{
    return std::any_of(G::kSides, G::kSides + 4, [this](SidePanelSide side) { return isSideOpen(side); });
}

ui::Rect SidePanelController::referenceBounds() const
{
    return m_layout->referenceBounds();
}

double SidePanelController::statusBarHeight() const
{
    const auto& application = ui::Application::shared();
    const ui::Rect frame = application.statusBarFrame();
    return ui::isLandscape(application.statusBarOrientation()) ? frame.width() : frame.height();
}

double SidePanelController::relativeStatusBarHeight() const
{
    return dynamic_cast<ui::Window*>(referenceView().get()) ? statusBarHeight() : 0;
}

ui::Rect SidePanelController::centerViewBounds() const
{
    return m_layout->centerViewBounds();
}

ui::Rect SidePanelController::sideViewBounds() const
{
    return m_layout->sideViewBounds();
}

double SidePanelController::limitOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return m_layout->limitOffset(offset, orientation);
}

ui::Rect SidePanelController::slidingRectForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return m_layout->slidingRectForOffset(offset, orientation);
}

ui::Size SidePanelController::slidingSizeForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return m_layout->slidingSizeForOffset(offset, orientation);
}

// The move animates only inside a view animation block, so the flag changes nothing here.
void SidePanelController::setSlidingFrameForOffset(double offset, bool limit, bool panning,
                                                   SidePanelOffsetOrientation orientation, bool /*animated*/)
{
    m_layout->setSlidingFrameForOffset(offset, limit, panning, orientation);
}

void SidePanelController::hideAppropriateSideViews()
{
    m_layout->hideAppropriateSideViews();
}

double SidePanelController::ledge(SidePanelSide side) const
{
    return G::isSide(side) ? m_ledge[G::slot(side)] : 0;
}

double SidePanelController::sizeAsLedge(double size, SidePanelSide side) const
{
    return m_layout->sizeAsLedge(size, side);
}

double SidePanelController::ledgeAsSize(double ledgeValue, SidePanelSizeMode mode, SidePanelSide side) const
{
    return m_layout->ledgeAsSize(ledgeValue, mode, side);
}

double SidePanelController::ledgeOffsetForSide(SidePanelSide side) const
{
    return m_layout->ledgeOffsetForSide(side);
}

void SidePanelController::setLedgeValue(double ledgeValue, SidePanelSide side)
{
    m_layout->setLedgeValue(ledgeValue, side);
}

void SidePanelController::setSize(double size, SidePanelSide side, SizeCompletion completion)
{
    m_layout->setSize(size, side, std::move(completion));
}

void SidePanelController::setMaxSize(double size, SizeCompletion completion)
{
    m_layout->setMaxSize(size, std::move(completion));
}

// --- View life cycle -------------------------------------------------------------------------

void SidePanelController::loadView()
{
    m_lifecycle->loadView();
}

void SidePanelController::viewDidLoad()
{
    m_lifecycle->viewDidLoad();
}

void SidePanelController::viewWillAppear(bool animated)
{
    m_lifecycle->viewWillAppear(animated);
}

void SidePanelController::viewDidAppear(bool animated)
{
    m_lifecycle->viewDidAppear(animated);
}

void SidePanelController::viewWillDisappear(bool animated)
{
    m_lifecycle->viewWillDisappear(animated);
}

void SidePanelController::viewDidDisappear(bool animated)
{
    m_lifecycle->viewDidDisappear(animated);
}

// --- State forwarding -------------------------------------------------------------------

SidePanelAppearance SidePanelController::sideAppearance(SidePanelSide side) const
{
    return m_notices->sideAppearance(side);
}

void SidePanelController::notifyAppearanceForSide(SidePanelSide side, bool animated, State from, State to)
{
    m_notices->notifyAppearanceForSide(side, animated, from, to);
}

void SidePanelController::transitionAppearanceFrom(State from, State to, bool animated)
{
    m_notices->transitionAppearanceFrom(from, to, animated);
}

// --- Notices and checks ----------------------------------------------------------------------

void SidePanelController::notifyWillOpenSide(SidePanelSide side, bool animated)
{
    m_notices->notifyWillOpenSide(side, animated);
}

void SidePanelController::notifyDidOpenSide(SidePanelSide side, bool animated)
{
    m_notices->notifyDidOpenSide(side, animated);
}

void SidePanelController::notifyWillCloseSide(SidePanelSide side, bool animated)
{
    m_notices->notifyWillCloseSide(side, animated);
}

void SidePanelController::notifyDidCloseSide(SidePanelSide side, bool animated)
{
    m_notices->notifyDidCloseSide(side, animated);
}

void SidePanelController::notifyDidChangeOffset(double offset, SidePanelOffsetOrientation orientation, bool panning)
{
    m_notices->notifyDidChangeOffset(offset, orientation, panning);
}

bool SidePanelController::checkCanOpenSide(SidePanelSide side)
{
    return m_notices->checkCanOpenSide(side);
}

bool SidePanelController::checkCanCloseSide(SidePanelSide side, bool animated)
{
    return m_notices->checkCanCloseSide(side, animated);
}

void SidePanelController::setCenterhiddenInteractivity(SidePanelCenterHiddenInteractivity interactivity)
{
    m_centerhiddenInteractivity = interactivity;
    if (!isAnySideOpen())
        return;
    if (interactivity != SidePanelCenterHiddenInteractivity::Interactive)
        centerViewHidden();
    else
        centerViewVisible();
}

// --- Center tapper and interaction -----------------------------------------------------------

void SidePanelController::centerViewHidden()
{
    m_centerTapperHelper->centerViewHidden();
}

void SidePanelController::centerViewVisible()
{
    m_centerTapperHelper->centerViewVisible();
}

void SidePanelController::centerTapped()
{
    m_centerTapperHelper->centerTapped();
}

void SidePanelController::disableUserInteraction()
{
    m_centerTapperHelper->disableUserInteraction();
}

void SidePanelController::enableUserInteraction()
{
    m_centerTapperHelper->enableUserInteraction();
}

void SidePanelController::setAccessibilityForCenterTapper()
{
    m_centerTapperHelper->setAccessibilityForCenterTapper();
}

void SidePanelController::setCenterTapperAccessibilityLabel(const QString& label)
{
    m_centerTapperHelper->setCenterTapperAccessibilityLabel(label);
}

void SidePanelController::setCenterTapperAccessibilityHint(const QString& hint)
{
    m_centerTapperHelper->setCenterTapperAccessibilityHint(hint);
}

// --- Opening and closing ---------------------------------------------------------------------

void SidePanelController::hideControllerViewForSide(bool hide, SidePanelSide side)
{
    m_slide->hideControllerViewForSide(hide, side);
}

bool SidePanelController::openSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    return m_slide->openSideView(side, animated, duration, std::move(completion));
}

bool SidePanelController::closeSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    return m_slide->closeSideView(side, animated, duration, std::move(completion));
}

bool SidePanelController::openSideViewBouncing(SidePanelSide side, double bounceOffset, double targetOffset,
                                               Bounced bounced, Completion completion)
{
    return m_slide->openSideViewBouncing(side, bounceOffset, targetOffset, std::move(bounced), std::move(completion));
}

bool SidePanelController::closeSideViewBouncing(SidePanelSide side, double bounceOffset, Bounced bounced,
                                                Completion completion)
{
    return m_slide->closeSideViewBouncing(side, bounceOffset, std::move(bounced), std::move(completion));
}

bool SidePanelController::toggleOpenViewAnimated(bool animated, Completion completion)
{
    return m_slide->toggleOpenViewAnimated(animated, std::move(completion));
}

bool SidePanelController::closeOpenViewAnimated(bool animated, double duration, Completion completion)
{
    return m_slide->closeOpenViewAnimated(animated, duration, std::move(completion));
}

bool SidePanelController::closeOpenViewBouncing(Bounced bounced, Completion completion)
{
    return m_slide->closeOpenViewBouncing(std::move(bounced), std::move(completion));
}

// --- Per-side commands -----------------------------------------------------------------------

bool SidePanelController::toggleSide(SidePanelSide side, bool animated, Completion completion)
{
    return m_slide->toggleSide(side, animated, std::move(completion));
}

bool SidePanelController::openSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return m_slide->openSideBouncing(side, std::move(bounced), std::move(completion));
}

bool SidePanelController::closeSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return m_slide->closeSideBouncing(side, std::move(bounced), std::move(completion));
}

// --- Preview bounce --------------------------------------------------------------------------

bool SidePanelController::previewBounceView(SidePanelSide side, double distance, double duration,
                                            double numberOfBounces, double dampingFactor, bool callDelegate,
                                            Completion completion)
{
    return m_previewBounce->previewBounceView(side, distance, duration, numberOfBounces, dampingFactor, callDelegate, std::move(completion));
}

std::optional<std::vector<float>> SidePanelController::bouncingValuesForViewSide(SidePanelSide side, double maximumBounce,
                                                                                 double numberOfBounces,
                                                                                 double dampingFactor, double duration) const
{
    return m_previewBounce->bouncingValuesForViewSide(side, maximumBounce, numberOfBounces, dampingFactor, duration);
}

bool SidePanelController::canRightViewPushViewControllerOverCenterController() const
{
    return dynamic_cast<ui::NavigationController*>(m_centerController.get()) != nullptr;
}

void SidePanelController::rightViewPushViewControllerOverCenterController(const ControllerPtr& controller)
{
    SidePanelNavigation::pushOverCenter(*this, controller);
}

std::vector<std::type_index> SidePanelController::viewClassesWithDisabledPan() const
{
    return m_disabledPanClasses.classes();
}

void SidePanelController::relayRotationMethod(const std::function<void(const ControllerPtr&)>& method)
{
    m_rotationReplay->relayRotationMethod(method);
}

// --- Rotation --------------------------------------------------------------------------------

bool SidePanelController::shouldAutorotate()
{
    return m_rotationReplay->shouldAutorotate();
}

bool SidePanelController::shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation)
{
    return m_rotationReplay->shouldAutorotateToInterfaceOrientation(orientation);
}

unsigned SidePanelController::supportedInterfaceOrientations()
{
    return m_rotationReplay->supportedInterfaceOrientations();
}

ui::InterfaceOrientation SidePanelController::preferredInterfaceOrientationForPresentation()
{
    return m_rotationReplay->preferredInterfaceOrientationForPresentation();
}

void SidePanelController::willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    m_rotationReplay->willRotateToInterfaceOrientation(orientation, duration);
}

void SidePanelController::willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    m_rotationReplay->willAnimateRotationToInterfaceOrientation(orientation, duration);
}

void SidePanelController::didRotateFromInterfaceOrientation(ui::InterfaceOrientation from)
{
    m_rotationReplay->didRotateFromInterfaceOrientation(from);
}

void SidePanelController::arrangeViewsAfterRotation()
{
    m_rotationReplay->arrangeViewsAfterRotation();
}

// --- Containment -----------------------------------------------------------------------------

std::shared_ptr<ui::View> SidePanelController::slidingControllerView() const
{
    return m_containment->slidingControllerView();
}

void SidePanelController::setCenterController(ControllerPtr controller)
{
    m_containment->setCenterController(std::move(controller));
}

QString SidePanelController::title() const
{
    return m_containment->title();
}

void SidePanelController::setTitle(const QString& title)
{
    m_containment->setTitle(title);
}

void SidePanelController::setAutomaticallyUpdateTabBarItems(bool automatically)
{
    m_containment->setAutomaticallyUpdateTabBarItems(automatically);
}

void SidePanelController::setController(ControllerPtr controller, SidePanelSide side)
{
    m_containment->setController(std::move(controller), side);
}

// --- Guarded setters -------------------------------------------------------------------------

void SidePanelController::setBounceDurationFactor(double factor)
{
    m_bounceDurationFactor = std::min(std::max(factor, 0.0), double(0.99f));
}

void SidePanelController::setNavigationControllerBehavior(SidePanelNavigationControllerBehavior behavior)
{
    if (m_viewFirstAppeared)
        throw std::logic_error("Cannot set navigationcontroller behavior when the side panel is already showing.");
    m_navigationControllerBehavior = behavior;
}

void SidePanelController::setPanningMode(SidePanelPanningMode mode)
{
    m_panningMode = mode;
    if (m_viewFirstAppeared)
        m_panTracker->setNeedsAddPanners();
}

void SidePanelController::setPanningView(std::shared_ptr<ui::View> view)
{
    if (view == m_panningView)
        return;
    m_panningView = std::move(view);
    if (m_viewFirstAppeared && m_panningMode == SidePanelPanningMode::PanningView)
        m_panTracker->setNeedsAddPanners();
}

void SidePanelController::setPanningCancelsTouchesInView(bool cancels)
{
    m_panningCancelsTouchesInView = cancels;
    for (const auto& panner : m_panTracker->m_panners)
        panner->setCancelsTouchesInView(cancels);
}

// --- Panning (SidePanelPanTracker) ----------------------------------------------------------

const std::vector<std::shared_ptr<ui::GestureRecognizer>>& SidePanelController::panners() const
{
    return m_panTracker->m_panners;
}

void SidePanelController::setPanners(std::vector<std::shared_ptr<ui::GestureRecognizer>> panners)
{
    m_panTracker->m_panners = std::move(panners);
}

std::optional<bool> SidePanelController::shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch)
{
    return m_panTracker->shouldReceiveTouch(recognizer, touch);
}

std::optional<bool> SidePanelController::gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer)
{
    return m_panTracker->gestureRecognizerShouldBegin(recognizer);
}

std::optional<bool> SidePanelController::shouldRecognizeSimultaneouslyWithGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                                            ui::GestureRecognizer& other)
{
    return m_panTracker->shouldRecognizeSimultaneouslyWithGestureRecognizer(recognizer, other);
}

void SidePanelController::panned(ui::GestureRecognizer& recognizer)
{
    m_panTracker->panned(recognizer);
}

// --- Shadow, opacity and corners of the sliding view -----------------------------------------

void SidePanelController::setCenterViewOpacity(double opacity)
{
    m_decoration->setCenterViewOpacity(opacity);
}

void SidePanelController::applyCenterViewOpacityIfNeeded()
{
    m_decoration->applyCenterViewOpacityIfNeeded();
}

void SidePanelController::setCenterViewCornerRadius(double radius)
{
    m_decoration->setCenterViewCornerRadius(radius);
}

ui::Path SidePanelController::generateCenterViewCornerRadiusPath() const
{
    return m_decoration->generateCenterViewCornerRadiusPath();
}

void SidePanelController::applyCenterViewCornerRadiusAnimated(bool animated)
{
    m_decoration->applyCenterViewCornerRadiusAnimated(animated);
}

void SidePanelController::setShadowEnabled(bool enabled, bool animated)
{
    m_decoration->setShadowEnabled(enabled, animated);
}

void SidePanelController::restoreShadowToSlidingView()
{
    m_decoration->restoreShadowToSlidingView();
}

void SidePanelController::applyShadowToSlidingViewAnimated(bool animated)
{
    m_decoration->applyShadowToSlidingViewAnimated(animated);
}
