#pragma once

#include "platform/ui/AnimatableValue.h"
#include "platform/ui/Color.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/Path.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QImage;

namespace ui {

class Animation;
class DrawContext;
class LayerTreeObserver;
class TransactionGroup;

// A node of the drawn tree (the phone's layer). Every view owns one; standalone layers
// (a shadow caster, a chart's line) live beside view layers in the same tree.
//
// Geometry: bounds (its own coordinate space), position (where its anchor point sits in the
// superlayer's space), anchorPoint (unit coordinates of the bounds, default the centre) and
// an affine transform about the anchor point. frame is derived from these.
//
// Model and presentation: setters change the model at once. Animations added by key run on
// core::Clock; presentation() is a copy of the model values with every running animation
// applied at Clock::now(), and it is what Renderer draws.
class Layer : public std::enable_shared_from_this<Layer> {
public:
    enum class ContentsGravity { Resize, ResizeAspect, ResizeAspectFill, Center };

    static std::shared_ptr<Layer> create();
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // Geometry.
    Rect bounds() const { return m_bounds; }
    void setBounds(const Rect& r);
    Point position() const { return m_position; }
    void setPosition(const Point& p);
    Point anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(const Point& p);
    Transform transform() const { return m_transform; }
    void setTransform(const Transform& t);
    // The bounding box of the layer in its superlayer's space. Setting it keeps the anchor
    // point and transform and sets position and bounds size (as the phone does when the
    // transform is the identity).
    Rect frame() const;
    void setFrame(const Rect& r);
    // Maps this layer's bounds space into the superlayer's space.
    Transform transformToSuperlayer() const;
    // Conversions through the common ancestor; a null `other` means this layer's root space.
    Point convertPointTo(const Point& p, const Layer* other) const;
    Point convertPointFrom(const Point& p, const Layer* other) const;
    Rect convertRectTo(const Rect& r, const Layer* other) const;
    Rect convertRectFrom(const Rect& r, const Layer* other) const;
    bool containsPoint(const Point& p) const { return m_bounds.contains(p); }   // in bounds space

    // Appearance.
    double opacity() const { return m_opacity; }
    void setOpacity(double o);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool h);
    Color backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const Color& c);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double r);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool m);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double w);
    Color borderColor() const { return m_borderColor; }
    void setBorderColor(const Color& c);
    Image contents() const { return m_contents; }
    void setContents(const Image& image);
    ContentsGravity contentsGravity() const { return m_contentsGravity; }
    void setContentsGravity(ContentsGravity g);

    // Shadow: cast by the shadow path when there is one, else by the drawn layer's alpha.
    Color shadowColor() const { return m_shadowColor; }            // default black
    void setShadowColor(const Color& c);
    double shadowOpacity() const { return m_shadowOpacity; }       // default 0: no shadow
    void setShadowOpacity(double o);
    double shadowRadius() const { return m_shadowRadius; }         // default 3 (blur)
    void setShadowRadius(double r);
    Size shadowOffset() const { return m_shadowOffset; }           // default (0, −3)
    void setShadowOffset(const Size& s);
    std::optional<Path> shadowPath() const { return m_shadowPath; }
    void setShadowPath(std::optional<Path> p);

    // Mask: only where the mask layer (in this layer's bounds space) has alpha is this layer
    // and its sublayers drawn. The mask belongs to this layer and has no superlayer.
    std::shared_ptr<Layer> mask() const { return m_mask; }
    void setMask(std::shared_ptr<Layer> mask);

    // Custom drawing (a view's draw()). The callback draws in bounds space; its result is kept
    // and drawn again until setNeedsDisplay() or a change of bounds size asks for a new one.
    void setDrawCallback(std::function<void(DrawContext&)> draw);
    bool hasDrawCallback() const { return static_cast<bool>(m_draw); }
    void setNeedsDisplay();
    // Only `rect` (bounds space) of the kept drawing is drawn again, the callback clipped to
    // it; the rest keeps what it showed, and only that area is reported as changed.
    void setNeedsDisplayInRect(const Rect& rect);
    bool needsDisplay() const { return m_needsDisplay || m_dirtyRect; }

    // Tree. Adding a layer that has a superlayer moves it.
    std::shared_ptr<Layer> superlayer() const { return m_superlayer.lock(); }
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return m_sublayers; }
    void addSublayer(const std::shared_ptr<Layer>& layer);
    void insertSublayerAt(const std::shared_ptr<Layer>& layer, std::size_t index);
    // Below or above a sibling. A null sibling puts the layer at the bottom (below) or the
    // top (above); a sibling that is not a sublayer of this layer appends.
    void insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling);
    void replaceSublayer(const Layer* old, const std::shared_ptr<Layer>& with);
    void removeFromSuperlayer();
    bool isDescendantOf(const Layer* ancestor) const;

    // Animations by key (an empty key makes a unique one). Adding under a key in use
    // replaces (and stops) the animation there.
    void addAnimation(const std::shared_ptr<Animation>& animation, const QString& key);
    std::shared_ptr<const Animation> animationForKey(const QString& key) const;
    void removeAnimationForKey(const QString& key);
    void removeAllAnimations();
    QStringList animationKeys() const;   // in the order they were added
    bool hasAnimations() const { return !m_animations.empty(); }

    // Presentation: a detached copy of this layer's own values (no sublayers, no animations,
    // the mask's presentation as mask) with the animations applied at Clock::now().
    std::shared_ptr<Layer> presentation() const;
    std::shared_ptr<Layer> presentationAt(double clockTime) const;

    // Key-path access used by animations. Known paths: position, position.x, position.y,
    // bounds, bounds.size, bounds.origin, bounds.size.width, bounds.size.height, anchorPoint,
    // transform, transform.rotation(.z), transform.scale, transform.translation.x/.y, opacity,
    // backgroundColor, cornerRadius, borderWidth, borderColor, shadowColor, shadowOpacity,
    // shadowRadius, shadowOffset, shadowPath. ShapeLayer adds its own.
    virtual AnimatableValue valueForKeyPath(const QString& keyPath) const;
    // False when the key path is unknown or the value of the wrong kind.
    virtual bool setValueForKeyPath(const QString& keyPath, const AnimatableValue& value);

    // The root of a tree that is shown (a window's layer) reports every change below it that
    // can alter the picture to its observer; see LayerTreeObserver. Not owned.
    void setTreeObserver(LayerTreeObserver* observer) { m_treeObserver = observer; }
    LayerTreeObserver* treeObserver() const { return m_treeObserver; }

    // An opaque weak handle to the object this layer backs (a view), for code that walks
    // layers and needs the owner back.
    std::shared_ptr<void> owner() const { return m_owner.lock(); }
    void setOwner(std::weak_ptr<void> owner) { m_owner = std::move(owner); }

    QString name() const { return m_name; }   // debugging
    void setName(const QString& n) { m_name = n; }

    // Renderer support: runs the custom drawing into a cache at `scale` pixels per point when
    // it is missing or stale, and returns it (null without a callback or with empty bounds).
    const QImage* cachedDrawing(double scale) const;
    double cachedDrawingScale() const { return m_drawCacheScale; }
    // Renderer support: an opaque slot for what the renderer may reuse in the next frame.
    std::shared_ptr<void>& rendererCache() const { return m_rendererCache; }

protected:
    // What a change alters: only what the layer itself paints inside its bounds (a colour, a
    // drawing), or anything (geometry, order, visibility, what reaches past the bounds).
    enum class Change { InsideBounds, Anything };
    // Tells the observer of this layer's root of a change; a change of this layer's own
    // visibility is reported even while it is hidden or faded out.
    // `area` (bounds space) narrows an InsideBounds change to a part of the bounds.
    void changed(Change change, bool ownVisibility = false, const std::optional<Rect>& area = std::nullopt) const;

    Layer();
    // Copies this layer's own property values into `to` (same dynamic class).
    virtual void copyValuesTo(Layer& to) const;
    virtual std::shared_ptr<Layer> makeEmpty() const;

private:
    struct Running;
    void stopRunning(std::unique_ptr<Running> r);
    void animationStarted(quint64 serial);
    void animationEnded(quint64 serial);
    void attach(const std::shared_ptr<Layer>& layer);
    bool assignValueForKeyPath(const QString& keyPath, const AnimatableValue& value);
    void redrawDirtyRect(double scale) const;

    Rect m_bounds;
    Point m_position;
    Point m_anchorPoint{0.5, 0.5};
    Transform m_transform;
    double m_opacity = 1;
    bool m_hidden = false;
    Color m_backgroundColor = Color::clear();
    double m_cornerRadius = 0;
    bool m_masksToBounds = false;
    double m_borderWidth = 0;
    Color m_borderColor = Color::black();
    Image m_contents;
    ContentsGravity m_contentsGravity = ContentsGravity::Resize;
    Color m_shadowColor = Color::black();
    double m_shadowOpacity = 0;
    double m_shadowRadius = 3;
    Size m_shadowOffset{0, -3};
    std::optional<Path> m_shadowPath;
    std::shared_ptr<Layer> m_mask;

    std::function<void(DrawContext&)> m_draw;
    // The drawing cache is not part of the layer's value: rendering a const tree fills it.
    mutable bool m_needsDisplay = false;
    mutable std::optional<Rect> m_dirtyRect;   // a part to draw again, while the rest is kept
    mutable std::unique_ptr<QImage> m_drawCache;
    mutable double m_drawCacheScale = 0;
    mutable Size m_drawCacheSize;
    mutable std::shared_ptr<void> m_rendererCache;

    std::weak_ptr<Layer> m_superlayer;
    std::weak_ptr<Layer> m_maskedLayer;   // the layer this one masks
    LayerTreeObserver* m_treeObserver = nullptr;
    std::vector<std::shared_ptr<Layer>> m_sublayers;
    std::vector<std::unique_ptr<Running>> m_animations;
    quint64 m_nextSerial = 1;
    std::weak_ptr<void> m_owner;
    QString m_name;
};

} // namespace ui
