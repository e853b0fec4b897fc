#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "components/sidepanel/SidePanelGeometry.h"
#include "components/sidepanel/SidePanelItem.h"
#include "components/sidepanel/SidePanelView.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Log.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/KeyframeAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ShapeLayer.h"
#include "platform/ui/TabBarItem.h"
#include "platform/ui/TimingFunction.h"
#include "platform/ui/Touch.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

using G = SidePanelGeometry;
using State = SidePanelAppearance;

constexpr SidePanelSide kSides[] = {SidePanelSide::Left, SidePanelSide::Right, SidePanelSide::Top, SidePanelSide::Bottom};
constexpr unsigned kStandardOptions = ui::AnimationOption::LayoutSubviews | ui::AnimationOption::BeginFromCurrentState;
constexpr unsigned kFlexibleSize = ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight;
// Below this release speed (points per second) a pan settles by position, at or above it by direction.
constexpr double kFlingSpeed = 500;

QString previewBounceKey()
{
    return QStringLiteral("previewBounceAnimation");
}

bool isHorizontal(SidePanelOffsetOrientation orientation)
{
    return orientation == SidePanelOffsetOrientation::Horizontal;
}

// The sides an axis reveals: positive offsets the first, negative ones the second.
SidePanelSide firstSide(SidePanelOffsetOrientation orientation)
{
    return isHorizontal(orientation) ? SidePanelSide::Left : SidePanelSide::Top;
}

SidePanelSide secondSide(SidePanelOffsetOrientation orientation)
{
    return isHorizontal(orientation) ? SidePanelSide::Right : SidePanelSide::Bottom;
}

double along(const ui::Point& point, SidePanelOffsetOrientation orientation)
{
    return isHorizontal(orientation) ? point.x : point.y;
}

std::size_t slot(SidePanelSide side)
{
    return static_cast<std::size_t>(side);
}

void call(const SidePanelController::Completion& completion, SidePanelController& container, bool success)
{
    if (completion)
        completion(container, success);
}

// A missing title differs from an empty one.
bool sameTitle(const QString& a, const QString& b)
{
    return a.isNull() == b.isNull() && a == b;
}

enum class AppearanceMessage { None, WillAppear, DidAppear, WillDisappear, DidDisappear };

// Which appearance callback a step from one state to another sends.
AppearanceMessage appearanceMessage(State from, State to)
{
    if (from >= to) {
        if (to == State::Transitioning)
            return AppearanceMessage::WillDisappear;
        if (to == State::Hidden)
            return AppearanceMessage::DidDisappear;
        return AppearanceMessage::None;
    }
    if (to == State::Transitioning)
        return AppearanceMessage::WillAppear;
    if (to == State::Shown)
        return AppearanceMessage::DidAppear;
    return AppearanceMessage::None;
}

void send(ui::ViewController& controller, AppearanceMessage message, bool animated)
{
    switch (message) {
    case AppearanceMessage::WillAppear: controller.viewWillAppear(animated); break;
    case AppearanceMessage::DidAppear: controller.viewDidAppear(animated); break;
    case AppearanceMessage::WillDisappear: controller.viewWillDisappear(animated); break;
    case AppearanceMessage::DidDisappear: controller.viewDidDisappear(animated); break;
    case AppearanceMessage::None: break;
    }
}

// The last steps of letting a contained controller go: the back reference first, then the
// platform's removal, so that the controller already reads no container when it hears it moved.
void letGo(ui::ViewController& controller)
{
    SidePanelItem::setSidePanelController(controller, nullptr);
    controller.removeFromParentViewController();
    controller.didMoveToParentViewController(nullptr);
}

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

SidePanelController::SidePanelController() = default;

void SidePanelController::commonInit(ControllerPtr center)
{
    m_elastic = true;
    m_willAppearShouldArrangeViewsAfterRotation = ui::InterfaceOrientation::Unknown;
    m_panningMode = SidePanelPanningMode::SlidingView;
    m_panningCancelsTouchesInView = true;
    m_navigationControllerBehavior = SidePanelNavigationControllerBehavior::Contained;
    m_centerhiddenInteractivity = SidePanelCenterHiddenInteractivity::Interactive;
    m_sizeMode = SidePanelSizeMode::Ledge;
    m_viewAppeared = State::Hidden;
    m_viewFirstAppeared = false;
    m_resizesCenterView = false;
    m_automaticallyUpdateTabBarItems = false;
    m_centerViewOpacity = 1.0;
    m_centerViewCornerRadius = 0;
    setPanners({});
    setEnabled(true);
    m_offset = 0;
    m_bounceDurationFactor = 0.3;
    m_openSlideAnimationDuration = 0.3;
    m_closeSlideAnimationDuration = 0.3;
    m_offsetOrientation = SidePanelOffsetOrientation::Horizontal;
    // Our platform has neither a slider nor a table reorder control, so nothing is
    // pan-disabled until a caller says so.
    m_disabledPanClasses.clear();
    m_delegate.reset();
    m_delegateMode = SidePanelDelegateMode::DelegateOnly;
    forgetOriginalShadow();
    m_slidingController.reset();
    setCenterController(std::move(center));
    for (SidePanelSide side : kSides)
        setController(nullptr, side);
    m_shadowEnabled = true;
    m_shadowLayer = ui::Layer::create();
    m_shadowLayer->setMasksToBounds(false);
    m_shadowLayer->setShadowRadius(10.0);
    m_shadowLayer->setShadowOpacity(0.5);
    m_shadowLayer->setShadowColor(ui::Color::black());
    m_shadowLayer->setShadowOffset({});
    for (SidePanelSide side : {SidePanelSide::Bottom, SidePanelSide::Top, SidePanelSide::Right, SidePanelSide::Left})
        m_ledge[slot(side)] = 44.0;
}

SidePanelController::~SidePanelController()
{
    cleanup();
    // The back references are weak and already read null; the rest of the teardown lets the
    // contained controllers know they have left.
    auto release = [](const ControllerPtr& controller) {
        if (!controller)
            return;
        controller->willMoveToParentViewController(nullptr);
        letGo(*controller);
    };
    if (m_centerController && m_centerTitleObserver)
        m_centerController->removeObserver(m_centerTitleObserver);
    release(m_centerController);
    for (SidePanelSide side : kSides)
        release(m_controllers[slot(side)]);
    m_panners.clear();
}

void SidePanelController::cleanup()
{
    forgetOriginalShadow();
    m_slidingController.reset();
    m_referenceView.reset();
    m_centerView.reset();
    m_centerTapper.reset();
    stopObservingViewBounds();
    stopObservingTransitionKeys();
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
    for (const ControllerPtr& controller : {m_centerController, leftController(), rightController()}) {
        if (controller)
            controller->didReceiveMemoryWarning();
    }
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
    for (SidePanelSide side : kSides) {
        if (auto controller = controllerForSide(side))
            present.push_back(controller);
    }
    return present;
}

unsigned SidePanelController::sideControllerCount() const
{
    return static_cast<unsigned>(std::count_if(kSides, kSides + 4, [this](SidePanelSide side) { return hasController(side); }));
}

SidePanelController::ControllerPtr SidePanelController::controllerForSide(SidePanelSide side) const
{
    if (!G::isSide(side))
        return nullptr;
    return m_controllers[slot(side)];
}

SidePanelSide SidePanelController::oppositeOfSide(SidePanelSide side)
{
    return G::oppositeOfSide(side);
}

SidePanelSide SidePanelController::sideForController(const ui::ViewController* controller) const
{
    for (SidePanelSide side : kSides) {
        if (m_controllers[slot(side)].get() == controller)
            return side;
    }
    return NotFound;
}

void SidePanelController::doForControllers(const ControllerBlock& block) const
{
    if (!block)
        return;
    for (SidePanelSide side : kSides)
        block(controllerForSide(side), side);
}

// --- Side state ------------------------------------------------------------------------------

ui::Rect SidePanelController::slidingFrame() const
{
    auto sliding = slidingControllerView();
    return sliding ? sliding->frame() : ui::Rect();
}

bool SidePanelController::isSideClosed(SidePanelSide side) const
{
    if (!hasController(side))
        return true;
    return G::isSideClosed(side, slidingFrame(), referenceBounds().size);
}

bool SidePanelController::isSideOpen(SidePanelSide side) const
{
    if (!hasController(side))
        return false;
    return G::isSideOpen(side, slidingFrame(), referenceBounds().size, ledge(side));
}

bool SidePanelController::isAnySideOpen() const
{
    return std::any_of(kSides, kSides + 4, [this](SidePanelSide side) { return isSideOpen(side); });
}

bool SidePanelController::isSideTransitioning(SidePanelSide side) const
{
    return !isSideClosed(side) && !isSideOpen(side);
}

// --- Geometry --------------------------------------------------------------------------------

ui::Rect SidePanelController::referenceBounds() const
{
    return m_referenceView ? m_referenceView->bounds() : ui::Screen::main().bounds();
}

double SidePanelController::statusBarHeight() const
{
    // Our platform draws no status bar: its frame is empty in every orientation.
    return 0;
}

double SidePanelController::relativeStatusBarHeight() const
{
    return dynamic_cast<ui::Window*>(m_referenceView.get()) ? statusBarHeight() : 0;
}

ui::Rect SidePanelController::centerViewBounds() const
{
    ui::Rect bounds = referenceBounds();
    if (m_navigationControllerBehavior != SidePanelNavigationControllerBehavior::Integrated)
        return bounds;
    // No navigation bar exists on our platform, so only the status bar could shorten it.
    bounds.size.height -= relativeStatusBarHeight();
    return bounds;
}

ui::Rect SidePanelController::sideViewBounds() const
{
    ui::Rect bounds = referenceBounds();
    if (m_navigationControllerBehavior != SidePanelNavigationControllerBehavior::Integrated)
        return bounds;
    const double statusBar = relativeStatusBarHeight();
    bounds.origin.y += statusBar;
    bounds.size.height -= statusBar;
    return bounds;
}

double SidePanelController::limitOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    const bool horizontal = orientation == SidePanelOffsetOrientation::Horizontal;
    const bool first = hasController(horizontal ? SidePanelSide::Left : SidePanelSide::Top);
    const bool second = hasController(horizontal ? SidePanelSide::Right : SidePanelSide::Bottom);
    return G::limitOffset(offset, orientation, referenceBounds().size, m_maxLedge, first, second);
}

ui::Rect SidePanelController::slidingRectForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return G::slidingRect(limitOffset(offset, orientation), orientation, m_resizesCenterView, referenceBounds().size,
                          centerViewBounds());
}

ui::Size SidePanelController::slidingSizeForOffset(double offset, SidePanelOffsetOrientation orientation) const
{
    return G::slidingSize(limitOffset(offset, orientation), orientation, m_resizesCenterView, referenceBounds().size,
                          centerViewBounds());
}

void SidePanelController::setSlidingFrameForOffset(double offset, SidePanelOffsetOrientation orientation, bool animated)
{
    setSlidingFrameForOffset(offset, true, false, orientation, animated);
}

void SidePanelController::panToSlidingFrameForOffset(double offset, SidePanelOffsetOrientation orientation, bool animated)
{
    setSlidingFrameForOffset(offset, true, true, orientation, animated);
}

void SidePanelController::setSlidingFrameForOffset(double offset, bool limit, SidePanelOffsetOrientation orientation,
                                                   bool animated)
{
    setSlidingFrameForOffset(offset, limit, false, orientation, animated);
}

void SidePanelController::setSlidingFrameForOffset(double offset, bool limit, bool panning,
                                                   SidePanelOffsetOrientation orientation, bool /*animated*/)
{
    const double previous = m_offset;
    m_offset = limit ? limitOffset(offset, orientation) : offset;
    m_offsetOrientation = orientation;
    auto sliding = slidingControllerView();
    if (sliding)
        sliding->setFrame(slidingRectForOffset(m_offset, orientation));
    followSlidingViewWithShadow(sliding.get());
    setParallax();
    if (m_offset != previous)
        notifyDidChangeOffset(m_offset, orientation, panning);
}

void SidePanelController::followSlidingViewWithShadow(ui::View* sliding)
{
    if (!m_shadowLayer)
        return;
    auto slidingLayer = sliding ? sliding->layer() : nullptr;
    auto running = slidingLayer ? std::dynamic_pointer_cast<const ui::BasicAnimation>(slidingLayer->animationForKey(QStringLiteral("position")))
                                : nullptr;
    m_shadowLayer->setFrame(slidingLayer ? slidingLayer->frame() : ui::Rect());
    if (!running) {
        // A zero-length follow animation would only cancel one still running; on our
        // platform a zero duration means the default, so cancel it directly.
        m_shadowLayer->removeAnimationForKey(QStringLiteral("position"));
        return;
    }
    auto follow = ui::BasicAnimation::create(QStringLiteral("position"));
    follow->setDuration(running->duration());
    follow->setBeginTime(running->beginTime());
    follow->setFillMode(ui::Animation::FillMode::Forwards);
    follow->setFromValue(running->fromValue());
    follow->setToValue(ui::hasValue(running->toValue()) ? running->toValue() : ui::AnimatableValue(slidingLayer->position()));
    follow->setTimingFunction(running->timingFunction());
    m_shadowLayer->addAnimation(follow, QStringLiteral("position"));
}

void SidePanelController::hideAppropriateSideViews()
{
    const ui::Rect frame = slidingFrame();
    const ui::Size reference = referenceBounds().size;
    hideControllerViewForSide(frame.minX() <= 0, SidePanelSide::Left);
    hideControllerViewForSide(frame.maxX() >= reference.width, SidePanelSide::Right);
    hideControllerViewForSide(frame.minY() <= 0, SidePanelSide::Top);
    hideControllerViewForSide(frame.maxY() >= reference.height, SidePanelSide::Bottom);
}

// --- Sizes and ledges ------------------------------------------------------------------------

double SidePanelController::ledge(SidePanelSide side) const
{
    return G::isSide(side) ? m_ledge[slot(side)] : 0;
}

double SidePanelController::viewSizeForSide(SidePanelSide side) const
{
    return ledgeAsSize(ledge(side), SidePanelSizeMode::ViewSize, side);
}

double SidePanelController::sizeAsLedge(double size, SidePanelSide side) const
{
    return G::sizeAsLedge(size, side, m_sizeMode, referenceBounds().size);
}

double SidePanelController::ledgeAsSize(double ledgeValue, SidePanelSizeMode mode, SidePanelSide side) const
{
    return G::ledgeAsSize(ledgeValue, side, mode, referenceBounds().size);
}

double SidePanelController::ledgeAsSize(double ledgeValue, SidePanelSide side) const
{
    return ledgeAsSize(ledgeValue, m_sizeMode, side);
}

double SidePanelController::sizeForSide(SidePanelSide side) const
{
    return ledgeAsSize(ledge(side), side);
}

double SidePanelController::ledgeOffsetForSide(SidePanelSide side) const
{
    return G::ledgeOffset(side, ledge(side), referenceBounds().size);
}

void SidePanelController::setLedgeValue(double ledgeValue, SidePanelSide side)
{
    if (!G::isSide(side))
        return;
    if (m_maxLedge > 0)
        ledgeValue = std::min(ledgeValue, m_maxLedge);
    m_ledge[slot(side)] = performDelegateLedge(ledgeValue, side);
}

bool SidePanelController::standsFullyOpenAtLedge(SidePanelSide side) const
{
    const ui::Rect frame = slidingFrame();
    const double along = G::isHorizontal(side) ? frame.minX() : frame.minY();
    return along == ledgeOffsetForSide(side);
}

void SidePanelController::setSize(double size, SidePanelSide side, SizeCompletion completion)
{
    const double newLedge = sizeAsLedge(size, side);
    if (!G::isSide(side))
        return;
    const double current = ledge(side);
    if (m_viewFirstAppeared && standsFullyOpenAtLedge(side) && newLedge != current) {
        auto self = this->self();
        const double duration = newLedge < current ? closeSlideDuration(true) : openSlideDuration(true);
        ui::View::animate(duration, 0, ui::AnimationOption::None,
            [self, side, newLedge] {
                const double open = G::ledgeOffset(side, newLedge, self->referenceBounds().size);
                self->setSlidingFrameForOffset(open, G::orientationOfSide(side), true);
            },
            [completion](bool finished) {
                if (completion)
                    completion(finished);
            });
    }
    setLedgeValue(newLedge, side);
}

void SidePanelController::setMaxSize(double size, SizeCompletion completion)
{
    if (sideControllerCount() >= 2) {
        core::log(QStringLiteral("sidepanel"),
                  QStringLiteral("SidePanelController: warning: setting maxLedge with more than one side controllers. "
                                 "Value will be ignored."));
        return;
    }
    doForControllers([&](const ControllerPtr& controller, SidePanelSide side) {
        if (!controller)
            return;
        m_maxLedge = sizeAsLedge(size, side);
        if (ledge(side) > m_maxLedge)
            setSize(size, side, completion);
        else if (completion)
            completion(false);
        setSlidingFrameForOffset(m_offset, G::orientationOfSide(side), true);
    });
}

// --- View life cycle -------------------------------------------------------------------------

void SidePanelController::loadView()
{
    m_offset = 0;
    m_viewFirstAppeared = false;
    m_viewAppeared = State::Hidden;
    auto view = SidePanelView::create(ui::Screen::main().bounds());
    // Our platform has no navigation controller that could present the container, so the
    // view never needs its offset adjusted on the way in.
    view->setAutoresizingMask(kFlexibleSize);
    view->setAutoresizesSubviews(true);
    view->setClipsToBounds(true);
    setView(view);
}

void SidePanelController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    m_centerView = ui::View::create();
    m_centerView->setAutoresizingMask(kFlexibleSize);
    m_centerView->setAutoresizesSubviews(true);
    m_centerView->setClipsToBounds(true);
    view()->addSubview(m_centerView);
    forgetOriginalShadow();
}

void SidePanelController::viewWillAppear(bool animated)
{
    ui::ViewController::viewWillAppear(animated);
    observeViewBounds();
    if (!m_viewFirstAppeared) {
        m_viewFirstAppeared = true;
        const bool appliedNow = setSlidingAndReferenceViews();
        if (appliedNow)
            applyViews();
        auto self = this->self();
        core::afterDelay(0.001, [self, appliedNow] {
            if (!appliedNow)
                self->applyViews();
            self->setSlidingFrameForOffset(self->m_offset, self->m_offsetOrientation, true);
            self->hideAppropriateSideViews();
        });
        setNeedsAddPanners();
        const bool allClosed = std::all_of(kSides, kSides + 4, [this](SidePanelSide side) { return isSideClosed(side); });
        if (allClosed)
            centerViewVisible();
        else
            centerViewHidden();
    } else if (m_willAppearShouldArrangeViewsAfterRotation != ui::InterfaceOrientation::Unknown) {
        replayRotation();
    }
    if (shouldManageAppearanceMethods() && m_centerController)
        m_centerController->viewWillAppear(animated);
    transitionAppearanceFrom(State::Hidden, State::Transitioning, animated);
    if (m_navigationControllerBehavior == SidePanelNavigationControllerBehavior::Integrated) {
        auto self = this->self();
        core::afterDelay(0.01, [self] {
            auto sliding = self->slidingControllerView();
            if (sliding)
                sliding->setFrame(ui::Rect(self->m_willAppearOffset, sliding->frame().size));
        });
    }
    m_viewAppeared = State::Transitioning;
}

void SidePanelController::replayRotation()
{
    // The recorded orientation is cleared by the will-animate step; the did-rotate step is
    // told the orientation that was recorded, which is the one the interface had.
    const ui::InterfaceOrientation recorded = m_willAppearShouldArrangeViewsAfterRotation;
    willRotateToInterfaceOrientation(interfaceOrientation(), 0);
    willAnimateRotationToInterfaceOrientation(interfaceOrientation(), 0);
    didRotateFromInterfaceOrientation(recorded);
}

void SidePanelController::applyViews()
{
    if (m_viewsApplied)
        return;
    m_viewsApplied = true;
    if (m_centerController && m_centerView) {
        auto centerControllerView = m_centerController->view();
        centerControllerView->removeFromSuperview();
        m_centerView->addSubview(centerControllerView);
    }
    auto sliding = slidingControllerView();
    for (SidePanelSide side : kSides) {
        auto controller = controllerForSide(side);
        if (!controller || !m_referenceView)
            continue;
        auto sideView = controller->view();
        sideView->removeFromSuperview();
        m_referenceView->insertSubviewBelow(sideView, sliding);
    }
    setSlidingFrameForOffset(m_offset, m_offsetOrientation, true);
    if (sliding)
        sliding->setHidden(false);
    if (m_centerView)
        m_centerView->setFrame(centerViewBounds());
    if (m_centerController && m_centerView) {
        auto centerControllerView = m_centerController->view();
        centerControllerView->setAutoresizingMask(kFlexibleSize);
        centerControllerView->setFrame(m_centerView->bounds());
    }
    for (SidePanelSide side : kSides) {
        auto controller = controllerForSide(side);
        if (!controller)
            continue;
        auto sideView = controller->view();
        sideView->setFrame(sideViewBounds());
        sideView->setAutoresizingMask(kFlexibleSize);
    }
    applyCenterViewCornerRadiusAnimated(false);
    applyShadowToSlidingViewAnimated(false);
    applyCenterViewOpacityIfNeeded();
}

void SidePanelController::viewDidAppear(bool animated)
{
    ui::ViewController::viewDidAppear(animated);
    if (shouldManageAppearanceMethods() && m_centerController)
        m_centerController->viewDidAppear(animated);
    transitionAppearanceFrom(State::Transitioning, State::Shown, animated);
    m_viewAppeared = State::Shown;
}

void SidePanelController::viewWillDisappear(bool animated)
{
    ui::ViewController::viewWillDisappear(animated);
    if (shouldManageAppearanceMethods() && m_centerController)
        m_centerController->viewWillDisappear(animated);
    transitionAppearanceFrom(State::Shown, State::Transitioning, animated);
    m_viewAppeared = State::Transitioning;
}

void SidePanelController::viewDidDisappear(bool animated)
{
    ui::ViewController::viewDidDisappear(animated);
    if (m_navigationControllerBehavior == SidePanelNavigationControllerBehavior::Integrated) {
        if (auto sliding = slidingControllerView())
            m_willAppearOffset = sliding->frame().origin;
    }
    stopObservingViewBounds();
    if (shouldManageAppearanceMethods() && m_centerController)
        m_centerController->viewDidDisappear(animated);
    transitionAppearanceFrom(State::Transitioning, State::Hidden, animated);
    m_viewAppeared = State::Hidden;
}

void SidePanelController::observeViewBounds()
{
    auto view = panelView();
    if (!view)
        return;
    // The view reports each layout pass; only a change of bounds matters here.
    m_observedBounds = view->bounds();
    std::weak_ptr<SidePanelController> weak = self();
    view->onLayout = [weak] {
        if (auto container = weak.lock())
            container->viewBoundsMayHaveChanged();
    };
}

void SidePanelController::stopObservingViewBounds()
{
    if (auto view = panelView())
        view->onLayout = nullptr;
}

void SidePanelController::viewBoundsMayHaveChanged()
{
    auto view = panelView();
    if (!view || view->bounds() == m_observedBounds)
        return;
    m_observedBounds = view->bounds();
    setSlidingFrameForOffset(m_offset, m_offsetOrientation, false);
    if (auto sliding = slidingControllerView())
        sliding->layer()->setShadowPath(ui::Path::rect(referenceBounds()));
}

// --- State forwarding -------------------------------------------------------------------

SidePanelAppearance SidePanelController::sideAppearance(SidePanelSide side) const
{
    return G::isSide(side) ? m_sideAppeared[slot(side)] : State::Hidden;
}

void SidePanelController::notifyAppearanceForSide(SidePanelSide side, bool animated, State from, State to)
{
    if (!G::isSide(side))
        return;
    State& state = m_sideAppeared[slot(side)];
    if (m_viewAppeared < to) {
        // The container has not got that far itself; its own transitions deliver it later.
        state = to;
        return;
    }
    if (from >= to ? state < from : state > from)
        return;
    state = to;
    const AppearanceMessage message = appearanceMessage(from, to);
    auto controller = controllerForSide(side);
    if (!shouldManageAppearanceMethods() || message == AppearanceMessage::None || !controller)
        return;
    auto self = this->self();
    controller->loadViewIfNeeded();
    send(*controller, message, animated);
}

void SidePanelController::transitionAppearanceFrom(State from, State to, bool animated)
{
    const AppearanceMessage message = appearanceMessage(from, to);
    for (SidePanelSide side : kSides) {
        const State state = m_sideAppeared[slot(side)];
        if (from < to && state <= from)
            continue;
        if (from > to && state < from)
            continue;
        auto controller = controllerForSide(side);
        if (shouldManageAppearanceMethods() && message != AppearanceMessage::None && controller)
            send(*controller, message, animated);
    }
}

// --- Notices and checks ----------------------------------------------------------------------

void SidePanelController::notifyWillOpenSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    notifyAppearanceForSide(side, animated, State::Hidden, State::Transitioning);
    if (isSideClosed(side))
        performDelegate([&](SidePanelControllerDelegate& d) { d.willOpenViewSide(*this, side, animated); });
}

void SidePanelController::notifyDidOpenSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    notifyAppearanceForSide(side, animated, State::Transitioning, State::Shown);
    if (isSideOpen(side))
        performDelegate([&](SidePanelControllerDelegate& d) { d.didOpenViewSide(*this, side, animated); });
}

void SidePanelController::notifyWillCloseSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    notifyAppearanceForSide(side, animated, State::Shown, State::Transitioning);
    if (!isSideClosed(side))
        performDelegate([&](SidePanelControllerDelegate& d) { d.willCloseViewSide(*this, side, animated); });
}

void SidePanelController::notifyDidCloseSide(SidePanelSide side, bool animated)
{
    if (!G::isSide(side))
        return;
    notifyAppearanceForSide(side, animated, State::Transitioning, State::Hidden);
    if (!isSideClosed(side))
        return;
    performDelegate([&](SidePanelControllerDelegate& d) { d.didCloseViewSide(*this, side, animated); });
    performDelegate([&](SidePanelControllerDelegate& d) { d.didShowCenterViewFromSide(*this, side, animated); });
}

void SidePanelController::notifyDidChangeOffset(double offset, SidePanelOffsetOrientation orientation, bool panning)
{
    performDelegate([&](SidePanelControllerDelegate& d) { d.didChangeOffset(*this, offset, orientation, panning); });
}

bool SidePanelController::checkCanOpenSide(SidePanelSide side)
{
    if (isSideOpen(side))
        return false;
    return checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldOpenViewSide(*this, side); });
}

bool SidePanelController::checkCanCloseSide(SidePanelSide side, bool animated)
{
    if (isSideClosed(side))
        return false;
    return checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldCloseViewSide(*this, side, animated); });
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

// --- Delegate walk ---------------------------------------------------------------------------

void SidePanelController::walkDelegates(const std::function<bool(SidePanelControllerDelegate&)>& deliver)
{
    // Receivers may replace controllers or drop the container's last owner while we walk.
    auto self = this->self();
    auto delegate = this->delegate();
    if (delegate)
        deliver(*delegate);
    if (m_delegateMode == SidePanelDelegateMode::DelegateOnly)
        return;
    for (const ControllerPtr& controller : controllers()) {
        auto asDelegate = std::dynamic_pointer_cast<SidePanelControllerDelegate>(controller);
        if (asDelegate && asDelegate != delegate)
            deliver(*asDelegate);
        // Our platform has no navigation controller whose top controller could be asked instead.
    }
}

bool SidePanelController::checkDelegate(const std::function<std::optional<bool>(SidePanelControllerDelegate&)>& ask)
{
    bool allowed = true;
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        const std::optional<bool> answer = ask(receiver);
        if (!answer)
            return false;
        allowed = *answer && allowed;   // every receiver is asked, even after a refusal
        return true;
    });
    return allowed;
}

void SidePanelController::performDelegate(const Receiver& tell)
{
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        tell(receiver);
        return true;
    });
}

double SidePanelController::performDelegateLedge(double proposed, SidePanelSide side)
{
    double current = proposed;
    walkDelegates([&](SidePanelControllerDelegate& receiver) {
        const std::optional<double> answer = receiver.changesLedge(*this, current, side);
        if (!answer)
            return false;
        current = *answer;
        return true;
    });
    return current;
}

// --- Center tapper and interaction -----------------------------------------------------------

void SidePanelController::centerViewHidden()
{
    if (m_centerhiddenInteractivity != SidePanelCenterHiddenInteractivity::Interactive && m_centerView) {
        if (!m_centerTapper)
            m_centerTapper = makeCenterTapper();
        m_centerView->addSubview(m_centerTapper);
        m_centerTapper->setFrame(m_centerView->bounds());
        setAccessibilityForCenterTapper();
        setNeedsAddPanners();
    }
    applyShadowToSlidingViewAnimated(true);
}

std::shared_ptr<ui::Button> SidePanelController::makeCenterTapper()
{
    auto tapper = ui::Button::create(ui::ButtonType::Custom);
    for (unsigned state : {ui::ControlState::Normal, ui::ControlState::Highlighted, ui::ControlState::Disabled})
        tapper->setBackgroundImage(ui::Image(), state);
    tapper->setAutoresizingMask(kFlexibleSize);
    tapper->setFrame(m_centerView ? m_centerView->bounds() : ui::Rect());
    tapper->addTarget(self(), &SidePanelController::centerTapped, ui::ControlEvent::TouchUpInside);
    tapper->setBackgroundColor(ui::Color::clear());
    tapper->setAccessibilityViewIsModal(true);
    return tapper;
}

void SidePanelController::centerViewVisible()
{
    if (m_centerTapper) {
        m_centerTapper->removeTarget(this, ui::ControlEvent::TouchUpInside);
        m_centerTapper->removeFromSuperview();
    }
    m_centerTapper.reset();
    setNeedsAddPanners();
    applyShadowToSlidingViewAnimated(true);
}

void SidePanelController::centerTapped()
{
    using Mode = SidePanelCenterHiddenInteractivity;
    if (m_centerhiddenInteractivity != Mode::NotInteractiveTapToClose
        && m_centerhiddenInteractivity != Mode::NotInteractiveTapToCloseBouncing)
        return;
    auto self = this->self();
    const bool bouncing = m_centerhiddenInteractivity == Mode::NotInteractiveTapToCloseBouncing;
    const ui::Rect frame = slidingFrame();
    const std::pair<SidePanelSide, bool> displaced[] = {
        {SidePanelSide::Left, frame.minX() > 0},
        {SidePanelSide::Right, frame.minX() < 0},
        {SidePanelSide::Bottom, frame.minY() < 0},
        {SidePanelSide::Top, frame.minY() > 0},
    };
    for (const auto& [side, isDisplaced] : displaced) {
        if (!isDisplaced || !hasController(side))
            continue;
        if (bouncing)
            closeSideBouncing(side, nullptr, nullptr);
        else
            closeSideView(side, true, 0, nullptr);
    }
}

void SidePanelController::disableUserInteraction()
{
    std::lock_guard lock(m_interactionMutex);
    if (++m_disabledUserInteractions == 1) {
        if (auto view = panelView())
            view->setAllowUserInteractionEnabled(false);
    }
}

void SidePanelController::enableUserInteraction()
{
    std::lock_guard lock(m_interactionMutex);
    if (m_disabledUserInteractions <= 0)
        return;
    if (--m_disabledUserInteractions == 0) {
        if (auto view = panelView())
            view->setAllowUserInteractionEnabled(true);
    }
}

void SidePanelController::setAccessibilityForCenterTapper()
{
    if (!m_centerTapper)
        return;
    m_centerTapper->setAccessibilityLabel(m_centerTapperAccessibilityLabel);
    m_centerTapper->setAccessibilityHint(m_centerTapperAccessibilityHint);
    auto view = viewIfLoaded();
    auto window = view ? view->window() : nullptr;
    const ui::Rect inWindow = m_centerTapper->convertRectTo(m_centerTapper->bounds(), nullptr);
    m_centerTapper->setAccessibilityFrame(window ? window->bounds().intersected(inWindow) : ui::Rect());
}

void SidePanelController::setCenterTapperAccessibilityLabel(const QString& label)
{
    if (label == m_centerTapperAccessibilityLabel)
        return;
    m_centerTapperAccessibilityLabel = label;
    setAccessibilityForCenterTapper();
}

void SidePanelController::setCenterTapperAccessibilityHint(const QString& hint)
{
    if (hint == m_centerTapperAccessibilityHint)
        return;
    m_centerTapperAccessibilityHint = hint;
    setAccessibilityForCenterTapper();
}

// --- Opening and closing ---------------------------------------------------------------------

void SidePanelController::hideControllerViewForSide(bool hide, SidePanelSide side)
{
    auto controller = controllerForSide(side);
    if (!controller)
        return;
    // With a single side nothing else could show through, so its view always stays visible.
    controller->view()->setHidden(sideControllerCount() < 2 ? false : hide);
}

void SidePanelController::postScreenChanged()
{
    ui::Accessibility::post(ui::Accessibility::Notification::ScreenChanged);
}

// An open with nothing to do succeeds at once, a refused one fails at once; either way the
// completion runs now. Nullopt: the open goes ahead.
std::optional<bool> SidePanelController::settleOpenAtOnce(SidePanelSide side, const Completion& completion)
{
    if (!hasController(side) || isSideOpen(side)) {
        call(completion, *this, true);
        return true;
    }
    if (!checkCanOpenSide(side)) {
        call(completion, *this, false);
        return false;
    }
    return std::nullopt;
}

std::optional<bool> SidePanelController::settleCloseAtOnce(SidePanelSide side, bool animated, const Completion& completion)
{
    if (isSideClosed(side)) {
        call(completion, *this, true);
        return true;
    }
    if (!checkCanCloseSide(side, animated)) {
        call(completion, *this, false);
        return false;
    }
    return std::nullopt;
}

// The end of every open and close movement: input back on, the completion, then the notices.
void SidePanelController::finishOpen(SidePanelSide side, bool animated, const Completion& completion)
{
    auto self = this->self();
    enableUserInteraction();
    setAccessibilityForCenterTapper();
    call(completion, *this, true);
    notifyDidOpenSide(side, animated);
    postScreenChanged();
}

void SidePanelController::finishClose(SidePanelSide side, bool animated, const Completion& completion)
{
    auto self = this->self();
    hideAppropriateSideViews();
    enableUserInteraction();
    call(completion, *this, true);
    notifyDidCloseSide(side, animated);
    postScreenChanged();
}

bool SidePanelController::openSideView(SidePanelSide side, bool animated, Completion completion)
{
    return openSideView(side, animated, 0, std::move(completion));
}

bool SidePanelController::openSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    auto self = this->self();
    if (auto answer = settleOpenAtOnce(side, completion))
        return *answer;
    if (!isSideClosed(oppositeOfSide(side)))
        return toggleOpenViewAnimated(animated, std::move(completion));
    if (duration == 0)
        duration = openSlideDuration(animated);
    if (isSideClosed(side)) {
        // Any side of the other axis closes first; the slide starts in that close's completion.
        return closeOpenViewAnimated(animated, [side, animated, duration, completion](SidePanelController& container, bool success) {
            container.runOpenSlide(side, animated, duration, kStandardOptions, success, completion);
        });
    }
    runOpenSlide(side, animated, duration, kStandardOptions | ui::AnimationOption::CurveEaseOut, true, std::move(completion));
    return true;
}

void SidePanelController::runOpenSlide(SidePanelSide side, bool animated, double duration, unsigned options,
                                       bool success, Completion completion)
{
    if (!success) {
        call(completion, *this, false);
        return;
    }
    auto self = this->self();
    notifyWillOpenSide(side, animated);
    disableUserInteraction();
    ui::View::animate(duration, 0, options,
        [self, side] {
            self->hideControllerViewForSide(false, side);
            self->setSlidingFrameForOffset(self->ledgeOffsetForSide(side), G::orientationOfSide(side), true);
            self->centerViewHidden();
        },
        [self, side, animated, completion](bool) { self->finishOpen(side, animated, completion); });
}

bool SidePanelController::closeSideView(SidePanelSide side, bool animated, Completion completion)
{
    return closeSideView(side, animated, 0, std::move(completion));
}

bool SidePanelController::closeSideView(SidePanelSide side, bool animated, double duration, Completion completion)
{
    auto self = this->self();
    if (auto answer = settleCloseAtOnce(side, animated, completion))
        return *answer;
    if (duration == 0)
        duration = closeSlideDuration(animated);
    const unsigned options = kStandardOptions | (isSideOpen(side) ? 0u : unsigned(ui::AnimationOption::CurveEaseOut));
    notifyWillCloseSide(side, animated);
    disableUserInteraction();
    ui::View::animate(duration, 0, options,
        [self, side, animated] {
            self->setSlidingFrameForOffset(0, G::orientationOfSide(side), animated);
            self->centerViewVisible();
        },
        [self, side, animated, completion](bool) { self->finishClose(side, animated, completion); });
    return true;
}

double SidePanelController::bounceFactorA() const
{
    return m_bounceDurationFactor != 0 ? m_bounceDurationFactor : 1;
}

double SidePanelController::bounceFactorB() const
{
    if (m_bounceOpenSideDurationFactor != 0)
        return m_bounceOpenSideDurationFactor;
    return m_bounceDurationFactor != 0 ? 1 - m_bounceDurationFactor : 1;
}

bool SidePanelController::openSideViewBouncing(SidePanelSide side, double bounceOffset, double targetOffset,
                                               Bounced bounced, Completion completion)
{
    auto self = this->self();
    if (auto answer = settleOpenAtOnce(side, completion))
        return *answer;
    const unsigned legOneOptions = kStandardOptions | (isSideClosed(side) ? unsigned(ui::AnimationOption::CurveEaseIn) : 0u);
    return closeOpenViewAnimated(true, [=](SidePanelController& container, bool success) {
        if (!success) {
            call(completion, container, false);
            return;
        }
        container.runBouncingOpen(side, bounceOffset, targetOffset, legOneOptions, bounced, completion);
    });
}

void SidePanelController::runBouncingOpen(SidePanelSide side, double bounceOffset, double targetOffset,
                                          unsigned legOneOptions, Bounced bounced, Completion completion)
{
    auto self = this->self();
    const auto orientation = G::orientationOfSide(side);
    notifyWillOpenSide(side, true);
    disableUserInteraction();
    ui::View::animate(openSlideDuration(true) * bounceFactorA(), 0, legOneOptions,
        [self, side, bounceOffset, orientation] {
            self->hideControllerViewForSide(false, side);
            self->setSlidingFrameForOffset(bounceOffset, orientation, true);
        },
        [self, side, targetOffset, orientation, bounced, completion](bool) {
            self->centerViewHidden();
            if (bounced)
                bounced(*self);
            auto controller = self->controllerForSide(side);
            self->performDelegate([&](SidePanelControllerDelegate& d) {
                d.didBounceViewSideOpeningController(*self, side, controller);
            });
            ui::View::animate(self->openSlideDuration(true) * self->bounceFactorB(), 0, kStandardOptions,
                [self, targetOffset, orientation] { self->setSlidingFrameForOffset(targetOffset, orientation, true); },
                [self, side, completion](bool) { self->finishOpen(side, true, completion); });
        });
}

bool SidePanelController::closeSideViewBouncing(SidePanelSide side, double bounceOffset, Bounced bounced,
                                                Completion completion)
{
    auto self = this->self();
    if (auto answer = settleCloseAtOnce(side, true, completion))
        return *answer;
    const unsigned legOneOptions = kStandardOptions | (isSideOpen(side) ? unsigned(ui::AnimationOption::CurveEaseIn) : 0u);
    const auto orientation = G::orientationOfSide(side);
    notifyWillCloseSide(side, true);
    disableUserInteraction();
    ui::View::animate(openSlideDuration(true) * bounceFactorB(), 0, legOneOptions,
        [self, bounceOffset, orientation] { self->setSlidingFrameForOffset(bounceOffset, orientation, true); },
        [self, side, orientation, bounced, completion](bool) {
            if (bounced)
                bounced(*self);
            auto controller = self->controllerForSide(side);
            self->performDelegate([&](SidePanelControllerDelegate& d) {
                d.didBounceViewSideClosingController(*self, side, controller);
            });
            ui::View::animate(self->closeSlideDuration(true) * self->bounceFactorA(), 0,
                ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseOut,
                [self, orientation] {
                    self->setSlidingFrameForOffset(0, orientation, true);
                    self->centerViewVisible();
                },
                [self, side, completion](bool) { self->finishClose(side, true, completion); });
        });
    return true;
}

bool SidePanelController::toggleOpenViewAnimated(bool animated, Completion completion)
{
    auto self = this->self();
    const auto open = std::find_if(kSides, kSides + 4, [this](SidePanelSide side) { return isSideOpen(side); });
    if (open == kSides + 4) {
        call(completion, *this, false);
        return false;
    }
    const SidePanelSide closing = *open;
    const SidePanelSide opening = oppositeOfSide(closing);
    const double target = ledgeOffsetForSide(opening);
    // One consent is enough: the open side may leave, or the other side may come.
    if (!checkCanCloseSide(closing, animated) && !checkCanOpenSide(opening)) {
        call(completion, *this, false);
        return false;
    }
    notifyWillCloseSide(closing, animated);
    ui::View::animate(closeSlideDuration(animated), 0, ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseIn,
        [self, closing] { self->setSlidingFrameForOffset(0, G::orientationOfSide(closing), true); },
        [self, closing, opening, target, animated, completion](bool) {
            self->notifyWillOpenSide(opening, animated);
            ui::View::animate(self->openSlideDuration(animated), 0,
                ui::AnimationOption::LayoutSubviews | ui::AnimationOption::CurveEaseOut,
                [self, opening, target] { self->setSlidingFrameForOffset(target, G::orientationOfSide(opening), true); },
                [self, opening, animated, completion](bool) {
                    call(completion, *self, true);
                    self->notifyDidOpenSide(opening, animated);
                });
            self->hideAppropriateSideViews();
            self->notifyDidCloseSide(closing, animated);
        });
    return true;
}

bool SidePanelController::closeOpenViewAnimated(bool animated, double duration, Completion completion)
{
    for (SidePanelSide side : kSides) {
        if (!isSideClosed(side))
            return closeSideView(side, animated, duration, std::move(completion));
    }
    call(completion, *this, true);
    return true;
}

bool SidePanelController::closeOpenViewBouncing(Bounced bounced, Completion completion)
{
    for (SidePanelSide side : kSides) {
        if (isSideOpen(side))
            return closeSideBouncing(side, std::move(bounced), std::move(completion));
    }
    call(completion, *this, true);
    return true;
}

// --- Per-side commands -----------------------------------------------------------------------

bool SidePanelController::toggleSide(SidePanelSide side, bool animated, Completion completion)
{
    if (isSideClosed(side))
        return openSideView(side, animated, std::move(completion));
    return closeSideView(side, animated, 0, std::move(completion));
}

// The bounce takes the centre fully off screen towards the side before it settles.
double SidePanelController::bounceOvershoot(SidePanelSide side) const
{
    const ui::Size reference = referenceBounds().size;
    const double extent = G::isHorizontal(side) ? reference.width : reference.height;
    const bool positive = side == SidePanelSide::Left || side == SidePanelSide::Top;
    return positive ? extent : -extent;
}

bool SidePanelController::openSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return openSideViewBouncing(side, bounceOvershoot(side), ledgeOffsetForSide(side), std::move(bounced),
                                std::move(completion));
}

bool SidePanelController::closeSideBouncing(SidePanelSide side, Bounced bounced, Completion completion)
{
    return closeSideViewBouncing(side, bounceOvershoot(side), std::move(bounced), std::move(completion));
}

// --- Preview bounce --------------------------------------------------------------------------

bool SidePanelController::previewBounceView(SidePanelSide side, Completion completion)
{
    return previewBounceView(side, 40, double(1.2f), true, std::move(completion));
}

bool SidePanelController::previewBounceView(SidePanelSide side, double distance, double duration, bool callDelegate,
                                            Completion completion)
{
    return previewBounceView(side, distance, duration, 4, double(0.4f), callDelegate, std::move(completion));
}

bool SidePanelController::previewBounceView(SidePanelSide side, double distance, double duration,
                                            double numberOfBounces, double dampingFactor, bool callDelegate,
                                            Completion completion)
{
    auto self = this->self();
    if (!hasController(side) || isSideOpen(side))
        return false;
    if (callDelegate && !checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldPreviewBounceViewSide(*this, side); }))
        return false;
    if (callDelegate && isAnySideOpen() && !toggleOpenViewAnimated(true))
        return false;
    // Only the drawn position swings, so without a sliding view there is nothing to show.
    auto sliding = slidingControllerView();
    if (!sliding || sliding->layer()->animationForKey(previewBounceKey()))
        return false;
    auto values = bouncingValuesForViewSide(side, distance, numberOfBounces, dampingFactor, duration);
    if (!values)
        return false;
    auto animation = ui::KeyframeAnimation::create(G::isHorizontal(side) ? QStringLiteral("position.x")
                                                                         : QStringLiteral("position.y"));
    animation->setTimingFunction(ui::TimingFunction::linear());
    animation->setDuration(duration);
    animation->setValues({values->begin(), values->end()});
    animation->setRemovedOnCompletion(true);
    controllerForSide(side)->view()->setHidden(false);
    ui::Transaction::begin();
    ui::Transaction::setAnimationDuration(double(float(duration)));
    ui::Transaction::setCompletionBlock([self, side, callDelegate, completion] {
        auto controller = self->controllerForSide(side);
        if (self->m_offset == 0 && controller)
            controller->view()->setHidden(true);
        call(completion, *self, true);
        if (callDelegate)
            self->performDelegate([&](SidePanelControllerDelegate& d) { d.didPreviewBounceViewSide(*self, side, true); });
    });
    sliding->layer()->addAnimation(animation, previewBounceKey());
    if (callDelegate)
        performDelegate([&](SidePanelControllerDelegate& d) { d.willPreviewBounceViewSide(*this, side, true); });
    ui::Transaction::commit();
    return true;
}

std::optional<std::vector<float>> SidePanelController::bouncingValuesForViewSide(SidePanelSide side, double maximumBounce,
                                                                                 double numberOfBounces,
                                                                                 double dampingFactor, double duration) const
{
    if (!G::isSide(side))
        return std::nullopt;
    const auto heights = G::previewBounceHeights(maximumBounce, numberOfBounces, dampingFactor, duration);
    if (!heights)
        return std::nullopt;
    auto sliding = slidingControllerView();
    const ui::Point position = sliding ? sliding->layer()->position() : ui::Point();
    const auto orientation = G::orientationOfSide(side);
    const double base = along(position, orientation);
    const double sign = side == SidePanelSide::Left || side == SidePanelSide::Top ? 1 : -1;
    std::vector<float> values;
    values.reserve(heights->size());
    for (std::int32_t height : *heights)
        values.push_back(float(sign * limitOffset(height, orientation) + base));
    return values;
}

bool SidePanelController::canRightViewPushViewControllerOverCenterController() const
{
    // Only a navigation controller can take a pushed screen, and our platform has none.
    return false;
}

void SidePanelController::rightViewPushViewControllerOverCenterController(const ControllerPtr& controller)
{
    // A centre that cannot push would be left behind a snapshot with the right side closed.
    if (!controller || !canRightViewPushViewControllerOverCenterController())
        return;
}

std::vector<std::type_index> SidePanelController::viewClassesWithDisabledPan() const
{
    return {m_disabledPanClasses.begin(), m_disabledPanClasses.end()};
}

void SidePanelController::relayRotationMethod(const std::function<void(const ControllerPtr&)>& method)
{
    if (!method || !shouldForwardRotationMethods())
        return;
    if (m_centerController)
        method(m_centerController);
    doForControllers([&](const ControllerPtr& controller, SidePanelSide) {
        if (controller)
            method(controller);
    });
}

// --- Rotation --------------------------------------------------------------------------------

void SidePanelController::recordPreRotationSizes()
{
    m_preRotationSize = referenceBounds().size;
    m_preRotationCenterSize = m_centerView ? m_centerView->bounds().size : ui::Size();
}

bool SidePanelController::shouldAutorotate()
{
    recordPreRotationSizes();
    m_willAppearShouldArrangeViewsAfterRotation = interfaceOrientation();
    relayRotationMethod([](const ControllerPtr& controller) { controller->shouldAutorotate(); });
    return m_centerController ? m_centerController->shouldAutorotate() : true;
}

bool SidePanelController::shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation)
{
    recordPreRotationSizes();
    // Our platform has no status bar; the interface orientation stands in for its orientation.
    m_preRotationIsLandscape = ui::isLandscape(interfaceOrientation());
    m_willAppearShouldArrangeViewsAfterRotation = orientation;
    relayRotationMethod([orientation](const ControllerPtr& controller) {
        controller->shouldAutorotateToInterfaceOrientation(orientation);
    });
    return m_centerController ? m_centerController->shouldAutorotateToInterfaceOrientation(orientation) : true;
}

unsigned SidePanelController::supportedInterfaceOrientations()
{
    return m_centerController ? m_centerController->supportedInterfaceOrientations()
                              : ui::ViewController::supportedInterfaceOrientations();
}

ui::InterfaceOrientation SidePanelController::preferredInterfaceOrientationForPresentation()
{
    return m_centerController ? m_centerController->preferredInterfaceOrientationForPresentation()
                              : ui::ViewController::preferredInterfaceOrientationForPresentation();
}

void SidePanelController::willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    ui::ViewController::willRotateToInterfaceOrientation(orientation, duration);
    if (m_preRotationSize.width == 0) {
        recordPreRotationSizes();
        m_preRotationIsLandscape = ui::isLandscape(interfaceOrientation());
    }
    relayRotationMethod([orientation, duration](const ControllerPtr& controller) {
        controller->willRotateToInterfaceOrientation(orientation, duration);
    });
}

void SidePanelController::willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration)
{
    ui::ViewController::willAnimateRotationToInterfaceOrientation(orientation, duration);
    arrangeViewsAfterRotation();
    relayRotationMethod([orientation, duration](const ControllerPtr& controller) {
        controller->willAnimateRotationToInterfaceOrientation(orientation, duration);
    });
    applyCenterViewCornerRadiusAnimated(true);
    applyShadowToSlidingViewAnimated(true);
}

void SidePanelController::didRotateFromInterfaceOrientation(ui::InterfaceOrientation from)
{
    ui::ViewController::didRotateFromInterfaceOrientation(from);
    relayRotationMethod([from](const ControllerPtr& controller) { controller->didRotateFromInterfaceOrientation(from); });
    setAccessibilityForCenterTapper();
}

void SidePanelController::arrangeViewsAfterRotation()
{
    m_willAppearShouldArrangeViewsAfterRotation = ui::InterfaceOrientation::Unknown;
    if (!(m_preRotationSize.width > 0 && m_preRotationSize.height > 0))
        return;
    const ui::Size reference = referenceBounds().size;
    const bool horizontal = m_offsetOrientation != SidePanelOffsetOrientation::Vertical;
    const ui::Rect frame = slidingFrame();
    double offset = horizontal ? frame.x() : frame.y();
    const double newSize = horizontal ? reference.width : reference.height;
    const double oldSize = horizontal ? m_preRotationSize.width : m_preRotationSize.height;
    if (m_resizesCenterView && offset == 0) {
        // A shrunk sliding view keeps its origin: recover the negative offset from its size.
        offset += horizontal ? m_preRotationCenterSize.width - m_preRotationSize.width
                             : m_preRotationCenterSize.height - m_preRotationSize.height;
    }
    const SidePanelSide first = horizontal ? SidePanelSide::Left : SidePanelSide::Top;
    const SidePanelSide second = horizontal ? SidePanelSide::Right : SidePanelSide::Bottom;
    SidePanelSide openSide = SidePanelSide::None;
    if (offset == oldSize - ledge(first))
        openSide = first;
    else if (offset == ledge(second) - oldSize)
        openSide = second;
    if (m_sizeMode == SidePanelSizeMode::ViewSize) {
        // Every side keeps its visible size.
        if (m_maxLedge != 0)
            m_maxLedge += newSize - oldSize;
        const double dw = reference.width - m_preRotationSize.width;
        const double dh = reference.height - m_preRotationSize.height;
        setLedgeValue(ledge(SidePanelSide::Left) + dw, SidePanelSide::Left);
        setLedgeValue(ledge(SidePanelSide::Right) + dw, SidePanelSide::Right);
        setLedgeValue(ledge(SidePanelSide::Top) + dh, SidePanelSide::Top);
        setLedgeValue(ledge(SidePanelSide::Bottom) + dh, SidePanelSide::Bottom);
    } else {
        if (offset > 0)
            offset += newSize - oldSize;
        else if (offset < 0)
            offset += oldSize - newSize;
    }
    if (openSide != SidePanelSide::None)
        offset = ledgeOffsetForSide(openSide);
    setSlidingFrameForOffset(offset, m_offsetOrientation, false);
    m_preRotationSize = ui::Size();
}

// --- Containment -----------------------------------------------------------------------------

std::shared_ptr<ui::View> SidePanelController::slidingControllerView() const
{
    // Integrated behaviour would slide the navigation controller's view; our platform has no
    // navigation controller, so the centre view always slides.
    return m_centerView;
}

bool SidePanelController::setSlidingAndReferenceViews()
{
    m_slidingController = m_centerController;
    m_referenceView = view();
    finishTransitionBlocks();
    return true;
}

void SidePanelController::setCenterController(ControllerPtr controller)
{
    if (controller == m_centerController)
        return;
    auto self = this->self();
    ui::Rect carried = referenceBounds();
    if (auto old = m_centerController) {
        carried = old->view()->frame();
        releaseCenter(old, controller);
    } else {
        // A controller never sits in two slots, whether or not a centre is being replaced.
        releaseFromOtherSlots(controller, SidePanelSide::None);
    }
    m_centerController = controller;
    if (controller)
        adoptCenter(controller, carried);
}

// The old centre leaves completely (calls, views, observations) before a new one arrives.
void SidePanelController::releaseCenter(const ControllerPtr& old, const ControllerPtr& successor)
{
    auto self = this->self();
    old->willMoveToParentViewController(nullptr);
    releaseFromOtherSlots(successor, SidePanelSide::None);
    if (m_viewFirstAppeared)
        detachCenter(old);
    if (m_centerTitleObserver)
        old->removeObserver(m_centerTitleObserver);
    m_centerTitleObserver = 0;
    if (m_automaticallyUpdateTabBarItems)
        stopObservingCenterTabBar(old);
    letGo(*old);
}

void SidePanelController::adoptCenter(const ControllerPtr& controller, const ui::Rect& carried)
{
    auto self = this->self();
    controller->willMoveToParentViewController(self);
    addChildViewController(controller);
    SidePanelItem::setSidePanelController(*controller, self);
    std::weak_ptr<SidePanelController> weak = self;
    m_centerTitleObserver = controller->addObserver(ui::ViewController::Property::Title, [weak] {
        if (auto container = weak.lock())
            container->centerTitleChanged();
    });
    setTitle(controller->title());
    if (m_automaticallyUpdateTabBarItems) {
        observeCenterTabBar();
        copyCenterTabBarItem();
        setHidesBottomBarWhenPushed(controller->hidesBottomBarWhenPushed());
    }
    controller->loadViewIfNeeded();
    applyCenterViewOpacityIfNeeded();
    applyCenterViewCornerRadiusAnimated(false);
    if (m_viewFirstAppeared)
        attachCenter(controller, carried);
    controller->didMoveToParentViewController(self);
    if (isAnySideOpen())
        centerViewHidden();
}

void SidePanelController::detachCenter(const ControllerPtr& old)
{
    if (shouldManageAppearanceMethods())
        old->viewWillDisappear(false);
    restoreShadowToSlidingView();
    removePanners();
    old->view()->removeFromSuperview();
    if (shouldManageAppearanceMethods())
        old->viewDidDisappear(false);
    if (m_centerView)
        m_centerView->removeFromSuperview();
}

void SidePanelController::attachCenter(const ControllerPtr& controller, const ui::Rect& frame)
{
    if (m_centerView)
        view()->addSubview(m_centerView);
    if (shouldManageAppearanceMethods())
        controller->viewWillAppear(false);
    setSlidingAndReferenceViews();
    auto controllerView = controller->view();
    controllerView->setFrame(frame);
    controllerView->setAutoresizingMask(kFlexibleSize);
    controllerView->setHidden(false);
    if (m_centerView)
        m_centerView->addSubview(controllerView);
    addPanners();
    applyShadowToSlidingViewAnimated(false);
    if (shouldManageAppearanceMethods())
        controller->viewDidAppear(false);
}

QString SidePanelController::title() const
{
    return m_centerController ? m_centerController->title() : QString();
}

void SidePanelController::setTitle(const QString& title)
{
    if (!sameTitle(title, ui::ViewController::title()))
        ui::ViewController::setTitle(title);
    if (m_centerController && !sameTitle(title, m_centerController->title()))
        m_centerController->setTitle(title);
}

void SidePanelController::centerTitleChanged()
{
    if (m_centerController && !sameTitle(ui::ViewController::title(), m_centerController->title()))
        setTitle(m_centerController->title());
}

void SidePanelController::setAutomaticallyUpdateTabBarItems(bool automatically)
{
    if (m_automaticallyUpdateTabBarItems)
        stopObservingCenterTabBar(m_centerController);
    m_automaticallyUpdateTabBarItems = automatically;
    if (!automatically)
        return;
    observeCenterTabBar();
    copyCenterTabBarItem();
}

void SidePanelController::observeCenterTabBar()
{
    if (!m_centerController)
        return;
    std::weak_ptr<SidePanelController> weak = self();
    auto onChange = [weak](void (SidePanelController::*react)()) {
        return [weak, react] {
            if (auto container = weak.lock())
                (container.get()->*react)();
        };
    };
    m_centerTabBarObservers = {
        m_centerController->addObserver(Property::TabBarItemTitle, onChange(&SidePanelController::copyCenterTabBarItem)),
        m_centerController->addObserver(Property::TabBarItemImage, onChange(&SidePanelController::copyCenterTabBarItem)),
        m_centerController->addObserver(Property::HidesBottomBarWhenPushed,
                                        onChange(&SidePanelController::centerHidesBottomBarChanged)),
    };
}

void SidePanelController::stopObservingCenterTabBar(const ControllerPtr& center)
{
    // An observation that is already gone is no error here.
    if (center) {
        for (ObserverId id : m_centerTabBarObservers)
            center->removeObserver(id);
    }
    m_centerTabBarObservers.clear();
}

void SidePanelController::copyCenterTabBarItem()
{
    if (!m_centerController)
        return;
    auto source = m_centerController->tabBarItem();
    auto own = tabBarItem();
    own->setTitle(source->title());
    own->setImage(source->image());
}

void SidePanelController::centerHidesBottomBarChanged()
{
    // Our platform has no tab-bar controller whose flag would follow as well.
    if (m_centerController)
        setHidesBottomBarWhenPushed(m_centerController->hidesBottomBarWhenPushed());
}

void SidePanelController::setController(ControllerPtr controller, SidePanelSide side)
{
    if (!G::isSide(side) || controller == m_controllers[slot(side)])
        return;
    auto self = this->self();
    const SidePanelSide oldSide = controller ? sideForController(controller.get()) : SidePanelSide::None;
    ui::Rect carried = referenceBounds();
    if (auto previous = m_controllers[slot(side)]) {
        carried = previous->view()->frame();
        previous->willMoveToParentViewController(nullptr);
        if (controller && controller == m_centerController)
            setCenterController(nullptr);
        if (m_viewFirstAppeared)
            detachSideView(side);
        if (G::isSide(oldSide))
            vacateSideSlot(oldSide);
        letGo(*previous);
    } else {
        // Moving a controller into an empty slot takes it out of the one it had.
        releaseFromOtherSlots(controller, side);
    }
    m_controllers[slot(side)] = controller;
    if (!controller)
        return;
    std::weak_ptr<SidePanelController> weak = self;
    std::weak_ptr<ui::ViewController> weakController = controller;
    // Whether the adoption moves the view and sends appearance calls is decided now: a side
    // set before the first appearance is laid out, and told it appears, by the container's
    // own appearance code when it opens, however late the queue runs.
    const bool attachView = m_viewFirstAppeared;
    enqueueFinishTransitionBlock([weak, weakController, side, carried, attachView] {
        auto container = weak.lock();
        auto adopted = weakController.lock();
        // A controller replaced while it waited in the queue is no longer the container's.
        if (!container || !adopted || container->controllerForSide(side) != adopted)
            return;
        container->adoptSideController(adopted, side, carried, attachView);
    }, controller);
}

void SidePanelController::releaseFromOtherSlots(const ControllerPtr& controller, SidePanelSide keep)
{
    if (!controller)
        return;
    if (G::isSide(keep) && controller == m_centerController)
        setCenterController(nullptr);
    for (SidePanelSide side : kSides) {
        if (side == keep || controllerForSide(side) != controller)
            continue;
        if (G::isSide(keep))
            vacateSideSlot(side);   // moving between sides: the new slot adopts it again
        else
            setController(nullptr, side);   // becoming the centre: the side lets it go fully
    }
}

void SidePanelController::vacateSideSlot(SidePanelSide side)
{
    // The controller leaves without calls; the slot's appearance starts afresh for the next one.
    m_controllers[slot(side)].reset();
    m_sideAppeared[slot(side)] = State::Hidden;
}

void SidePanelController::adoptSideController(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame,
                                              bool attachView)
{
    auto self = this->self();
    // Side controllers are children of the container's grandparent, as far up as there is one.
    ControllerPtr parent = parentViewController() ? parentViewController()->parentViewController() : nullptr;
    if (!parent)
        parent = presentingViewController();
    if (!parent)
        parent = self;
    parent->addChildViewController(controller);
    SidePanelItem::setSidePanelController(*controller, self);
    if (attachView)
        attachSideView(controller, side, frame);
    controller->didMoveToParentViewController(parent);
    applyCenterViewOpacityIfNeeded();
}

void SidePanelController::detachSideView(SidePanelSide side)
{
    notifyAppearanceForSide(side, false, State::Shown, State::Transitioning);
    if (auto controller = controllerForSide(side))
        controller->view()->removeFromSuperview();
    notifyAppearanceForSide(side, false, State::Transitioning, State::Hidden);
}

void SidePanelController::attachSideView(const ControllerPtr& controller, SidePanelSide side, const ui::Rect& frame)
{
    notifyAppearanceForSide(side, false, State::Hidden, State::Transitioning);
    hideAppropriateSideViews();
    auto sideView = controller->view();
    sideView->setFrame(frame);
    sideView->setAutoresizingMask(kFlexibleSize);
    if (m_referenceView) {
        if (!m_slidingController.expired())
            m_referenceView->insertSubviewBelow(sideView, slidingControllerView());
        else
            m_referenceView->addSubview(sideView);
    }
    notifyAppearanceForSide(side, false, State::Transitioning, State::Shown);
}

void SidePanelController::enqueueFinishTransitionBlock(std::function<void()> block, const ControllerPtr& controller)
{
    auto self = this->self();
    controller->willMoveToParentViewController(self);
    if (m_referenceView) {
        block();
        return;
    }
    SidePanelItem::setSidePanelController(*controller, self);
    if (!m_finishTransitionBlocks) {
        m_finishTransitionBlocks.emplace();
        observeTransitionKeys();
    }
    m_finishTransitionBlocks->push_back(std::move(block));
}

void SidePanelController::observeTransitionKeys()
{
    std::weak_ptr<SidePanelController> weak = self();
    auto finish = [weak] {
        if (auto container = weak.lock())
            container->finishTransitionBlocks();
    };
    m_transitionObservers = {addObserver(Property::ParentViewController, finish),
                             addObserver(Property::PresentingViewController, finish)};
}

void SidePanelController::stopObservingTransitionKeys()
{
    for (ObserverId id : m_transitionObservers)
        removeObserver(id);
    m_transitionObservers.clear();
}

void SidePanelController::finishTransitionBlocks()
{
    if (!(parentViewController() || presentingViewController()) || !m_referenceView || !m_finishTransitionBlocks)
        return;
    stopObservingTransitionKeys();
    auto blocks = std::move(*m_finishTransitionBlocks);
    m_finishTransitionBlocks.reset();
    for (const auto& block : blocks)
        block();
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
        setNeedsAddPanners();
}

void SidePanelController::setPanningView(std::shared_ptr<ui::View> view)
{
    if (view == m_panningView)
        return;
    m_panningView = std::move(view);
    if (m_viewFirstAppeared && m_panningMode == SidePanelPanningMode::PanningView)
        setNeedsAddPanners();
}

void SidePanelController::setPanningCancelsTouchesInView(bool cancels)
{
    m_panningCancelsTouchesInView = cancels;
    for (const auto& panner : m_panners)
        panner->setCancelsTouchesInView(cancels);
}

// --- Panning ---------------------------------------------------------------------------------
// The recognisers are never replaced under a moving finger: a rebuild asked for during a pan
// waits for the end of the pan event that finds no pan active.

void SidePanelController::setNeedsAddPanners()
{
    if (m_needsAddPannersIfAllPannersAreInactive)
        return;
    if (hasActivePanner())
        m_needsAddPannersIfAllPannersAreInactive = true;
    else
        addPanners();
}

bool SidePanelController::hasActivePanner() const
{
    return std::any_of(m_panners.begin(), m_panners.end(), [](const auto& panner) { return panner->isActive(); });
}

void SidePanelController::addPannersIfAllPannersAreInactiveAndNeeded()
{
    if (!m_needsAddPannersIfAllPannersAreInactive || hasActivePanner())
        return;
    addPanners();
    m_needsAddPannersIfAllPannersAreInactive = false;
}

void SidePanelController::addPanners()
{
    removePanners();
    // Our platform has no navigation bar, so the bar recognisers of the modes never exist.
    switch (m_panningMode) {
    case SidePanelPanningMode::SlidingView:
    case SidePanelPanningMode::AskDelegate:
    case SidePanelPanningMode::NavigationBarOrOpen:
        addPanner(slidingControllerView());
        addPanner(m_centerTapper);
        break;
    case SidePanelPanningMode::PanningView:
        addPanner(m_panningView);
        break;
    case SidePanelPanningMode::ContainerView:
        addPanner(viewIfLoaded());
        break;
    default:
        break;
    }
}

void SidePanelController::removePanners()
{
    for (const auto& panner : m_panners) {
        if (auto view = panner->view())
            view->removeGestureRecognizer(panner);
    }
    m_panners.clear();
}

void SidePanelController::addPanner(const std::shared_ptr<ui::View>& view)
{
    if (!view)
        return;
    // The view and the container own the recogniser; it reaches back weakly.
    std::weak_ptr<SidePanelController> weak = self();
    auto panner = ui::PanGestureRecognizer::create([weak](ui::GestureRecognizer& recognizer) {
        if (auto container = weak.lock())
            container->panned(recognizer);
    });
    panner->setCancelsTouchesInView(m_panningCancelsTouchesInView);
    panner->setDelegate(std::weak_ptr<ui::GestureRecognizerDelegate>(self()));
    view->addGestureRecognizer(panner);
    m_panners.push_back(panner);
}

std::optional<bool> SidePanelController::shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch)
{
    auto self = this->self();
    if (auto gestureDelegate = panningGestureDelegate()) {
        if (gestureDelegate->shouldReceiveTouch(recognizer, touch) == false)
            return false;
    }
    if (auto view = touch.view()) {
        if (m_disabledPanClasses.count(std::type_index(typeid(*view))))
            return false;
        if (!checkDelegate([&](SidePanelControllerDelegate& d) { return d.shouldBeginPanOverView(*this, *view); }))
            return false;
    }
    m_panOrigin = slidingFrame().origin;
    return true;
}

std::optional<bool> SidePanelController::gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer)
{
    auto self = this->self();
    const auto sliding = slidingControllerView();
    if (m_panningMode == SidePanelPanningMode::NavigationBarOrOpen && sliding && recognizer.view() == sliding) {
        // Without a navigation bar its bounds are empty: only an open side lets the pan begin.
        if (!isAnySideOpen())
            return false;
    }
    if (auto gestureDelegate = panningGestureDelegate()) {
        if (gestureDelegate->gestureRecognizerShouldBegin(recognizer) == false)
            return false;
    }
    auto* pan = dynamic_cast<ui::PanGestureRecognizer*>(&recognizer);
    if (!pan)
        return true;
    const SidePanelOffsetOrientation orientation = orientationOfVelocity(*pan);
    if (m_panningMode == SidePanelPanningMode::AskDelegate) {
        auto delegate = this->delegate();
        if (delegate && delegate->shouldPan(*this, *pan) == false)
            return false;
    }
    if (along(slidingFrame().origin, orientation) != 0)
        return true;
    const double location = locationOfPanner(*pan, orientation);
    if (location == 0)
        return true;
    const SidePanelSide side = location > 0 ? firstSide(orientation) : secondSide(orientation);
    if (checkCanOpenSide(side))
        return true;
    closeSideView(side, false, Completion());
    return false;
}

std::optional<bool> SidePanelController::shouldRecognizeSimultaneouslyWithGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                                            ui::GestureRecognizer& other)
{
    auto gestureDelegate = panningGestureDelegate();
    if (!gestureDelegate)
        return false;
    return gestureDelegate->shouldRecognizeSimultaneouslyWithGestureRecognizer(recognizer, other).value_or(false);
}

SidePanelOffsetOrientation SidePanelController::orientationOfVelocity(ui::PanGestureRecognizer& pan) const
{
    const ui::Point velocity = pan.velocityInView(m_referenceView.get());
    return std::fabs(velocity.x) >= std::fabs(velocity.y) ? SidePanelOffsetOrientation::Horizontal
                                                          : SidePanelOffsetOrientation::Vertical;
}

double SidePanelController::locationOfPanner(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation) const
{
    const SidePanelSide first = firstSide(orientation);
    const SidePanelSide second = secondSide(orientation);
    const double location = along(pan.translationInView(m_referenceView.get()), orientation) + along(m_panOrigin, orientation);
    const double extent = along(ui::Point(referenceBounds().width(), referenceBounds().height()), orientation);
    const double p = G::panLocation(location, hasController(first), hasController(second), extent - ledge(first),
                                    ledge(second) - extent, m_elastic);
    return limitOffset(p, orientation);
}

void SidePanelController::panned(ui::GestureRecognizer& recognizer)
{
    auto* pan = dynamic_cast<ui::PanGestureRecognizer*>(&recognizer);
    if (!m_enabled || !pan)
        return;
    auto self = this->self();
    SidePanelOffsetOrientation orientation = m_offsetOrientation;
    if (m_offset == 0 && pan->state() == ui::GestureRecognizer::State::Began)
        orientation = orientationOfVelocity(*pan);
    panned(*pan, orientation);
}

void SidePanelController::panned(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation)
{
    setParallax();
    const double from = along(slidingFrame().origin, orientation);
    const double to = locationOfPanner(pan, orientation);
    const SidePanelSide first = firstSide(orientation);
    const SidePanelSide second = secondSide(orientation);
    SidePanelSide closed = SidePanelSide::None;
    SidePanelSide opened = SidePanelSide::None;
    // Crossing the closed position hands the screen from one side of the axis to the other.
    if (from <= 0 && to >= 0 && from != to) {
        if (!crossClosedPosition(second, first, from < 0, to > 0, closed, opened))
            return;
    } else if (from >= 0 && to <= 0 && from != to) {
        if (!crossClosedPosition(first, second, from > 0, to < 0, closed, opened))
            return;
    }
    auto sliding = slidingControllerView();
    if (sliding && sliding->layer()->animationForKey(previewBounceKey())) {
        // Take over from the drawn position of a running preview instead of jumping.
        sliding->setFrame(sliding->layer()->presentation()->frame());
        sliding->layer()->removeAnimationForKey(previewBounceKey());
        auto self = this->self();
        ui::View::animate(0.3, 0, kStandardOptions,
                          [self, to, orientation] { self->panToSlidingFrameForOffset(to, orientation, true); });
    } else {
        panToSlidingFrameForOffset(to, orientation, false);
    }
    using GestureState = ui::GestureRecognizer::State;
    const GestureState state = pan.state();
    if (state != GestureState::Ended && state != GestureState::Cancelled && state != GestureState::Failed)
        hideAppropriateSideViews();
    else
        settlePan(pan, orientation, to);
    setAccessibilityForCenterTapper();
    notifyDidCloseSide(closed, false);
    notifyDidOpenSide(opened, false);
    addPannersIfAllPannersAreInactiveAndNeeded();
}

bool SidePanelController::crossClosedPosition(SidePanelSide leaving, SidePanelSide entering, bool wasShowing,
                                              bool willShow, SidePanelSide& closed, SidePanelSide& opened)
{
    if (wasShowing) {
        if (!checkCanCloseSide(leaving, false))
            return false;
        notifyWillCloseSide(leaving, false);
        closed = leaving;
    }
    if (!willShow)
        return true;
    if (!checkCanOpenSide(entering)) {
        closeSideView(leaving, false, Completion());
        return false;
    }
    notifyWillOpenSide(entering, false);
    opened = entering;
    return true;
}

void SidePanelController::settlePan(ui::PanGestureRecognizer& pan, SidePanelOffsetOrientation orientation, double location)
{
    const double position = along(slidingFrame().origin, orientation);
    if (position != 0)
        centerViewHidden();
    else
        centerViewVisible();
    const SidePanelSide first = firstSide(orientation);
    const SidePanelSide second = secondSide(orientation);
    const double firstOpen = ledgeOffsetForSide(first);
    const double secondOpen = ledgeOffsetForSide(second);
    const double velocity = along(pan.velocityInView(m_referenceView.get()), orientation);
    if (std::fabs(velocity) < kFlingSpeed) {
        // Slow: past two thirds of the way to a side's open offset opens it.
        if (location >= firstOpen - firstOpen / 3)
            openSideView(first, true, Completion());
        else if (location <= secondOpen - secondOpen / 3)
            openSideView(second, true, Completion());
        else
            closeOpenView();
        return;
    }
    // A fling goes the way the finger went, timed by the distance left to where it goes on
    // this axis: the target side's own open offset, or the closed position.
    SidePanelSide target = SidePanelSide::None;
    if (velocity < 0 && location < 0)
        target = second;
    else if (velocity > 0 && location > 0)
        target = first;
    const double targetOffset = target == SidePanelSide::None ? 0 : ledgeOffsetForSide(target);
    const double duration = G::flingDuration(position, targetOffset, velocity);
    if (target != SidePanelSide::None)
        openSideView(target, true, duration, Completion());
    else
        closeOpenViewAnimated(true, duration, Completion());
}

void SidePanelController::setParallax()
{
    if (m_parallaxAmount <= 0)
        return;
    const ui::Rect frame = slidingFrame();
    if (auto left = leftController()) {
        auto view = left->view();
        const double q = std::min(0.0, frame.x() - (frame.width() - ledge(SidePanelSide::Left)));
        view->setFrame(ui::Rect(q * m_parallaxAmount, view->frame().y(), view->frame().width(), view->frame().height()));
    }
    if (auto right = rightController()) {
        auto view = right->view();
        const double q = std::max(0.0, frame.x() + (frame.width() - ledge(SidePanelSide::Right)));
        view->setFrame(ui::Rect(q * m_parallaxAmount, view->frame().y(), view->frame().width(), view->frame().height()));
    }
}

// --- Shadow, opacity and corners of the sliding view -----------------------------------------

void SidePanelController::setCenterViewOpacity(double opacity)
{
    m_centerViewOpacity = opacity;
    if (opacity < 1 && sideControllerCount() > 1) {
        core::log(QStringLiteral("sidepanel"),
                  QStringLiteral("SidePanelController: warning: setting centerViewOpacity to value different than 1 "
                                 "with more than one side controller. Value will be ignored."));
        return;
    }
    applyCenterViewOpacityIfNeeded();
}

void SidePanelController::applyCenterViewOpacityIfNeeded()
{
    if (!m_centerController)
        return;
    auto centerControllerView = m_centerController->view();
    if (sideControllerCount() <= 1) {
        centerControllerView->setAlpha(m_centerViewOpacity);
        centerControllerView->setOpaque(false);
        return;
    }
    if (centerControllerView->alpha() < 1) {
        centerControllerView->setAlpha(1);
        centerControllerView->setOpaque(true);
    }
}

void SidePanelController::setCenterViewCornerRadius(double radius)
{
    m_centerViewCornerRadius = radius;
    applyCenterViewCornerRadiusAnimated(false);
}

ui::Path SidePanelController::generateCenterViewCornerRadiusPath() const
{
    auto sliding = slidingControllerView();
    const ui::Rect bounds = sliding ? sliding->layer()->bounds() : ui::Rect();
    if (m_centerViewCornerRadius == 0)
        return ui::Path::rect(bounds);
    unsigned corners = 0;
    if (hasController(SidePanelSide::Left))
        corners |= ui::Path::TopLeft | ui::Path::BottomLeft;
    if (hasController(SidePanelSide::Right))
        corners |= ui::Path::TopRight | ui::Path::BottomRight;
    if (hasController(SidePanelSide::Top))
        corners |= ui::Path::TopLeft | ui::Path::TopRight;
    if (hasController(SidePanelSide::Bottom))
        corners |= ui::Path::BottomLeft | ui::Path::BottomRight;
    return ui::Path::roundedRect(bounds, corners, {m_centerViewCornerRadius, m_centerViewCornerRadius});
}

bool SidePanelController::currentAnimationDuration(double& duration, ui::TimingFunction& timing) const
{
    auto sliding = slidingControllerView();
    if (!sliding)
        return false;
    auto bounds = std::dynamic_pointer_cast<const ui::BasicAnimation>(sliding->layer()->animationForKey(QStringLiteral("bounds")));
    if (!bounds)
        return false;
    duration = bounds->duration();
    timing = bounds->timingFunction();
    return true;
}

namespace {

void addDecorationAnimation(ui::Layer& layer, const QString& keyPath, ui::AnimatableValue from, ui::AnimatableValue to,
                            double duration, const ui::TimingFunction& timing, const QString& key)
{
    auto animation = ui::BasicAnimation::create(keyPath, std::move(from), std::move(to), duration);
    animation->setTimingFunction(timing);
    animation->setFillMode(ui::Animation::FillMode::Forwards);
    layer.addAnimation(animation, key);
}

} // namespace

void SidePanelController::applyCenterViewCornerRadiusAnimated(bool animated)
{
    const ui::Path path = generateCenterViewCornerRadiusPath();
    auto sliding = slidingControllerView();
    auto slidingLayer = sliding ? sliding->layer() : nullptr;
    std::shared_ptr<ui::ShapeLayer> mask = slidingLayer ? std::dynamic_pointer_cast<ui::ShapeLayer>(slidingLayer->mask()) : nullptr;
    if (slidingLayer && !slidingLayer->mask()) {
        mask = ui::ShapeLayer::create();
        mask->setPath(path);
        slidingLayer->setMask(mask);
    }
    const ui::Rect slidingBounds = slidingLayer ? slidingLayer->bounds() : ui::Rect();
    const ui::Point slidingPosition = slidingLayer ? slidingLayer->position() : ui::Point();
    if (animated) {
        double duration = 0.3;
        ui::TimingFunction timing = ui::TimingFunction::easeInEaseOut();
        currentAnimationDuration(duration, timing);
        if (mask) {
            addDecorationAnimation(*mask, QStringLiteral("bounds"), mask->bounds(), path.boundingBox(), duration, timing,
                                   QStringLiteral("animateBounds"));
            addDecorationAnimation(*mask, QStringLiteral("path"), mask->path() ? ui::AnimatableValue(*mask->path()) : ui::AnimatableValue(),
                                   path, duration, timing, QStringLiteral("animatePath"));
        }
        if (!m_shadowLayer)
            return finishCornerRadius(mask, path);
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("position"), m_shadowLayer->position(), slidingPosition,
                               duration, timing, QStringLiteral("animatePosition"));
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("bounds"), m_shadowLayer->bounds(), slidingBounds, duration,
                               timing, QStringLiteral("animateBounds"));
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("shadowPath"),
                               m_shadowLayer->shadowPath() ? ui::AnimatableValue(*m_shadowLayer->shadowPath()) : ui::AnimatableValue(),
                               path, duration, timing, QStringLiteral("animateShadowPath"));
    }
    finishCornerRadius(mask, path);
    if (!m_shadowLayer)
        return;
    m_shadowLayer->setShadowPath(path);
    m_shadowLayer->setFrame(slidingLayer ? slidingLayer->frame() : ui::Rect());
}

void SidePanelController::finishCornerRadius(const std::shared_ptr<ui::ShapeLayer>& mask, const ui::Path& path)
{
    if (!mask)
        return;
    mask->setPath(path);
    mask->setFrame(path.boundingBox());
}

void SidePanelController::setShadowEnabled(bool enabled, bool animated)
{
    m_shadowEnabled = enabled;
    if (enabled)
        applyShadowToSlidingViewAnimated(animated);
    else
        restoreShadowToSlidingView();
}

void SidePanelController::restoreShadowToSlidingView()
{
    if (m_shadowLayer && slidingControllerView())
        m_shadowLayer->removeFromSuperlayer();
}

void SidePanelController::applyShadowToSlidingViewAnimated(bool animated)
{
    auto sliding = slidingControllerView();
    if (!m_shadowEnabled || !sliding || !m_shadowLayer)
        return;
    if (auto delegate = this->delegate()) {
        auto self = this->self();
        if (delegate->applyShadow(*this, *m_shadowLayer, referenceBounds()))
            return;
    }
    auto slidingLayer = sliding->layer();
    auto mask = std::dynamic_pointer_cast<ui::ShapeLayer>(slidingLayer->mask());
    const std::optional<ui::Path> maskPath = mask ? mask->path() : std::nullopt;
    if (!animated) {
        if (auto superlayer = slidingLayer->superlayer())
            superlayer->insertSublayerBelow(m_shadowLayer, slidingLayer.get());
        m_shadowLayer->setFrame(slidingLayer->frame());
        m_shadowLayer->setShadowPath(maskPath);
        return;
    }
    double duration = 0;
    ui::TimingFunction timing;
    if (currentAnimationDuration(duration, timing) && !m_shadowLayer->animationForKey(QStringLiteral("animateShadowPath"))) {
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("shadowPath"),
                               m_shadowLayer->shadowPath() ? ui::AnimatableValue(*m_shadowLayer->shadowPath()) : ui::AnimatableValue(),
                               maskPath ? ui::AnimatableValue(*maskPath) : ui::AnimatableValue(), duration, timing,
                               QStringLiteral("animateShadowPath"));
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("bounds"), m_shadowLayer->bounds(), slidingLayer->bounds(),
                               duration, timing, QStringLiteral("animateBounds"));
    }
    if (m_shadowLayer->animationKeys().isEmpty()) {
        addDecorationAnimation(*m_shadowLayer, QStringLiteral("shadowOpacity"), 0.0, ui::AnimatableValue(), 1.0,
                               ui::TimingFunction::easeInEaseOut(), QStringLiteral("animateShadowOpacity"));
    }
}
