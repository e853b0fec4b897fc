#pragma once

#include <QString>
#include <memory>

namespace ui {
class Button;
class Image;
}

// The image buttons every screen uses: a custom button whose background image, for the normal
// and the pressed state, is the named artwork; no touch glow, darkened while pressed, as big as
// the image's scaled size (at the origin until the screen places it).
class ImageButton {
public:
    ImageButton() = delete;

    // `caption` is what the image says; it becomes the accessibility label.
    static std::shared_ptr<ui::Button> create(const QString& imageName, const QString& caption);
    static std::shared_ptr<ui::Button> create(const ui::Image& image, const QString& caption);
    // Gives a button made elsewhere (a subclass, a given frame) the same look.
    static void style(ui::Button& button, const ui::Image& image);
};
