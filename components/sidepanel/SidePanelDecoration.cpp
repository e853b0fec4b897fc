#include "components/sidepanel/SidePanelDecoration.h"

#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Log.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"
#include "platform/ui/TimingFunction.h"
#include "platform/ui/View.h"

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

std::shared_ptr<ui::Layer> SidePanelDecoration::makeShadowLayer()
{
    auto layer = ui::Layer::create();
    layer->setMasksToBounds(false);
    layer->setShadowRadius(10.0);
    layer->setShadowOpacity(0.5);
    layer->setShadowColor(ui::Color::black());
    layer->setShadowOffset({});
    return layer;
}

SidePanelDecoration::SidePanelDecoration(SidePanelController& panel)
    : m_panel(panel)
{
}

void SidePanelDecoration::setCenterViewOpacity(double opacity)
{
    m_panel.m_centerViewOpacity = opacity;
    if (opacity < 1 && m_panel.sideControllerCount() > 1) {
        core::log(QStringLiteral("sidepanel"),
                  QStringLiteral("SidePanelController: warning: setting centerViewOpacity to value different than 1 "
                                 "with more than one side controller. Value will be ignored."));
        return;
    }
    m_panel.applyCenterViewOpacityIfNeeded();
}

void SidePanelDecoration::applyCenterViewOpacityIfNeeded()
{
    if (!m_panel.m_centerController)
        return;
    auto centerControllerView = m_panel.m_centerController->view();
    if (m_panel.sideControllerCount() <= 1) {
        centerControllerView->setAlpha(m_panel.m_centerViewOpacity);
        centerControllerView->setOpaque(false);
        return;
    }
    if (centerControllerView->alpha() < 1) {
        centerControllerView->setAlpha(1);
        centerControllerView->setOpaque(true);
    }
}

void SidePanelDecoration::setCenterViewCornerRadius(double radius)
{
    m_panel.m_centerViewCornerRadius = radius;
    m_panel.applyCenterViewCornerRadiusAnimated(false);
}

ui::Path SidePanelDecoration::generateCenterViewCornerRadiusPath() const
{
    auto sliding = m_panel.slidingControllerView();
    const ui::Rect bounds = sliding ? sliding->layer()->bounds() : ui::Rect();
    if (m_panel.m_centerViewCornerRadius == 0)
        return ui::Path::rect(bounds);
    unsigned corners = 0;
    if (m_panel.hasController(SidePanelSide::Left))
        corners |= ui::Path::TopLeft | ui::Path::BottomLeft;
    if (m_panel.hasController(SidePanelSide::Right))
        corners |= ui::Path::TopRight | ui::Path::BottomRight;
    if (m_panel.hasController(SidePanelSide::Top))
        corners |= ui::Path::TopLeft | ui::Path::TopRight;
    if (m_panel.hasController(SidePanelSide::Bottom))
        corners |= ui::Path::BottomLeft | ui::Path::BottomRight;
    return ui::Path::roundedRect(bounds, corners, {m_panel.m_centerViewCornerRadius, m_panel.m_centerViewCornerRadius});
}

bool SidePanelDecoration::currentAnimationDuration(double& duration, ui::TimingFunction& timing) const
{
    auto sliding = m_panel.slidingControllerView();
    if (!sliding)
        return false;
    auto bounds = std::dynamic_pointer_cast<const ui::BasicAnimation>(sliding->layer()->animationForKey(QStringLiteral("bounds")));
    if (!bounds)
        return false;
    duration = bounds->duration();
    timing = bounds->timingFunction();
    return true;
}

void SidePanelDecoration::applyCenterViewCornerRadiusAnimated(bool animated)
{
    const ui::Path path = m_panel.generateCenterViewCornerRadiusPath();
    auto sliding = m_panel.slidingControllerView();
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
        if (!m_panel.m_shadowLayer)
            return finishCornerRadius(mask, path);
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("position"), m_panel.m_shadowLayer->position(), slidingPosition,
                               duration, timing, QStringLiteral("animatePosition"));
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("bounds"), m_panel.m_shadowLayer->bounds(), slidingBounds, duration,
                               timing, QStringLiteral("animateBounds"));
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("shadowPath"),
                               m_panel.m_shadowLayer->shadowPath() ? ui::AnimatableValue(*m_panel.m_shadowLayer->shadowPath()) : ui::AnimatableValue(),
                               path, duration, timing, QStringLiteral("animateShadowPath"));
    }
    finishCornerRadius(mask, path);
    if (!m_panel.m_shadowLayer)
        return;
    m_panel.m_shadowLayer->setShadowPath(path);
    m_panel.m_shadowLayer->setFrame(slidingLayer ? slidingLayer->frame() : ui::Rect());
}

void SidePanelDecoration::finishCornerRadius(const std::shared_ptr<ui::ShapeLayer>& mask, const ui::Path& path)
{
    if (!mask)
        return;
    mask->setPath(path);
    mask->setFrame(path.boundingBox());
}

void SidePanelDecoration::setShadowEnabled(bool enabled, bool animated)
{
    m_panel.m_shadowEnabled = enabled;
    if (enabled)
        m_panel.applyShadowToSlidingViewAnimated(animated);
    else
        m_panel.restoreShadowToSlidingView();
}

void SidePanelDecoration::restoreShadowToSlidingView()
{
    if (m_panel.m_shadowLayer && m_panel.slidingControllerView())
        m_panel.m_shadowLayer->removeFromSuperlayer();
}

void SidePanelDecoration::applyShadowToSlidingViewAnimated(bool animated)
{
    auto sliding = m_panel.slidingControllerView();
    if (!m_panel.m_shadowEnabled || !sliding || !m_panel.m_shadowLayer)
        return;
    if (auto delegate = m_panel.delegate()) {
        auto self = m_panel.self();
        if (delegate->applyShadow(m_panel, *m_panel.m_shadowLayer, m_panel.referenceBounds()))
            return;
    }
    auto slidingLayer = sliding->layer();
    auto mask = std::dynamic_pointer_cast<ui::ShapeLayer>(slidingLayer->mask());
    const std::optional<ui::Path> maskPath = mask ? mask->path() : std::nullopt;
    if (!animated) {
        if (auto superlayer = slidingLayer->superlayer())
            superlayer->insertSublayerBelow(m_panel.m_shadowLayer, slidingLayer.get());
        m_panel.m_shadowLayer->setFrame(slidingLayer->frame());
        m_panel.m_shadowLayer->setShadowPath(maskPath);
        return;
    }
    double duration = 0;
    ui::TimingFunction timing;
    if (currentAnimationDuration(duration, timing) && !m_panel.m_shadowLayer->animationForKey(QStringLiteral("animateShadowPath"))) {
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("shadowPath"),
                               m_panel.m_shadowLayer->shadowPath() ? ui::AnimatableValue(*m_panel.m_shadowLayer->shadowPath()) : ui::AnimatableValue(),
                               maskPath ? ui::AnimatableValue(*maskPath) : ui::AnimatableValue(), duration, timing,
                               QStringLiteral("animateShadowPath"));
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("bounds"), m_panel.m_shadowLayer->bounds(), slidingLayer->bounds(),
                               duration, timing, QStringLiteral("animateBounds"));
    }
    if (m_panel.m_shadowLayer->animationKeys().isEmpty()) {
        addDecorationAnimation(*m_panel.m_shadowLayer, QStringLiteral("shadowOpacity"), 0.0, ui::AnimatableValue(), 1.0,
                               ui::TimingFunction::easeInEaseOut(), QStringLiteral("animateShadowOpacity"));
    }
}

void SidePanelDecoration::followSlidingViewWithShadow(ui::View* sliding)
{
    if (!m_panel.m_shadowLayer)
        return;
    auto slidingLayer = sliding ? sliding->layer() : nullptr;
    auto running = slidingLayer ? std::dynamic_pointer_cast<const ui::BasicAnimation>(slidingLayer->animationForKey(QStringLiteral("position")))
                                : nullptr;
    m_panel.m_shadowLayer->setFrame(slidingLayer ? slidingLayer->frame() : ui::Rect());
    if (!running) {
        // A zero-length follow animation would only cancel one still running; on our
        // platform a zero duration means the default, so cancel it directly.
        m_panel.m_shadowLayer->removeAnimationForKey(QStringLiteral("position"));
        return;
    }
    auto follow = ui::BasicAnimation::create(QStringLiteral("position"));
    follow->setDuration(running->duration());
    follow->setBeginTime(running->beginTime());
    follow->setFillMode(ui::Animation::FillMode::Forwards);
    follow->setFromValue(running->fromValue());
    follow->setToValue(ui::hasValue(running->toValue()) ? running->toValue() : ui::AnimatableValue(slidingLayer->position()));
    follow->setTimingFunction(running->timingFunction());
    m_panel.m_shadowLayer->addAnimation(follow, QStringLiteral("position"));
}
