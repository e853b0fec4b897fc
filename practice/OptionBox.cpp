#include "practice/OptionBox.h"

#include "platform/core/Bundle.h"
#include "platform/core/UrlConnectionDelegate.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/WebView.h"

#include <QUrl>

OptionBox::OptionBox(const ui::Rect& frame)
    : ui::View(frame)
{
}

void OptionBox::installTap()
{
    // The recogniser lives as long as the view; a weak capture keeps it from owning the view.
    std::weak_ptr<View> weak = weak_from_this();
    auto tap = ui::TapGestureRecognizer::create([weak](ui::GestureRecognizer& recognizer) {
        if (auto self = std::static_pointer_cast<OptionBox>(weak.lock()))
            self->handlesengleTap(recognizer);
    });
    tap->setDelegate(std::static_pointer_cast<OptionBox>(shared_from_this()));
    tap->setCancelsTouchesInView(false);
    addGestureRecognizer(tap);
}

QString OptionBox::accessibilityLabel() const
{
    const QString label = View::accessibilityLabel();
    return label.isEmpty() ? m_value : label;
}

std::optional<bool> OptionBox::shouldBeRequiredToFailByGestureRecognizer(ui::GestureRecognizer&, ui::GestureRecognizer&)
{
    return true;
}

void OptionBox::setImage(const QString& highlightedImage, const QString& normalImage)
{
    m_highlightedImage = highlightedImage;
    m_normalImage = normalImage;
    const ui::Image image = ui::Image::named(normalImage);
    // Half the pixels whatever the screen: the artwork is drawn for a scale-2 screen.
    const double w = static_cast<int>(image.pixelSize().width) / 2;
    const double h = static_cast<int>(image.pixelSize().height) / 2;

    const bool hadButton = m_radioBtn != nullptr;
    if (!hadButton) {
        m_radioBtn = ui::Button::create(ui::ButtonType::Custom);
        m_radioBtn->setShowsTouchWhenHighlighted(false);
        m_radioBtn->setAdjustsImageWhenHighlighted(true);
    }

    ui::Rect f = frame();
    if (!m_title) {
        m_radioBtn->setFrame(ui::Rect(0, 0, w, h));
        f.size = ui::Size(widthWithoutCaption(w, hadButton), h);
    } else {
        const double ct = m_title->frame().height();
        if (h > ct) {
            m_radioBtn->setFrame(ui::Rect(0, 0, w, h));
            m_title->setFrame(ui::Rect(w + kCaptionGap, (h - ct) / 2, captionWidthBesideTallerButton(w), ct));
            f.size.height = h;
        } else {
            m_radioBtn->setFrame(ui::Rect(0, (ct - h) / 2, w, h));
            m_title->setFrame(ui::Rect(w + kCaptionGap, 0, f.width() - w, ct));
            f.size.height = ct;
        }
    }
    setFrame(f);

    m_radioBtn->setBackgroundImage(image, ui::ControlState::Normal);
    m_radioBtn->setBackgroundImage(ui::Image::named(highlightedImage), ui::ControlState::Highlighted);
    if (!hadButton)
        addSubview(m_radioBtn);
}

void OptionBox::setTitle(const QString& html)
{
    if (!m_title) {
        m_title = ui::WebView::create();
        addSubview(m_title);
    }
    m_title->setFrame(ui::Rect(0, 0, kCaptionMeasureWidth, 1));
    m_title->setBackgroundColor(ui::Color::clear());
    m_title->setOpaque(false);
    const auto scroll = m_title->scrollView();
    scroll->setShowsHorizontalScrollIndicator(false);
    scroll->setShowsVerticalScrollIndicator(false);
    scroll->setBounces(false);
    scroll->setScrollEnabled(false);
    m_title->setDelegate(std::static_pointer_cast<OptionBox>(shared_from_this()));

    m_title->loadHTMLString(captionHtml(html, m_fontSize), QUrl::fromLocalFile(core::Bundle::resourcePath() + QLatin1Char('/')));
}

QString OptionBox::captionHtml(const QString& html, double fontSize)
{
    QString body = html;
    const auto lineBreak = body.indexOf(QLatin1Char('\n'));
    if (lineBreak >= 0)
        body.remove(lineBreak, 1);
    return QStringLiteral("<style> body{margin:0;font-size:%1}</style>%2").arg(QString::asprintf("%f", fontSize), body);
}

void OptionBox::webViewDidFinishLoad(ui::WebView& webView)
{
    if (&webView != m_title.get())
        return;
    hideScrollImages();
    placeByCaptionHeight(shownCaptionHeight());
}

// The caption is measured where it is shown, beside its button: measured at its loading width
// only, a caption that wraps there but fits where shown stood a line too tall, its text above
// the button's middle.
double OptionBox::shownCaptionHeight()
{
    const double shownWidth = frame().width() - (m_radioBtn ? m_radioBtn->frame().maxX() : 0);
    if (shownWidth > 0) {
        ui::Rect f = m_title->frame();
        f.size.width = shownWidth;
        m_title->setFrame(f);
        m_title->layoutIfNeeded();
    }
    return m_title->scrollView()->contentSize().height;
}

void OptionBox::didFailLoadWithError(ui::WebView& webView, const core::UrlError& error)
{
    // A replaced load is followed by the newer one's report.
    if (&webView != m_title.get() || error.code == core::UrlError::Cancelled)
        return;
    // An empty caption, so the group still restacks and keeps every option inside it.
    placeByCaptionHeight(0);
}

void OptionBox::hideScrollImages()
{
    for (const auto& sub : m_title->subviews()) {
        if (!std::dynamic_pointer_cast<ui::ScrollView>(sub))
            continue;
        for (const auto& inner : sub->subviews()) {
            if (std::dynamic_pointer_cast<ui::ImageView>(inner))
                inner->setHidden(true);
        }
    }
}

void OptionBox::placeByCaptionHeight(double ch)
{
    auto self = shared_from_this();
    ui::Rect f = frame();
    const double cw = f.width();
    if (m_radioBtn) {
        ui::Rect b = m_radioBtn->frame();
        const double captionX = b.x() + b.width() + kCaptionGap;
        const double captionWidth = cw - b.x() - b.width();
        if (b.height() > ch) {
            m_title->setFrame(ui::Rect(captionX, (b.height() - ch) / 2, captionWidth, ch));
            b.origin.y = 0;
            f.size.height = b.height();
        } else {
            m_title->setFrame(ui::Rect(captionX, 0, captionWidth, ch));
            b.origin.y = (ch - b.height()) / 2;
            f.size.height = ch;
        }
        m_radioBtn->setFrame(b);
    } else {
        m_title->setFrame(ui::Rect(0, 0, cw, ch));
        f.size.height = ch;
    }
    setFrame(f);
    reportReplaseWidth();
}

void OptionBox::showSelected()
{
    if (!m_radioBtn)
        return;
    const ui::Image selected = ui::Image::named(m_highlightedImage);
    m_radioBtn->setBackgroundImage(selected, ui::ControlState::Normal);
    m_radioBtn->setBackgroundImage(selected, ui::ControlState::Highlighted);
}

void OptionBox::showUnselected()
{
    if (!m_radioBtn)
        return;
    m_radioBtn->setBackgroundImage(ui::Image::named(m_normalImage), ui::ControlState::Normal);
    m_radioBtn->setBackgroundImage(ui::Image::named(m_highlightedImage), ui::ControlState::Highlighted);
}

void OptionBox::noClick()
{
    setIsClilck(false);
    showUnselected();
}

void OptionBox::reunload()
{
    auto self = shared_from_this();
    clearDelegate();
    m_highlightedImage.clear();
    m_normalImage.clear();
    m_radioBtn.reset();
    if (m_title)
        m_title->setDelegate(nullptr);
    m_title.reset();
    m_value = QString();
    const auto subviews = this->subviews();
    for (const auto& sub : subviews)
        sub->removeFromSuperview();
}
