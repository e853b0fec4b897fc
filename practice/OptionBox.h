#pragma once

#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/View.h"
#include "platform/ui/WebViewDelegate.h"

#include <QString>
#include <memory>

namespace ui {
class Button;
class GestureRecognizer;
class WebView;
}

// What a single-choice option and a multiple-choice box have in common: an image button
// (sized at half the image's pixels whatever the screen), an optional HTML caption to its
// right, a value, and a tap anywhere on the view. Subclasses decide what a tap does, how
// the view's width follows the image and whom they report to.
//
// The caption loads asynchronously; when it has loaded (or failed, which counts as a caption
// of height 0 so the group still restacks) the option lays out button and caption by the
// caption's height and reports replaseWidth.
class OptionBox : public ui::View, public ui::WebViewDelegate, public ui::GestureRecognizerDelegate {
public:
    // The caption is laid out at this width, and measured only once, there.
    static constexpr double kCaptionMeasureWidth = 200;
    static constexpr double kCaptionGap = 10;

    // Selected (checked) image file name, normal image file name; sizes the button.
    void setImage(const QString& highlightedImage, const QString& normalImage);
    // Loads the caption's HTML.
    void setTitle(const QString& html);
    // The page a caption loads: the option's HTML in the option's font size.
    static QString captionHtml(const QString& html, double fontSize);

    virtual void handlesengleTap(ui::GestureRecognizer& recognizer) = 0;
    // Unselects silently.
    void noClick();

    void setClickValue(const QString& value) { m_value = value; }
    QString getClickValue() const { return m_value; }

    bool isClilck() const { return m_isClilck; }
    void setIsClilck(bool clicked) { m_isClilck = clicked; }
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size) { m_fontSize = size; }

    // Forgets delegate, images, button, caption and value, and empties the view.
    virtual void reunload();

    std::shared_ptr<ui::Button> radioBtn() const { return m_radioBtn; }
    std::shared_ptr<ui::WebView> title() const { return m_title; }
    QString highlightedImage() const { return m_highlightedImage; }
    QString normalImage() const { return m_normalImage; }

    // Image-only options are found by their value unless a label was set.
    QString accessibilityLabel() const override;

    void webViewDidFinishLoad(ui::WebView& webView) override;
    void didFailLoadWithError(ui::WebView& webView, const core::UrlError& error) override;
    // Yes for every pair: the scroll views under an option wait for its tap to fail, so a tap
    // that drifts a little still picks the option instead of nudging the page.
    std::optional<bool> shouldBeRequiredToFailByGestureRecognizer(ui::GestureRecognizer& recognizer,
                                                                  ui::GestureRecognizer& other) override;

protected:
    explicit OptionBox(const ui::Rect& frame);
    // Adds the tap recogniser; needs shared_from_this, so create() calls it.
    void installTap();

    // The option's width after setImage with no caption.
    virtual double widthWithoutCaption(double imageWidth, bool hadButton) const = 0;
    // The caption's width beside a button taller than the caption in setImage.
    virtual double captionWidthBesideTallerButton(double imageWidth) const = 0;
    virtual void reportClickValue() = 0;
    virtual void reportReplaseWidth() = 0;
    virtual void clearDelegate() = 0;

    void showSelected();
    void showUnselected();

private:
    double shownCaptionHeight();
    void placeByCaptionHeight(double captionHeight);
    void hideScrollImages();

    QString m_highlightedImage;
    QString m_normalImage;
    QString m_value;
    std::shared_ptr<ui::Button> m_radioBtn;
    std::shared_ptr<ui::WebView> m_title;
    bool m_isClilck = false;
    double m_fontSize = 0;
};
