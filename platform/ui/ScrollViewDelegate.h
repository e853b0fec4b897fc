#pragma once

#include "platform/ui/Geometry.h"

#include <memory>

namespace ui {

class ScrollView;
class View;

// What a scroll view tells and asks its delegate. Every method is optional; the defaults are
// what the scroll view does when nobody answers.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;

    virtual void scrollViewDidScroll(ScrollView&) {}
    virtual void scrollViewWillBeginDragging(ScrollView&) {}
    // velocity in points per second of content offset; the delegate may move the target.
    virtual void scrollViewWillEndDragging(ScrollView&, Point /*velocity*/, Point& /*targetContentOffset*/) {}
    virtual void scrollViewDidEndDragging(ScrollView&, bool /*willDecelerate*/) {}
    virtual bool scrollViewShouldScrollToTop(ScrollView&) { return true; }
    virtual void scrollViewDidScrollToTop(ScrollView&) {}
    virtual void scrollViewWillBeginDecelerating(ScrollView&) {}
    virtual void scrollViewDidEndDecelerating(ScrollView&) {}
    virtual std::shared_ptr<View> viewForZoomingInScrollView(ScrollView&) { return nullptr; }
    virtual void scrollViewWillBeginZooming(ScrollView&, const std::shared_ptr<View>& /*view*/) {}
    virtual void scrollViewDidEndZooming(ScrollView&, const std::shared_ptr<View>& /*view*/, double /*scale*/) {}
    virtual void scrollViewDidZoom(ScrollView&) {}
    // Only after setContentOffset(..., true) or scrollRectToVisible(..., true) reaches its end.
    virtual void scrollViewDidEndScrollingAnimation(ScrollView&) {}
};

} // namespace ui
