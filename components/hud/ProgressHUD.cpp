#include "components/hud/ProgressHUD.h"

#include "components/hud/BarProgressView.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "components/hud/ProgressHUDSpinner.h"
#include "components/hud/ProgressIndicator.h"
#include "components/hud/RoundProgressView.h"
#include "platform/core/Clock.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/NotificationCenter.h"
#include "platform/ui/Window.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>
#include <utility>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kPadding = 4;                // between indicator, label and details label
constexpr double kAnimationDuration = 0.3;
constexpr double kHiddenAlpha = 0.02;         // where the fade-out stops; done() then sets 0

// Layout rounds its half-differences as single-precision values, halves away from zero.
double roundHalf(double value)
{
    return std::round(static_cast<float>(value));
}

// The bounding box of text wrapped within maxWidth, keeping only the whole lines that fit
// in maxHeight (at least one).
ui::Size wrappedSize(const QString& text, const ui::Font& font, double maxWidth, double maxHeight)
{
    if (text.isEmpty())
        return {};
    const double width = std::max(1.0, maxWidth);
    const ui::Size full = font.sizeOfText(text, width, 0);
    if (full.height <= maxHeight)
        return full;
    const int lines = std::max(1, int(std::floor(maxHeight / font.lineHeight())));
    return font.sizeOfText(text, width, lines);
}

} // namespace

// ---- creation -------------------------------------------------------------------------

std::shared_ptr<ProgressHUD> ProgressHUD::create(const ui::Rect& frame)
{
    auto hud = std::shared_ptr<ProgressHUD>(new ProgressHUD(frame));
    hud->registerForNotifications();
    return hud;
}

std::shared_ptr<ProgressHUD> ProgressHUD::createWithView(const std::shared_ptr<ui::View>& view)
{
    return create(view ? view->bounds() : ui::Rect());
}

std::shared_ptr<ProgressHUD> ProgressHUD::createWithWindow(const std::shared_ptr<ui::Window>& window)
{
    return createWithView(window);
}

ProgressHUD::ProgressHUD(const ui::Rect& frame)
    : ui::View(frame)
{
    setOpaque(false);
    setBackgroundColor(ui::Color::clear());
    setAlpha(0);
    setAutoresizingMask(ui::Autoresizing::FlexibleLeftMargin | ui::Autoresizing::FlexibleRightMargin
                        | ui::Autoresizing::FlexibleTopMargin | ui::Autoresizing::FlexibleBottomMargin);
    setupLabels();
    updateIndicators();
    setNeedsDisplay();
}

ProgressHUD::~ProgressHUD()
{
    core::cancelAll(this);
    ui::NotificationCenter::defaultCenter().removeObserver(this);
    for (const auto& timer : {m_graceTimer, m_minShowTimer}) {
        if (timer)
            timer->invalidate();
    }
}

void ProgressHUD::registerForNotifications()
{
    auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    // The centre holds the owner weakly and strongly for the call, so `this` is alive there.
    ui::NotificationCenter::defaultCenter().addObserver(ui::NotificationCenter::DeviceOrientationDidChange, self,
                                                        [this] { deviceOrientationDidChange(); });
}

void ProgressHUD::setupLabels()
{
    m_label = ui::Label::create(bounds());
    m_label->setTextAlignment(ui::TextAlignment::Center);
    m_label->setOpaque(false);
    m_label->setBackgroundColor(ui::Color::clear());
    m_label->setTextColor(m_labelColor);
    m_label->setFont(m_labelFont);
    m_label->setText(m_labelText);
    addSubview(m_label);

    m_detailsLabel = ui::Label::create(bounds());
    m_detailsLabel->setTextAlignment(ui::TextAlignment::Center);
    m_detailsLabel->setOpaque(false);
    m_detailsLabel->setBackgroundColor(ui::Color::clear());
    m_detailsLabel->setTextColor(m_detailsLabelColor);
    m_detailsLabel->setNumberOfLines(0);
    m_detailsLabel->setFont(m_detailsLabelFont);
    m_detailsLabel->setText(m_detailsLabelText);
    addSubview(m_detailsLabel);
}

// ---- class operations -----------------------------------------------------------------

std::shared_ptr<ProgressHUD> ProgressHUD::showHUDAddedTo(const std::shared_ptr<ui::View>& view, bool animated)
{
    auto hud = createWithView(view);
    if (view)
        view->addSubview(hud);
    hud->show(animated);
    return hud;
}

bool ProgressHUD::hideHUDForView(const std::shared_ptr<ui::View>& view, bool animated)
{
    auto hud = HUDForView(view);
    if (!hud)
        return false;
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hide(animated);
    return true;
}

unsigned ProgressHUD::hideAllHUDsForView(const std::shared_ptr<ui::View>& view, bool animated)
{
    const auto huds = allHUDsForView(view);
    for (const auto& hud : huds) {
        hud->setRemoveFromSuperViewOnHide(true);
        hud->hide(animated);
    }
    return unsigned(huds.size());
}

std::shared_ptr<ProgressHUD> ProgressHUD::HUDForView(const std::shared_ptr<ui::View>& view)
{
    const auto huds = allHUDsForView(view);
    return huds.empty() ? nullptr : huds.back();
}

std::vector<std::shared_ptr<ProgressHUD>> ProgressHUD::allHUDsForView(const std::shared_ptr<ui::View>& view)
{
    std::vector<std::shared_ptr<ProgressHUD>> huds;
    if (!view)
        return huds;
    for (const auto& sub : view->subviews()) {
        if (auto hud = std::dynamic_pointer_cast<ProgressHUD>(sub))
            huds.push_back(std::move(hud));
    }
    return huds;
}

ProgressHUD::Executor ProgressHUD::defaultExecutor()
{
    return [](std::function<void()> task) { QThreadPool::globalInstance()->start(std::move(task)); };
}

ProgressHUD::Executor ProgressHUD::detachedThreadExecutor()
{
    return [](std::function<void()> task) { std::thread(std::move(task)).detach(); };
}

// ---- showing and hiding ---------------------------------------------------------------

void ProgressHUD::show(bool animated)
{
    requireLoopThread("show");
    m_useAnimation = animated;
    if (m_graceTime > 0) {
        auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
        // Tied to this overlay: it never fires for a destroyed one.
        m_graceTimer = core::Timer::scheduledTimer(m_graceTime, false, self, [this](core::Timer&) { handleGraceTimer(); });
        return;
    }
    setNeedsDisplay();
    showUsingAnimation(m_useAnimation);
}

void ProgressHUD::handleGraceTimer()
{
    if (!m_taskInProgress)
        return;
    setNeedsDisplay();
    showUsingAnimation(m_useAnimation);
}

void ProgressHUD::showUsingAnimation(bool animated)
{
    if (animated && m_animationType == ProgressHUDAnimation::Grow)
        setTransform(scaledRotation(0.5));
    else if (animated && m_animationType == ProgressHUDAnimation::Shrink)
        setTransform(scaledRotation(1.5));
    m_showStarted = core::Clock::now();
    // The transform goes back to the rotation whatever the animation type, so a scale left by
    // an earlier zooming hide never survives a re-show.
    if (!animated) {
        setAlpha(1);
        setTransform(m_rotationTransform);
        return;
    }
    ui::View::animate(kAnimationDuration, [this] {
        setAlpha(1);
        setTransform(m_rotationTransform);
    });
}

void ProgressHUD::hide(bool animated)
{
    requireLoopThread("hide");
    m_useAnimation = animated;
    if (m_minShowTime > 0 && m_showStarted) {
        const double elapsed = core::Clock::now() - *m_showStarted;
        if (elapsed < m_minShowTime) {
            auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
            m_minShowTimer = core::Timer::scheduledTimer(m_minShowTime - elapsed, false, self,
                                                         [this](core::Timer&) { handleMinShowTimer(); });
            return;
        }
    }
    hideUsingAnimation(m_useAnimation);
}

void ProgressHUD::hide(bool animated, double delay)
{
    requireLoopThread("hide");
    auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    // Runs only while this overlay lives; done() cancels it.
    core::after(delay, self, [this, animated] { hide(animated); });
}

void ProgressHUD::handleMinShowTimer()
{
    hideUsingAnimation(m_useAnimation);
}

void ProgressHUD::hideUsingAnimation(bool animated)
{
    const bool wasShown = m_showStarted.has_value();
    m_showStarted.reset();
    if (!animated || !wasShown) {
        setAlpha(0);
        done();
        return;
    }
    std::weak_ptr<ui::View> weak = weak_from_this();
    ui::View::beginAnimations();
    ui::View::setAnimationDuration(kAnimationDuration);
    ui::View::setAnimationDidStop([weak](const QString&, bool) {
        if (auto self = weak.lock())
            static_cast<ProgressHUD&>(*self).done();
    });
    if (m_animationType == ProgressHUDAnimation::Grow)
        setTransform(scaledRotation(1.5));
    else if (m_animationType == ProgressHUDAnimation::Shrink)
        setTransform(scaledRotation(0.5));
    setAlpha(kHiddenAlpha);
    ui::View::commitAnimations();
}

void ProgressHUD::done()
{
    auto self = std::static_pointer_cast<ProgressHUD>(shared_from_this());
    core::cancelAll(this);
    setAlpha(0);
    if (m_removeFromSuperViewOnHide && superview()) {
        removeFromSuperview();
        // The host may have held the last reference; whoever called into done() is still on
        // the stack, so the overlay goes at the end of the turn, not here.
        core::post([self] {});
    }
    if (m_completionBlock) {
        // Run from a copy, so that a block that replaces itself is not destroyed mid-call;
        // whatever it leaves set is cleared with it.
        const Block block = m_completionBlock;
        block();
        m_completionBlock = nullptr;
    }
    if (auto delegate = m_delegate.lock())
        delegate->hudWasHidden(self);
}

ui::Transform ProgressHUD::scaledRotation(double scale) const
{
    return ui::Transform::concat(m_rotationTransform, ui::Transform::scale(scale, scale));
}

// ---- running work ---------------------------------------------------------------------

void ProgressHUD::showWhileExecuting(Method method, std::shared_ptr<void> target, std::shared_ptr<void> object,
                                     bool animated)
{
    requireLoopThread("showWhileExecuting");
    m_methodForExecution = method;
    m_targetForExecution = target;
    m_objectForExecution = object;
    m_taskInProgress = true;
    startWork(detachedThreadExecutor(),
              [method = std::move(method), target = std::move(target), object = std::move(object)] {
                  if (method)
                      method(object);
              });
    show(animated);
}

void ProgressHUD::showAnimated(bool animated, Block whileExecutingBlock)
{
    showAnimated(animated, std::move(whileExecutingBlock), defaultExecutor(), Block());
}

void ProgressHUD::showAnimated(bool animated, Block whileExecutingBlock, Block completionBlock)
{
    showAnimated(animated, std::move(whileExecutingBlock), defaultExecutor(), std::move(completionBlock));
}

void ProgressHUD::showAnimated(bool animated, Block whileExecutingBlock, Executor onQueue)
{
    showAnimated(animated, std::move(whileExecutingBlock), std::move(onQueue), Block());
}

void ProgressHUD::showAnimated(bool animated, Block whileExecutingBlock, Executor onQueue, Block completionBlock)
{
    requireLoopThread("showAnimated");
    m_taskInProgress = true;
    m_completionBlock = std::move(completionBlock);
    startWork(onQueue ? onQueue : defaultExecutor(), std::move(whileExecutingBlock));
    show(animated);
}

void ProgressHUD::startWork(const Executor& executor, std::function<void()> work)
{
    std::weak_ptr<ui::View> weak = weak_from_this();
    auto job = std::make_shared<std::function<void()>>(std::move(work));
    executor([weak, job]() mutable {
        if (!job)
            return;   // an executor that runs its task twice gets the work once
        if (*job)
            (*job)();
        // Always back through the loop, even when the executor ran the work inline: the
        // clean-up must not run inside the call that started the work. The work goes back
        // with it, so whatever it holds (this overlay, perhaps) is released on the loop too.
        core::post([weak, job = std::move(job)] {
            if (auto self = weak.lock())
                static_cast<ProgressHUD&>(*self).cleanUp();
        });
    });
}

void ProgressHUD::cleanUp()
{
    m_taskInProgress = false;
    m_methodForExecution = nullptr;
    m_targetForExecution.reset();
    m_objectForExecution.reset();
    hide(m_useAnimation);
}

// ---- properties -----------------------------------------------------------------------

bool ProgressHUD::onLoopThread()
{
    const auto* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void ProgressHUD::requireLoopThread(const char* what) const
{
    if (!onLoopThread())
        qFatal("ProgressHUD::%s must be called on the run loop's thread", what);
}

// Every setter stores, and a change that shows on the panel also asks for a layout and a
// redraw. Off the loop's thread both happen on the loop instead, in the order the changes
// were made (so before the clean-up of the work that made them); the overlay is held weakly
// meanwhile, and a change that finds it gone is dropped.
template <typename T, typename V>
void ProgressHUD::assign(T& member, V&& value, std::optional<Change> change)
{
    if (!onLoopThread()) {
        std::weak_ptr<ui::View> weak = weak_from_this();
        core::post([weak, &member, value = T(std::forward<V>(value)), change]() mutable {
            if (auto self = weak.lock())
                static_cast<ProgressHUD&>(*self).assign(member, std::move(value), change);
        });
        return;
    }
    member = std::forward<V>(value);
    if (change)
        changed(*change);
}

void ProgressHUD::setCompletionBlock(Block block) { assign(m_completionBlock, std::move(block)); }
void ProgressHUD::setMode(ProgressHUDMode mode) { assign(m_mode, mode, Change::Indicator); }
void ProgressHUD::setAnimationType(ProgressHUDAnimation type) { assign(m_animationType, type); }
void ProgressHUD::setCustomView(const std::shared_ptr<ui::View>& view)
{
    assign(m_customView, view, Change::Indicator);
}
void ProgressHUD::setDelegate(const std::shared_ptr<ProgressHUDDelegate>& delegate)
{
    assign(m_delegate, delegate);
}
void ProgressHUD::setLabelText(const QString& text) { assign(m_labelText, text, Change::Label); }
void ProgressHUD::setDetailsLabelText(const QString& text)
{
    assign(m_detailsLabelText, text, Change::DetailsLabel);
}
void ProgressHUD::setOpacity(float opacity) { assign(m_opacity, opacity); }
void ProgressHUD::setColor(std::optional<ui::Color> color) { assign(m_color, color); }
void ProgressHUD::setXOffset(float offset) { assign(m_xOffset, offset); }
void ProgressHUD::setYOffset(float offset) { assign(m_yOffset, offset); }
void ProgressHUD::setMargin(float margin) { assign(m_margin, margin); }
void ProgressHUD::setCornerRadius(float radius) { assign(m_cornerRadius, radius); }
void ProgressHUD::setDimBackground(bool dim) { assign(m_dimBackground, dim); }
void ProgressHUD::setGraceTime(float seconds) { assign(m_graceTime, seconds); }
void ProgressHUD::setMinShowTime(float seconds) { assign(m_minShowTime, seconds); }
void ProgressHUD::setTaskInProgress(bool inProgress) { assign(m_taskInProgress, inProgress); }
void ProgressHUD::setRemoveFromSuperViewOnHide(bool remove)
{
    assign(m_removeFromSuperViewOnHide, remove);
}
void ProgressHUD::setLabelFont(const ui::Font& font) { assign(m_labelFont, font, Change::Label); }
void ProgressHUD::setLabelColor(const ui::Color& color) { assign(m_labelColor, color, Change::Label); }
void ProgressHUD::setDetailsLabelFont(const ui::Font& font)
{
    assign(m_detailsLabelFont, font, Change::DetailsLabel);
}
void ProgressHUD::setDetailsLabelColor(const ui::Color& color)
{
    assign(m_detailsLabelColor, color, Change::DetailsLabel);
}
void ProgressHUD::setProgress(float progress) { assign(m_progress, progress, Change::Progress); }
void ProgressHUD::setMinSize(const ui::Size& size) { assign(m_minSize, size); }
void ProgressHUD::setSquare(bool square) { assign(m_square, square); }

// A change that shows on the panel. Layout and drawing are only requested: the platform runs
// one pass per run-loop turn, so several settings made together show together.
void ProgressHUD::changed(Change change)
{
    switch (change) {
    case Change::Indicator:
        updateIndicators();
        break;
    case Change::Label:
        m_label->setText(m_labelText);
        m_label->setFont(m_labelFont);
        m_label->setTextColor(m_labelColor);
        break;
    case Change::DetailsLabel:
        m_detailsLabel->setText(m_detailsLabelText);
        m_detailsLabel->setFont(m_detailsLabelFont);
        m_detailsLabel->setTextColor(m_detailsLabelColor);
        break;
    case Change::Progress:
        // An indicator that shows progress redraws itself; the panel is unchanged.
        if (auto indicator = std::dynamic_pointer_cast<ProgressIndicator>(m_indicator))
            indicator->setProgress(m_progress);
        return;
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void ProgressHUD::updateIndicators()
{
    auto replaceIndicator = [this](std::shared_ptr<ui::View> indicator) {
        if (m_indicator)
            m_indicator->removeFromSuperview();
        m_indicator = std::move(indicator);
        if (m_indicator)
            addSubview(m_indicator);
    };
    const bool isSpinner = std::dynamic_pointer_cast<ProgressHUDSpinner>(m_indicator) != nullptr;
    const bool isRound = std::dynamic_pointer_cast<RoundProgressView>(m_indicator) != nullptr;

    if (m_mode == ProgressHUDMode::Indeterminate && !isSpinner) {
        auto spinner = ProgressHUDSpinner::create();
        spinner->startAnimating();
        replaceIndicator(spinner);
    } else if (m_mode == ProgressHUDMode::Bar) {
        // A fresh bar every time, even over a bar.
        replaceIndicator(BarProgressView::create());
    } else if (m_mode == ProgressHUDMode::Pie || m_mode == ProgressHUDMode::Ring) {
        if (!isRound)
            replaceIndicator(RoundProgressView::create());
        // Nothing turns the ring off again: a pie after a ring stays a ring.
        if (m_mode == ProgressHUDMode::Ring)
            std::static_pointer_cast<RoundProgressView>(m_indicator)->setAnnular(true);
    } else if (m_mode == ProgressHUDMode::CustomView && m_customView != m_indicator) {
        replaceIndicator(m_customView);
    } else if (m_mode == ProgressHUDMode::Text) {
        replaceIndicator(nullptr);
    }
}

// ---- layout and drawing ---------------------------------------------------------------

void ProgressHUD::layoutSubviews()
{
    if (auto host = superview())
        fillHost(*host);
    const double w = bounds().width();
    const double h = bounds().height();
    const double margin = m_margin;
    const double maxWidth = w - 4 * margin;

    const ui::Size indicatorSize = m_indicator ? m_indicator->bounds().size : ui::Size();
    const double iw = std::min(indicatorSize.width, maxWidth);
    const double ih = indicatorSize.height;
    double tw = iw;
    double th = ih;

    const ui::Size labelSize = m_label->text().isEmpty() ? ui::Size() : m_label->font().sizeOfText(m_label->text());
    const double lw = std::min(labelSize.width, maxWidth);
    const double lh = labelSize.height;
    tw = std::max(tw, lw);
    th += lh;
    if (lh > 0 && ih > 0)
        th += kPadding;

    const double remaining = h - th - kPadding - 4 * margin;
    const ui::Size detailsSize = wrappedSize(m_detailsLabel->text(), m_detailsLabel->font(), maxWidth, remaining);
    const double dw = detailsSize.width;
    const double dh = detailsSize.height;
    tw = std::max(tw, dw);
    th += dh;
    if (dh > 0 && (ih > 0 || lh > 0))
        th += kPadding;

    tw += 2 * margin;
    th += 2 * margin;

    double y = roundHalf((h - th) / 2) + margin + m_yOffset;
    if (m_indicator)
        m_indicator->setFrame(ui::Rect(roundHalf((w - iw) / 2) + m_xOffset, y, iw, ih));
    y += ih;
    if (lh > 0 && ih > 0)
        y += kPadding;
    m_label->setFrame(ui::Rect(roundHalf((w - lw) / 2) + m_xOffset, y, lw, lh));
    y += lh;
    if (dh > 0 && (ih > 0 || lh > 0))
        y += kPadding;
    m_detailsLabel->setFrame(ui::Rect(roundHalf((w - dw) / 2) + m_xOffset, y, dw, dh));
    m_size = grownPanel(ui::Size(tw, th));
}

// The panel may grow past its contents (square, minimum size); they stay where they are,
// sharing its centre.
ui::Size ProgressHUD::grownPanel(ui::Size panel) const
{
    if (m_square) {
        const double side = std::max(panel.width, panel.height);
        if (side <= bounds().width() - 2 * double(m_margin))
            panel.width = side;
        if (side <= bounds().height() - 2 * double(m_margin))
            panel.height = side;
    }
    return ui::Size(std::max(panel.width, m_minSize.width), std::max(panel.height, m_minSize.height));
}

void ProgressHUD::draw(ui::DrawContext& context)
{
    const double w = bounds().width();
    const double h = bounds().height();
    if (m_dimBackground) {
        const ui::Point centre(w / 2, h / 2);
        context.drawRadialGradient({{0, ui::Color(0, 0, 0, 0)}, {1, ui::Color(0, 0, 0, 0.75)}}, centre, 0, centre,
                                   std::min(w, h), true);
    }

    context.setFillColor(m_color.value_or(ui::Color::fromWhite(0, m_opacity)));
    const ui::Rect panel(roundHalf((w - m_size.width) / 2) + m_xOffset, roundHalf((h - m_size.height) / 2) + m_yOffset,
                         m_size.width, m_size.height);
    const double r = m_cornerRadius;
    // Four quarter arcs, each turning clockwise on screen, from the top edge round.
    context.moveTo({panel.minX() + r, panel.minY()});
    context.addArc({panel.maxX() - r, panel.minY() + r}, r, 3 * kPi / 2, 0, ui::Path::ArcDirection::Increasing);
    context.addArc({panel.maxX() - r, panel.maxY() - r}, r, 0, kPi / 2, ui::Path::ArcDirection::Increasing);
    context.addArc({panel.minX() + r, panel.maxY() - r}, r, kPi / 2, kPi, ui::Path::ArcDirection::Increasing);
    context.addArc({panel.minX() + r, panel.minY() + r}, r, kPi, 3 * kPi / 2, ui::Path::ArcDirection::Increasing);
    context.closePath();
    context.fillPath();
}

// ---- orientation ----------------------------------------------------------------------

// Covers the host. A frame is only well defined without a transform, so a rotated overlay (on
// a window in landscape) takes the host's centre and the host's size turned back by the
// rotation.
void ProgressHUD::fillHost(const ui::View& host)
{
    const ui::Rect hostBounds = host.bounds();
    if (transform().isIdentity()) {
        setFrame(hostBounds);
        return;
    }
    const bool quarterTurn = std::abs(m_rotationTransform.b) > 0.5;
    const ui::Size size = hostBounds.size;
    setBounds(ui::Rect(0, 0, quarterTurn ? size.height : size.width, quarterTurn ? size.width : size.height));
    setCenter(hostBounds.center());
}

void ProgressHUD::didMoveToSuperview()
{
    if (std::dynamic_pointer_cast<ui::Window>(superview()))
        setTransformForCurrentOrientation(false);
}

void ProgressHUD::deviceOrientationDidChange()
{
    auto host = superview();
    if (!host)
        return;
    if (std::dynamic_pointer_cast<ui::Window>(host)) {
        setTransformForCurrentOrientation(true);
        return;
    }
    fillHost(*host);
    setNeedsDisplay();
}

void ProgressHUD::setTransformForCurrentOrientation(bool animated)
{
    if (auto host = superview()) {
        setBounds(host->bounds());
        setNeedsDisplay();
    }
    const auto orientation = ui::Application::shared().statusBarOrientation();
    float angle = 0;
    if (ui::isLandscape(orientation)) {
        angle = orientation == ui::InterfaceOrientation::LandscapeRight ? float(kPi / 2) : -float(kPi / 2);
        const ui::Rect b = bounds();
        setBounds(ui::Rect(0, 0, b.height(), b.width()));
    } else if (orientation == ui::InterfaceOrientation::PortraitUpsideDown) {
        angle = float(kPi);
    }
    m_rotationTransform = ui::Transform::rotation(angle);
    if (!animated) {
        setTransform(m_rotationTransform);
        return;
    }
    ui::View::beginAnimations();
    setTransform(m_rotationTransform);
    ui::View::commitAnimations();
}
