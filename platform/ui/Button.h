#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

#include <QString>
#include <map>

namespace ui {

class Label;

// The kinds of button; the app uses the custom one (plain, drawn only from what is set).
enum class ButtonType { Custom = 0 };

// Where the image and title sit across the button, with the phone's values.
enum class ContentHorizontalAlignment { Center = 0, Left = 1, Right = 2 };

// A control that draws a background image, an image and a title for its current state.
//
// Each content is set per state; a state with nothing set shows what the normal state has.
// While pressed, adjustsImageWhenHighlighted darkens the images (whatever image the
// highlighted state has), and showsTouchWhenHighlighted draws a white glow at the centre.
class Button : public Control {
public:
    static std::shared_ptr<Button> create(ButtonType type = ButtonType::Custom);
    static std::shared_ptr<Button> create(const Rect& frame);

    ButtonType buttonType() const { return m_type; }

    void setBackgroundImage(const Image& image, unsigned state);
    Image backgroundImageForState(unsigned state) const;
    void setImage(const Image& image, unsigned state);
    Image imageForState(unsigned state) const;
    void setTitle(const QString& title, unsigned state);
    QString titleForState(unsigned state) const;
    void setTitleColor(const Color& color, unsigned state);
    Color titleColorForState(unsigned state) const;

    Image currentBackgroundImage() const { return backgroundImageForState(state()); }
    Image currentImage() const { return imageForState(state()); }
    QString currentTitle() const { return titleForState(state()); }
    QString accessibilityLabel() const override;
    Color currentTitleColor() const { return titleColorForState(state()); }

    // The title's label: set its font here. Made on first use.
    std::shared_ptr<Label> titleLabel();

    // The image and title side by side, as one block placed by this alignment.
    ContentHorizontalAlignment contentHorizontalAlignment() const { return m_contentAlignment; }
    void setContentHorizontalAlignment(ContentHorizontalAlignment alignment);

    bool showsTouchWhenHighlighted() const { return m_showsTouch; }
    void setShowsTouchWhenHighlighted(bool shows);
    bool adjustsImageWhenHighlighted() const { return m_adjustsImage; }
    void setAdjustsImageWhenHighlighted(bool adjusts);

    // What draw() shows now: the images after darkening, for tests and screenshots.
    Image displayedBackgroundImage() const;
    Image displayedImage() const;

protected:
    Button(ButtonType type, const Rect& frame);

    void draw(DrawContext& context) override;
    void layoutSubviews() override;
    void stateDidChange() override;

private:
    template<class T>
    static T lookup(const std::map<unsigned, T>& table, unsigned state, const T& fallback);
    bool darkens() const { return m_adjustsImage && isHighlighted(); }
    void updateTitle();
    double titleWidth() const;
    double contentX(double contentWidth) const;

    ButtonType m_type;
    std::map<unsigned, Image> m_backgroundImages;
    std::map<unsigned, Image> m_images;
    std::map<unsigned, QString> m_titles;
    std::map<unsigned, Color> m_titleColors;
    std::shared_ptr<Label> m_titleLabel;
    ContentHorizontalAlignment m_contentAlignment = ContentHorizontalAlignment::Center;
    bool m_showsTouch = false;
    bool m_adjustsImage = true;
};

} // namespace ui
