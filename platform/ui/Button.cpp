#include "platform/ui/Button.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/Label.h"

#include <QHash>
#include <QPainter>
#include <algorithm>

namespace ui {

namespace {

constexpr double kGlowRadius = 20;
const Color kDefaultTitleColor = Color::white();

// The pressed look: the same pixels under a third of black, keeping their alpha.
Image darkened(const Image& image)
{
    if (image.isNull())
        return image;
    static QHash<qint64, Image> cache;
    const qint64 key = image.qimage().cacheKey();
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QImage pixels = image.qimage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&pixels);
        painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        painter.fillRect(pixels.rect(), QColor(0, 0, 0, 85));
    }
    Image dark = Image::fromQImage(pixels, image.scale());
    cache.insert(key, dark);
    return dark;
}

} // namespace

std::shared_ptr<Button> Button::create(ButtonType type)
{
    return std::shared_ptr<Button>(new Button(type, Rect()));
}

std::shared_ptr<Button> Button::create(const Rect& frame)
{
    return std::shared_ptr<Button>(new Button(ButtonType::Custom, frame));
}

Button::Button(ButtonType type, const Rect& frame)
    : Control(frame)
    , m_type(type)
{
    setOpaque(false);
}

template<class T>
T Button::lookup(const std::map<unsigned, T>& table, unsigned state, const T& fallback)
{
    auto find = [&](unsigned s) -> const T* {
        auto it = table.find(s);
        return it == table.end() ? nullptr : &it->second;
    };
    if (auto v = find(state))
        return *v;
    for (unsigned bit : {unsigned(ControlState::Highlighted), unsigned(ControlState::Selected),
                         unsigned(ControlState::Disabled)}) {
        if (state & bit) {
            if (auto v = find(bit))
                return *v;
        }
    }
    if (auto v = find(ControlState::Normal))
        return *v;
    return fallback;
}

void Button::setBackgroundImage(const Image& image, unsigned state)
{
    m_backgroundImages[state] = image;
    setNeedsDisplay();
}

Image Button::backgroundImageForState(unsigned state) const
{
    return lookup(m_backgroundImages, state, Image());
}

void Button::setImage(const Image& image, unsigned state)
{
    m_images[state] = image;
    setNeedsDisplay();
    setNeedsLayout();
}

Image Button::imageForState(unsigned state) const
{
    return lookup(m_images, state, Image());
}

void Button::setTitle(const QString& title, unsigned state)
{
    m_titles[state] = title;
    updateTitle();
}

QString Button::titleForState(unsigned state) const
{
    return lookup(m_titles, state, QString());
}

void Button::setTitleColor(const Color& color, unsigned state)
{
    m_titleColors[state] = color;
    updateTitle();
}

Color Button::titleColorForState(unsigned state) const
{
    return lookup(m_titleColors, state, kDefaultTitleColor);
}

std::shared_ptr<Label> Button::titleLabel()
{
    if (!m_titleLabel) {
        m_titleLabel = Label::create();
        m_titleLabel->setFont(Font::systemFont(15));
        m_titleLabel->setTextAlignment(TextAlignment::Center);
        m_titleLabel->setTextColor(currentTitleColor());
        addSubview(m_titleLabel);
        setNeedsLayout();
    }
    return m_titleLabel;
}

void Button::setContentHorizontalAlignment(ContentHorizontalAlignment alignment)
{
    m_contentAlignment = alignment;
    setNeedsLayout();
    setNeedsDisplay();
}

void Button::setShowsTouchWhenHighlighted(bool shows)
{
    m_showsTouch = shows;
    setNeedsDisplay();
}

void Button::setAdjustsImageWhenHighlighted(bool adjusts)
{
    m_adjustsImage = adjusts;
    setNeedsDisplay();
}

Image Button::displayedBackgroundImage() const
{
    const Image image = currentBackgroundImage();
    return darkens() ? darkened(image) : image;
}

Image Button::displayedImage() const
{
    const Image image = currentImage();
    return darkens() ? darkened(image) : image;
}

void Button::stateDidChange()
{
    Control::stateDidChange();
    updateTitle();
    setNeedsLayout();
}

void Button::updateTitle()
{
    if (m_titles.empty() && !m_titleLabel)
        return;
    auto label = titleLabel();
    label->setText(currentTitle());
    label->setTextColor(currentTitleColor());
    setNeedsLayout();
}

void Button::layoutSubviews()
{
    if (!m_titleLabel)
        return;
    const Rect b = bounds();
    const Size imageSize = currentImage().size();
    const Size fits = m_titleLabel->sizeThatFits(Size());
    const double titleWidth = std::min(fits.width, std::max(0.0, b.width() - imageSize.width));
    const double x = contentX(imageSize.width + titleWidth) + imageSize.width;
    m_titleLabel->setFrame(Rect(x, b.y() + (b.height() - fits.height) / 2, titleWidth, fits.height));
}

double Button::titleWidth() const
{
    return m_titleLabel && !m_titleLabel->text().isEmpty() ? m_titleLabel->frame().width() : 0;
}

// The left edge of the image-and-title block of the given width.
double Button::contentX(double contentWidth) const
{
    const Rect b = bounds();
    switch (m_contentAlignment) {
    case ContentHorizontalAlignment::Left: return b.x();
    case ContentHorizontalAlignment::Right: return b.x() + b.width() - contentWidth;
    case ContentHorizontalAlignment::Center: break;
    }
    return b.x() + (b.width() - contentWidth) / 2;
}

void Button::draw(DrawContext& context)
{
    const Rect b = bounds();
    if (const Image background = displayedBackgroundImage(); !background.isNull())
        context.drawImage(background, b);
    if (const Image image = displayedImage(); !image.isNull()) {
        const Size size = image.size();
        const double x = contentX(size.width + titleWidth());
        context.drawImage(image, Rect(x, b.y() + (b.height() - size.height) / 2, size.width, size.height));
    }
    if (m_showsTouch && isHighlighted()) {
        const Point c = b.center();
        context.drawRadialGradient({{0, Color::white().withAlpha(0.8)}, {1, Color::white().withAlpha(0)}}, c, 0, c,
                                   kGlowRadius, false);
    }
}

QString Button::accessibilityLabel() const
{
    const QString own = View::accessibilityLabel();
    return own.isEmpty() ? currentTitle() : own;
}

} // namespace ui
