#pragma once

namespace core {
struct UrlError;
}

namespace ui {

class WebView;

// What a web view tells about its loads. Every load reports webViewDidStartLoad once and then
// exactly one of webViewDidFinishLoad and didFailLoadWithError, each from the run loop, never
// inside the call that started the load. Every method is optional.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;

    virtual void webViewDidStartLoad(WebView&) {}
    virtual void webViewDidFinishLoad(WebView&) {}
    virtual void didFailLoadWithError(WebView&, const core::UrlError&) {}
};

} // namespace ui
