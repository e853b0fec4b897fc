#pragma once

#include "components/sidepanel/SidePanelTypes.h"

#include <memory>
#include <optional>

class SidePanelController;
namespace ui {
class Layer;
class PanGestureRecognizer;
class View;
class ViewController;
struct Rect;
}

// What the container tells and asks. Every method is optional: questions answer
// std::nullopt when not implemented (the container then goes on as if allowed), notices do
// nothing. The delegate is asked first; with a delegate mode other than DelegateOnly every
// contained controller that derives from this class is asked as well, so one object may be
// both a panel and the delegate (it is then asked once).
class SidePanelControllerDelegate {
public:
    virtual ~SidePanelControllerDelegate() = default;

    // Asked of the delegate alone, in panning mode AskDelegate.
    virtual std::optional<bool> shouldPan(SidePanelController&, ui::PanGestureRecognizer&) { return std::nullopt; }
    // Asked of the delegate alone. Return true when the shadow was placed here; the container
    // then leaves its own shadow alone.
    virtual bool applyShadow(SidePanelController&, ui::Layer& /*shadowLayer*/, const ui::Rect& /*bounds*/) { return false; }

    virtual void didChangeOffset(SidePanelController&, double /*offset*/, SidePanelOffsetOrientation, bool /*panning*/) {}
    virtual void didBounceViewSideOpeningController(SidePanelController&, SidePanelSide,
                                                    const std::shared_ptr<ui::ViewController>&) {}
    virtual void didBounceViewSideClosingController(SidePanelController&, SidePanelSide,
                                                    const std::shared_ptr<ui::ViewController>&) {}

    virtual std::optional<bool> shouldOpenViewSide(SidePanelController&, SidePanelSide) { return std::nullopt; }
    virtual void willOpenViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}
    virtual void didOpenViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}
    virtual std::optional<bool> shouldCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { return std::nullopt; }
    virtual void willCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}
    virtual void didCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}
    virtual void didShowCenterViewFromSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}

    virtual std::optional<bool> shouldPreviewBounceViewSide(SidePanelController&, SidePanelSide) { return std::nullopt; }
    virtual void willPreviewBounceViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}
    virtual void didPreviewBounceViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) {}

    // The ledge to store instead of the proposed one.
    virtual std::optional<double> changesLedge(SidePanelController&, double /*ledge*/, SidePanelSide) { return std::nullopt; }
    virtual std::optional<bool> shouldBeginPanOverView(SidePanelController&, ui::View&) { return std::nullopt; }
};
