#pragma once

#include "components/sidepanel/PanDisabledViewClasses.h"
#include "components/sidepanel/SidePanelTypes.h"
#include "platform/ui/Color.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/InterfaceOrientation.h"
#include "platform/ui/Path.h"
#include "platform/ui/ViewController.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <memory>
#include <optional>
#include <set>
#include <typeindex>
#include <vector>

class SidePanelControllerDelegate;
class SidePanelCenterTapper;
class SidePanelContainment;
class SidePanelDecoration;
class SidePanelLayout;
class SidePanelLifecycle;
class SidePanelNotices;
class SidePanelPanTracker;
class SidePanelPreviewBounce;
class SidePanelRotationReplay;
class SidePanelSlide;
class SidePanelView;
namespace ui {
class Button;
class GestureRecognizer;
class GestureRecognizerDelegate;
class Layer;
class PanGestureRecognizer;
class ShapeLayer;
class TimingFunction;
class Touch;
class View;
}

// A container that shows a centre controller and slides up to four side panels open beside
// it: the sliding view (the centre) moves aside along one axis and uncovers one side at a
// time, leaving a strip of the centre, the side's ledge, on screen. A finger drags it too: the
// container is the target and the delegate of its own pan recognisers.
class SidePanelController : public ui::ViewController, public ui::GestureRecognizerDelegate {
public:
    using ControllerPtr = std::shared_ptr<ui::ViewController>;
    using Completion = std::function<void(SidePanelController&, bool success)>;
    using Bounced = std::function<void(SidePanelController&)>;
    using SizeCompletion = std::function<void(bool finished)>;
    using ControllerBlock = std::function<void(const ControllerPtr& controller, SidePanelSide side)>;

    // sideForController's answer for a controller the container does not hold.
    static constexpr SidePanelSide NotFound = static_cast<SidePanelSide>(0xFFFFFFFFu);

    // The centre with the container's defaults, then the given sides in the order left,
    // right, top, bottom. Any may be null.
    static std::shared_ptr<SidePanelController> create(ControllerPtr center = nullptr, ControllerPtr left = nullptr,
                                                       ControllerPtr right = nullptr, ControllerPtr top = nullptr,
                                                       ControllerPtr bottom = nullptr);
    ~SidePanelController() override;

    // The container that holds the controller, or null (the full lookup).
    static std::shared_ptr<SidePanelController> of(ui::ViewController& controller);

    // --- Controllers -----------------------------------------------------------------------
    ControllerPtr centerController() const { return m_centerController; }
    void setCenterController(ControllerPtr controller);
    ControllerPtr leftController() const { return controllerForSide(SidePanelSide::Left); }
    void setLeftController(ControllerPtr controller) { setController(std::move(controller), SidePanelSide::Left); }
    ControllerPtr rightController() const { return controllerForSide(SidePanelSide::Right); }
    void setRightController(ControllerPtr controller) { setController(std::move(controller), SidePanelSide::Right); }
    ControllerPtr topController() const { return controllerForSide(SidePanelSide::Top); }
    void setTopController(ControllerPtr controller) { setController(std::move(controller), SidePanelSide::Top); }
    ControllerPtr bottomController() const { return controllerForSide(SidePanelSide::Bottom); }
    void setBottomController(ControllerPtr controller) { setController(std::move(controller), SidePanelSide::Bottom); }
    void setController(ControllerPtr controller, SidePanelSide side);

    std::vector<ControllerPtr> controllers() const;   // centre, left, right, top, bottom; present ones
    unsigned sideControllerCount() const;
    ControllerPtr controllerForSide(SidePanelSide side) const;
    static SidePanelSide oppositeOfSide(SidePanelSide side);
    SidePanelSide sideForController(const ui::ViewController* controller) const;
    void doForControllers(const ControllerBlock& block) const;
    ui::ViewController* slidingController() const { return m_slidingController.lock().get(); }
    std::shared_ptr<ui::View> slidingControllerView() const;

    // --- Side state --------------------------------------------------------------------------
    bool isSideClosed(SidePanelSide side) const;
    bool isSideOpen(SidePanelSide side) const;
    bool isAnySideOpen() const;
    bool isSideTransitioning(SidePanelSide side) const { return !isSideClosed(side) && !isSideOpen(side); }

    // --- Geometry ----------------------------------------------------------------------------
    ui::Rect referenceBounds() const;
    double statusBarHeight() const;
    double relativeStatusBarHeight() const;
    ui::Rect centerViewBounds() const;
    ui::Rect sideViewBounds() const;
    double limitOffset(double offset, SidePanelOffsetOrientation orientation) const;
    ui::Rect slidingRectForOffset(double offset, SidePanelOffsetOrientation orientation) const;
    ui::Size slidingSizeForOffset(double offset, SidePanelOffsetOrientation orientation) const;
    double offset() const { return m_offset; }
    SidePanelOffsetOrientation offsetOrientation() const { return m_offsetOrientation; }

    // Moves take effect at once; they animate only inside a view animation block.
    void setSlidingFrameForOffset(double offset, SidePanelOffsetOrientation orientation, bool animated)
    {
        setSlidingFrameForOffset(offset, true, false, orientation, animated);
    }
    void panToSlidingFrameForOffset(double offset, SidePanelOffsetOrientation orientation, bool animated)
    {
        setSlidingFrameForOffset(offset, true, true, orientation, animated);
    }
    void setSlidingFrameForOffset(double offset, bool limit, SidePanelOffsetOrientation orientation, bool animated)
    {
        setSlidingFrameForOffset(offset, limit, false, orientation, animated);
    }
    void setSlidingFrameForOffset(double offset, bool limit, bool panning, SidePanelOffsetOrientation orientation,
                                  bool animated);
    void hideAppropriateSideViews();

    // --- Sizes and ledges --------------------------------------------------------------------
    double sizeAsLedge(double size, SidePanelSide side) const;
    double ledgeAsSize(double ledge, SidePanelSizeMode mode, SidePanelSide side) const;
    double ledgeAsSize(double ledge, SidePanelSide side) const { return ledgeAsSize(ledge, m_sizeMode, side); }
    double sizeForSide(SidePanelSide side) const { return ledgeAsSize(ledge(side), side); }
    void setSize(double size, SidePanelSide side, SizeCompletion completion);
    void setLedgeValue(double ledge, SidePanelSide side);
    double ledgeOffsetForSide(SidePanelSide side) const;
    void setMaxSize(double size) { setMaxSize(size, nullptr); }
    void setMaxSize(double size, SizeCompletion completion);
    double maxSize() const { return m_maxLedge; }

    void setLeftSize(double size) { setLeftSize(size, nullptr); }
    void setLeftSize(double size, SizeCompletion completion) { setSize(size, SidePanelSide::Left, std::move(completion)); }
    double leftSize() const { return sizeForSide(SidePanelSide::Left); }
    double leftViewSize() const { return viewSizeForSide(SidePanelSide::Left); }
    double leftLedgeSize() const { return ledge(SidePanelSide::Left); }
    void setRightSize(double size) { setRightSize(size, nullptr); }
    void setRightSize(double size, SizeCompletion completion) { setSize(size, SidePanelSide::Right, std::move(completion)); }
    double rightSize() const { return sizeForSide(SidePanelSide::Right); }
    double rightViewSize() const { return viewSizeForSide(SidePanelSide::Right); }
    double rightLedgeSize() const { return ledge(SidePanelSide::Right); }
    void setTopSize(double size) { setTopSize(size, nullptr); }
    void setTopSize(double size, SizeCompletion completion) { setSize(size, SidePanelSide::Top, std::move(completion)); }
    double topSize() const { return sizeForSide(SidePanelSide::Top); }
    double topViewSize() const { return viewSizeForSide(SidePanelSide::Top); }
    double topLedgeSize() const { return ledge(SidePanelSide::Top); }
    void setBottomSize(double size) { setBottomSize(size, nullptr); }
    void setBottomSize(double size, SizeCompletion completion) { setSize(size, SidePanelSide::Bottom, std::move(completion)); }
    double bottomSize() const { return sizeForSide(SidePanelSide::Bottom); }
    double bottomViewSize() const { return viewSizeForSide(SidePanelSide::Bottom); }
    double bottomLedgeSize() const { return ledge(SidePanelSide::Bottom); }

    // --- Opening and closing -----------------------------------------------------------------
    // Each returns whether the request was accepted; a completion runs once: false at once
    // when refused, true when the movement has ended.
    bool openSideView(SidePanelSide side, bool animated, Completion c) { return openSideView(side, animated, 0, std::move(c)); }
    bool openSideView(SidePanelSide side, bool animated, double duration, Completion completion);
    bool openSideViewBouncing(SidePanelSide side, double bounceOffset, double targetOffset, Bounced bounced,
                              Completion completion);
    bool closeSideView(SidePanelSide side, bool animated, Completion c) { return closeSideView(side, animated, 0, std::move(c)); }
    bool closeSideView(SidePanelSide side, bool animated, double duration, Completion completion);
    bool closeSideViewBouncing(SidePanelSide side, double bounceOffset, Bounced bounced, Completion completion);
    double openSlideDuration(bool animated) const { return animated ? m_openSlideAnimationDuration : 0; }
    double closeSlideDuration(bool animated) const { return animated ? m_closeSlideAnimationDuration : 0; }
    void hideControllerViewForSide(bool hide, SidePanelSide side);

    bool toggleOpenView() { return toggleOpenViewAnimated(true); }
    bool toggleOpenViewAnimated(bool animated) { return toggleOpenViewAnimated(animated, nullptr); }
    bool toggleOpenViewAnimated(bool animated, Completion completion);
    bool closeOpenView() { return closeOpenViewAnimated(true); }
    bool closeOpenViewAnimated(bool animated) { return closeOpenViewAnimated(animated, nullptr); }
    bool closeOpenViewAnimated(bool animated, Completion completion) { return closeOpenViewAnimated(animated, 0, std::move(completion)); }
    bool closeOpenViewAnimated(bool animated, double duration, Completion completion);
    bool closeOpenViewBouncing(Bounced bounced) { return closeOpenViewBouncing(std::move(bounced), nullptr); }
    bool closeOpenViewBouncing(Bounced bounced, Completion completion);

    // --- Per-side commands -------------------------------------------------------------------
    bool toggleLeftView() { return toggleLeftViewAnimated(true); }
    bool openLeftView() { return openLeftViewAnimated(true); }
    bool closeLeftView() { return closeLeftViewAnimated(true); }
    bool toggleLeftViewAnimated(bool animated) { return toggleLeftViewAnimated(animated, nullptr); }
    bool toggleLeftViewAnimated(bool animated, Completion c) { return toggleSide(SidePanelSide::Left, animated, std::move(c)); }
    bool openLeftViewAnimated(bool animated) { return openLeftViewAnimated(animated, nullptr); }
    bool openLeftViewAnimated(bool animated, Completion c) { return openSideView(SidePanelSide::Left, animated, std::move(c)); }
    bool openLeftViewBouncing(Bounced b) { return openLeftViewBouncing(std::move(b), nullptr); }
    bool openLeftViewBouncing(Bounced b, Completion c) { return openSideBouncing(SidePanelSide::Left, std::move(b), std::move(c)); }
    bool closeLeftViewAnimated(bool animated) { return closeLeftViewAnimated(animated, nullptr); }
    bool closeLeftViewAnimated(bool animated, Completion c) { return closeLeftViewAnimated(animated, 0, std::move(c)); }
    bool closeLeftViewAnimated(bool animated, double duration, Completion c) { return closeSideView(SidePanelSide::Left, animated, duration, std::move(c)); }
    bool closeLeftViewBouncing(Bounced b) { return closeLeftViewBouncing(std::move(b), nullptr); }
    bool closeLeftViewBouncing(Bounced b, Completion c) { return closeSideBouncing(SidePanelSide::Left, std::move(b), std::move(c)); }

    bool toggleRightView() { return toggleRightViewAnimated(true); }
    bool openRightView() { return openRightViewAnimated(true); }
    bool closeRightView() { return closeRightViewAnimated(true); }
    bool toggleRightViewAnimated(bool animated) { return toggleRightViewAnimated(animated, nullptr); }
    bool toggleRightViewAnimated(bool animated, Completion c) { return toggleSide(SidePanelSide::Right, animated, std::move(c)); }
    bool openRightViewAnimated(bool animated) { return openRightViewAnimated(animated, nullptr); }
    bool openRightViewAnimated(bool animated, Completion c) { return openSideView(SidePanelSide::Right, animated, std::move(c)); }
    bool openRightViewBouncing(Bounced b) { return openRightViewBouncing(std::move(b), nullptr); }
    bool openRightViewBouncing(Bounced b, Completion c) { return openSideBouncing(SidePanelSide::Right, std::move(b), std::move(c)); }
    bool closeRightViewAnimated(bool animated) { return closeRightViewAnimated(animated, nullptr); }
    bool closeRightViewAnimated(bool animated, Completion c) { return closeRightViewAnimated(animated, 0, std::move(c)); }
    bool closeRightViewAnimated(bool animated, double duration, Completion c) { return closeSideView(SidePanelSide::Right, animated, duration, std::move(c)); }
    bool closeRightViewBouncing(Bounced b) { return closeRightViewBouncing(std::move(b), nullptr); }
    bool closeRightViewBouncing(Bounced b, Completion c) { return closeSideBouncing(SidePanelSide::Right, std::move(b), std::move(c)); }

    bool toggleTopView() { return toggleTopViewAnimated(true); }
    bool openTopView() { return openTopViewAnimated(true); }
    bool closeTopView() { return closeTopViewAnimated(true); }
    bool toggleTopViewAnimated(bool animated) { return toggleTopViewAnimated(animated, nullptr); }
    bool toggleTopViewAnimated(bool animated, Completion c) { return toggleSide(SidePanelSide::Top, animated, std::move(c)); }
    bool openTopViewAnimated(bool animated) { return openTopViewAnimated(animated, nullptr); }
    bool openTopViewAnimated(bool animated, Completion c) { return openSideView(SidePanelSide::Top, animated, std::move(c)); }
    bool openTopViewBouncing(Bounced b) { return openTopViewBouncing(std::move(b), nullptr); }
    bool openTopViewBouncing(Bounced b, Completion c) { return openSideBouncing(SidePanelSide::Top, std::move(b), std::move(c)); }
    bool closeTopViewAnimated(bool animated) { return closeTopViewAnimated(animated, nullptr); }
    bool closeTopViewAnimated(bool animated, Completion c) { return closeTopViewAnimated(animated, 0, std::move(c)); }
    bool closeTopViewAnimated(bool animated, double duration, Completion c) { return closeSideView(SidePanelSide::Top, animated, duration, std::move(c)); }
    bool closeTopViewBouncing(Bounced b) { return closeTopViewBouncing(std::move(b), nullptr); }
    bool closeTopViewBouncing(Bounced b, Completion c) { return closeSideBouncing(SidePanelSide::Top, std::move(b), std::move(c)); }

    bool toggleBottomView() { return toggleBottomViewAnimated(true); }
    bool openBottomView() { return openBottomViewAnimated(true); }
    bool closeBottomView() { return closeBottomViewAnimated(true); }
    bool toggleBottomViewAnimated(bool animated) { return toggleBottomViewAnimated(animated, nullptr); }
    bool toggleBottomViewAnimated(bool animated, Completion c) { return toggleSide(SidePanelSide::Bottom, animated, std::move(c)); }
    bool openBottomViewAnimated(bool animated) { return openBottomViewAnimated(animated, nullptr); }
    bool openBottomViewAnimated(bool animated, Completion c) { return openSideView(SidePanelSide::Bottom, animated, std::move(c)); }
    bool openBottomViewBouncing(Bounced b) { return openBottomViewBouncing(std::move(b), nullptr); }
    bool openBottomViewBouncing(Bounced b, Completion c) { return openSideBouncing(SidePanelSide::Bottom, std::move(b), std::move(c)); }
    bool closeBottomViewAnimated(bool animated) { return closeBottomViewAnimated(animated, nullptr); }
    bool closeBottomViewAnimated(bool animated, Completion c) { return closeBottomViewAnimated(animated, 0, std::move(c)); }
    bool closeBottomViewAnimated(bool animated, double duration, Completion c) { return closeSideView(SidePanelSide::Bottom, animated, duration, std::move(c)); }
    bool closeBottomViewBouncing(Bounced b) { return closeBottomViewBouncing(std::move(b), nullptr); }
    bool closeBottomViewBouncing(Bounced b, Completion c) { return closeSideBouncing(SidePanelSide::Bottom, std::move(b), std::move(c)); }

    // --- Preview bounce -----------------------------------------------------------------------
    // A damped swing of the centre towards a closed side and back; only what is drawn moves.
    // Answers whether it started; the completion runs (with true) only when it did.
    bool previewBounceView(SidePanelSide side) { return previewBounceView(side, Completion()); }
    bool previewBounceView(SidePanelSide side, Completion completion)
    {
        return previewBounceView(side, 40, double(1.2f), true, std::move(completion));
    }
    bool previewBounceView(SidePanelSide side, double distance, double duration, bool callDelegate, Completion completion)
    {
        return previewBounceView(side, distance, duration, 4, double(0.4f), callDelegate, std::move(completion));
    }
    bool previewBounceView(SidePanelSide side, double distance, double duration, double numberOfBounces,
                           double dampingFactor, bool callDelegate, Completion completion);
    // The absolute layer positions of the swing, at most 100; nullopt for a side outside 1-4
    // or a request that makes no curve.
    std::optional<std::vector<float>> bouncingValuesForViewSide(SidePanelSide side, double maximumBounce,
                                                                double numberOfBounces, double dampingFactor,
                                                                double duration) const;

    bool canRightViewPushViewControllerOverCenterController() const;
    void rightViewPushViewControllerOverCenterController(const ControllerPtr& controller);

    // View classes over which a pan may not begin (by default the slider): a class is refused
    // with its subclasses, so it is named by its type, never by a bare type index that could
    // not tell them. A class that is in the set is named by its index to take it out again.
    template<class ViewClass>
    void disablePanOverViewsOfClass() { m_disabledPanClasses.disable<ViewClass>(); }
    void enablePanOverViewsOfClass(std::type_index viewClass) { m_disabledPanClasses.enable(viewClass); }
    // True while panning over views of that class is disabled.
    bool canPanOverViewsOfClass(std::type_index viewClass) const { return m_disabledPanClasses.contains(viewClass); }
    std::vector<std::type_index> viewClassesWithDisabledPan() const;
    void relayRotationMethod(const std::function<void(const ControllerPtr&)>& method);

    // --- Center tapper and interaction -------------------------------------------------------
    void centerViewHidden();
    void centerViewVisible();
    void centerTapped();
    void disableUserInteraction();
    void enableUserInteraction();
    void setAccessibilityForCenterTapper();
    std::shared_ptr<ui::Button> centerTapper() const { return m_centerTapper; }
    void setCenterTapper(std::shared_ptr<ui::Button> tapper) { m_centerTapper = std::move(tapper); }
    QString centerTapperAccessibilityLabel() const { return m_centerTapperAccessibilityLabel; }
    void setCenterTapperAccessibilityLabel(const QString& label);
    QString centerTapperAccessibilityHint() const { return m_centerTapperAccessibilityHint; }
    void setCenterTapperAccessibilityHint(const QString& hint);

    // --- Life cycle notices ------------------------------------------------------------------
    void notifyWillOpenSide(SidePanelSide side, bool animated);
    void notifyDidOpenSide(SidePanelSide side, bool animated);
    void notifyWillCloseSide(SidePanelSide side, bool animated);
    void notifyDidCloseSide(SidePanelSide side, bool animated);
    void notifyDidChangeOffset(double offset, SidePanelOffsetOrientation orientation, bool panning);
    void notifyAppearanceForSide(SidePanelSide side, bool animated, SidePanelAppearance from, SidePanelAppearance to);
    void transitionAppearanceFrom(SidePanelAppearance from, SidePanelAppearance to, bool animated);
    bool checkCanOpenSide(SidePanelSide side);
    bool checkCanCloseSide(SidePanelSide side, bool animated = true);
    SidePanelAppearance sideAppearance(SidePanelSide side) const;
    SidePanelAppearance viewAppearance() const { return m_viewAppeared; }

    // --- Rotation ----------------------------------------------------------------------------
    bool shouldAutorotate() override;
    bool shouldAutorotateToInterfaceOrientation(ui::InterfaceOrientation orientation) override;
    unsigned supportedInterfaceOrientations() override;
    ui::InterfaceOrientation preferredInterfaceOrientationForPresentation() override;
    void willRotateToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;
    void willAnimateRotationToInterfaceOrientation(ui::InterfaceOrientation orientation, double duration) override;
    void didRotateFromInterfaceOrientation(ui::InterfaceOrientation from) override;
    void arrangeViewsAfterRotation();

    bool shouldAutomaticallyForwardAppearanceMethods() const override { return false; }
    bool shouldAutomaticallyForwardRotationMethods() const override { return false; }

    // --- Properties --------------------------------------------------------------------------
    std::shared_ptr<SidePanelControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<SidePanelControllerDelegate> delegate) { m_delegate = std::move(delegate); }
    SidePanelDelegateMode delegateMode() const { return m_delegateMode; }
    void setDelegateMode(SidePanelDelegateMode mode) { m_delegateMode = mode; }
    SidePanelSizeMode sizeMode() const { return m_sizeMode; }
    void setSizeMode(SidePanelSizeMode mode) { m_sizeMode = mode; }
    SidePanelCenterHiddenInteractivity centerhiddenInteractivity() const { return m_centerhiddenInteractivity; }
    void setCenterhiddenInteractivity(SidePanelCenterHiddenInteractivity interactivity);
    SidePanelNavigationControllerBehavior navigationControllerBehavior() const { return m_navigationControllerBehavior; }
    void setNavigationControllerBehavior(SidePanelNavigationControllerBehavior behavior);
    SidePanelPanningMode panningMode() const { return m_panningMode; }
    void setPanningMode(SidePanelPanningMode mode);
    bool panningCancelsTouchesInView() const { return m_panningCancelsTouchesInView; }
    void setPanningCancelsTouchesInView(bool cancels);
    const std::vector<std::shared_ptr<ui::GestureRecognizer>>& panners() const;
    void setPanners(std::vector<std::shared_ptr<ui::GestureRecognizer>> panners);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isElastic() const { return m_elastic; }
    void setElastic(bool elastic) { m_elastic = elastic; }
    bool resizesCenterView() const { return m_resizesCenterView; }
    void setResizesCenterView(bool resizes) { m_resizesCenterView = resizes; }
    bool shadowEnabled() const { return m_shadowEnabled; }
    void setShadowEnabled(bool enabled) { setShadowEnabled(enabled, false); }
    void setShadowEnabled(bool enabled, bool animated);
    bool automaticallyUpdateTabBarItems() const { return m_automaticallyUpdateTabBarItems; }
    void setAutomaticallyUpdateTabBarItems(bool automatically);
    double bounceDurationFactor() const { return m_bounceDurationFactor; }
    void setBounceDurationFactor(double factor);
    double bounceOpenSideDurationFactor() const { return m_bounceOpenSideDurationFactor; }
    void setBounceOpenSideDurationFactor(double factor) { m_bounceOpenSideDurationFactor = factor; }
    double openSlideAnimationDuration() const { return m_openSlideAnimationDuration; }
    void setOpenSlideAnimationDuration(double seconds) { m_openSlideAnimationDuration = seconds; }
    double closeSlideAnimationDuration() const { return m_closeSlideAnimationDuration; }
    void setCloseSlideAnimationDuration(double seconds) { m_closeSlideAnimationDuration = seconds; }
    double parallaxAmount() const { return m_parallaxAmount; }
    void setParallaxAmount(double amount) { m_parallaxAmount = amount; }
    double centerViewOpacity() const { return m_centerViewOpacity; }
    void setCenterViewOpacity(double opacity);
    double centerViewCornerRadius() const { return m_centerViewCornerRadius; }
    void setCenterViewCornerRadius(double radius);
    std::shared_ptr<ui::View> referenceView() const { return m_referenceView.lock(); }
    void setReferenceView(std::shared_ptr<ui::View> view) { m_referenceView = std::move(view); }
    std::shared_ptr<ui::View> centerView() const { return m_centerView; }
    void setCenterView(std::shared_ptr<ui::View> view) { m_centerView = std::move(view); }
    std::shared_ptr<ui::View> panningView() const { return m_panningView; }
    void setPanningView(std::shared_ptr<ui::View> view);
    std::shared_ptr<ui::GestureRecognizerDelegate> panningGestureDelegate() const { return m_panningGestureDelegate.lock(); }
    void setPanningGestureDelegate(std::weak_ptr<ui::GestureRecognizerDelegate> delegate) { m_panningGestureDelegate = std::move(delegate); }
    std::shared_ptr<ui::Layer> shadowLayer() const { return m_shadowLayer; }

    double originalShadowOpacity() const { return m_originalShadowOpacity; }
    void setOriginalShadowOpacity(double v) { m_originalShadowOpacity = v; }
    std::optional<ui::Path> originalShadowPath() const { return m_originalShadowPath; }
    void setOriginalShadowPath(std::optional<ui::Path> v) { m_originalShadowPath = std::move(v); }
    double originalShadowRadius() const { return m_originalShadowRadius; }
    void setOriginalShadowRadius(double v) { m_originalShadowRadius = v; }
    std::optional<ui::Color> originalShadowColor() const { return m_originalShadowColor; }
    void setOriginalShadowColor(std::optional<ui::Color> v) { m_originalShadowColor = v; }
    ui::Size originalShadowOffset() const { return m_originalShadowOffset; }
    void setOriginalShadowOffset(ui::Size v) { m_originalShadowOffset = v; }

    // The centre's title is the container's.
    QString title() const override;
    void setTitle(const QString& title) override;

    // --- Decoration of the sliding view ------------------------------------------------------
    void applyCenterViewOpacityIfNeeded();
    ui::Path generateCenterViewCornerRadiusPath() const;
    void applyCenterViewCornerRadiusAnimated(bool animated);
    void applyShadowToSlidingViewAnimated(bool animated);
    void restoreShadowToSlidingView();

    // --- The pan recognisers' delegate ---------------------------------------------------------
    std::optional<bool> gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer) override;
    std::optional<bool> shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch) override;
    std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                           ui::GestureRecognizer& other) override;
    // The recognisers' action.
    void panned(ui::GestureRecognizer& recognizer);

    // Drops the container's views and the observation of its view's bounds (teardown and view
    // unloading).
    void cleanup();

    // --- Life cycle: the centre follows the container, each side its own side's state -------
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void didReceiveMemoryWarning() override;
    std::vector<ControllerPtr> memoryWarningRelays() const override;
    // The view went with a memory warning: the views made with it go too (cleanup()).
    void viewDidUnload() override;

protected:
    SidePanelController();

    void loadView() override;
    void viewDidLoad() override;

private:
    // The helpers that carry out parts of the container's work on its state; each is owned
    // here and reaches back through a reference.
    friend class SidePanelPanTracker;
    friend class SidePanelPreviewBounce;
    friend class SidePanelRotationReplay;
    friend class SidePanelContainment;
    friend class SidePanelDecoration;
    friend class SidePanelSlide;
    friend class SidePanelNotices;
    friend class SidePanelCenterTapper;
    friend class SidePanelLifecycle;
    friend class SidePanelLayout;

    void commonInit(ControllerPtr center);
    void forgetOriginalShadow();
    std::shared_ptr<SidePanelController> self();
    SidePanelView* panelView() const;
    double ledge(SidePanelSide side) const;
    double viewSizeForSide(SidePanelSide side) const { return ledgeAsSize(ledge(side), SidePanelSizeMode::ViewSize, side); }
    bool hasController(SidePanelSide side) const { return controllerForSide(side) != nullptr; }
    ui::Rect slidingFrame() const;

    // Opening and closing.
    bool toggleSide(SidePanelSide side, bool animated, Completion completion);
    bool openSideBouncing(SidePanelSide side, Bounced bounced, Completion completion);
    bool closeSideBouncing(SidePanelSide side, Bounced bounced, Completion completion);

    bool shouldManageAppearanceMethods() const { return !shouldAutomaticallyForwardAppearanceMethods(); }
    bool shouldForwardRotationMethods() const { return !shouldAutomaticallyForwardRotationMethods(); }

    SidePanelAppearance m_viewAppeared = SidePanelAppearance::Hidden;
    bool m_viewFirstAppeared = false;
    std::array<SidePanelAppearance, 6> m_sideAppeared{};
    std::array<double, 5> m_ledge{};
    std::array<ControllerPtr, 6> m_controllers{};
    double m_offset = 0;
    double m_maxLedge = 0;
    SidePanelOffsetOrientation m_offsetOrientation = SidePanelOffsetOrientation::Horizontal;
    ui::Point m_willAppearOffset;
    std::optional<std::vector<std::function<void()>>> m_finishTransitionBlocks;
    int m_disabledUserInteractions = 0;
    std::shared_ptr<ui::Layer> m_shadowLayer;
    // The slider and its kind; our table has no reorder control to add.
    PanDisabledViewClasses m_disabledPanClasses = PanDisabledViewClasses::defaults();
    bool m_panningCancelsTouchesInView = true;
    bool m_shadowEnabled = true;
    bool m_resizesCenterView = false;
    bool m_enabled = true;
    bool m_elastic = true;
    bool m_automaticallyUpdateTabBarItems = false;
    SidePanelPanningMode m_panningMode = SidePanelPanningMode::SlidingView;
    // Weak: in integrated mode it is the navigation controller's superview, which may be a
    // window that owns the container through its root controller.
    std::weak_ptr<ui::View> m_referenceView;
    std::weak_ptr<ui::ViewController> m_slidingController;
    ControllerPtr m_centerController;
    double m_originalShadowOpacity = 0;
    std::optional<ui::Path> m_originalShadowPath;
    double m_originalShadowRadius = 0;
    std::optional<ui::Color> m_originalShadowColor;
    std::weak_ptr<SidePanelControllerDelegate> m_delegate;
    SidePanelDelegateMode m_delegateMode = SidePanelDelegateMode::DelegateOnly;
    SidePanelNavigationControllerBehavior m_navigationControllerBehavior = SidePanelNavigationControllerBehavior::Contained;
    std::shared_ptr<ui::View> m_panningView;
    SidePanelCenterHiddenInteractivity m_centerhiddenInteractivity = SidePanelCenterHiddenInteractivity::Interactive;
    std::shared_ptr<ui::Button> m_centerTapper;
    std::shared_ptr<ui::View> m_centerView;
    double m_centerViewOpacity = 1.0;
    double m_centerViewCornerRadius = 0;
    SidePanelSizeMode m_sizeMode = SidePanelSizeMode::Ledge;
    std::weak_ptr<ui::GestureRecognizerDelegate> m_panningGestureDelegate;
    double m_bounceDurationFactor = 0.3;
    double m_bounceOpenSideDurationFactor = 0;
    double m_openSlideAnimationDuration = 0.3;
    double m_closeSlideAnimationDuration = 0.3;
    double m_parallaxAmount = 0;
    QString m_centerTapperAccessibilityLabel;
    QString m_centerTapperAccessibilityHint;
    ui::Size m_originalShadowOffset;

    bool m_viewsApplied = false;
    ui::Rect m_observedBounds;
    ObserverId m_centerTitleObserver = 0;
    std::vector<ObserverId> m_centerTabBarObservers;
    std::vector<ObserverId> m_transitionObservers;   // own parent and presenting controller
    std::mutex m_interactionMutex;

    std::unique_ptr<SidePanelPanTracker> m_panTracker;
    std::unique_ptr<SidePanelPreviewBounce> m_previewBounce;
    std::unique_ptr<SidePanelRotationReplay> m_rotationReplay;
    std::unique_ptr<SidePanelContainment> m_containment;
    std::unique_ptr<SidePanelDecoration> m_decoration;
    std::unique_ptr<SidePanelSlide> m_slide;
    std::unique_ptr<SidePanelNotices> m_notices;
    std::unique_ptr<SidePanelCenterTapper> m_centerTapperHelper;
    std::unique_ptr<SidePanelLifecycle> m_lifecycle;
    std::unique_ptr<SidePanelLayout> m_layout;
};
