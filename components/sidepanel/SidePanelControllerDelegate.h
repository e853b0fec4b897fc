#pragma once

#include "components/sidepanel/SidePanelTypes.h"

#include <bitset>
#include <cstddef>
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
// std::nullopt when not implemented (the container then goes on as if allowed); a notice's
// default does nothing and records that this delegate leaves it unanswered, so the walk can
// pass over it (to a navigation controller's top controller) as it passes over an unanswered
// question. The delegate is asked first; with a delegate mode other than DelegateOnly every
// contained controller that derives from this class is asked as well, so one object may be
// both a panel and the delegate (it is then asked once).
class SidePanelControllerDelegate {
public:
    // The notices the container's walk sends, one bit each.
    enum class Notice : unsigned {
        DidChangeOffset,
        DidBounceViewSideOpeningController,
        DidBounceViewSideClosingController,
        WillOpenViewSide,
        DidOpenViewSide,
        WillCloseViewSide,
        DidCloseViewSide,
        DidShowCenterViewFromSide,
        WillPreviewBounceViewSide,
        DidPreviewBounceViewSide,
        Count
    };

    virtual ~SidePanelControllerDelegate() = default;

    // True once a call of the notice has reached the default below, that is, this delegate
    // does not implement it. (An override that calls the base default counts as not
    // implementing it.)
    bool leavesUnanswered(Notice notice) const { return m_unanswered.test(std::size_t(notice)); }

    // Asked of the delegate alone, in panning mode AskDelegate.
    virtual std::optional<bool> shouldPan(SidePanelController&, ui::PanGestureRecognizer&) { return std::nullopt; }
    // Asked of the delegate alone. Return true when the shadow was placed here; the container
    // then leaves its own shadow alone.
    virtual bool applyShadow(SidePanelController&, ui::Layer& /*shadowLayer*/, const ui::Rect& /*bounds*/) { return false; }

    virtual void didChangeOffset(SidePanelController&, double /*offset*/, SidePanelOffsetOrientation, bool /*panning*/)
    {
        unanswered(Notice::DidChangeOffset);
    }
    virtual void didBounceViewSideOpeningController(SidePanelController&, SidePanelSide,
                                                    const std::shared_ptr<ui::ViewController>&)
    {
        unanswered(Notice::DidBounceViewSideOpeningController);
    }
    virtual void didBounceViewSideClosingController(SidePanelController&, SidePanelSide,
                                                    const std::shared_ptr<ui::ViewController>&)
    {
        unanswered(Notice::DidBounceViewSideClosingController);
    }

    virtual std::optional<bool> shouldOpenViewSide(SidePanelController&, SidePanelSide) { return std::nullopt; }
    virtual void willOpenViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { unanswered(Notice::WillOpenViewSide); }
    virtual void didOpenViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { unanswered(Notice::DidOpenViewSide); }
    virtual std::optional<bool> shouldCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { return std::nullopt; }
    virtual void willCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { unanswered(Notice::WillCloseViewSide); }
    virtual void didCloseViewSide(SidePanelController&, SidePanelSide, bool /*animated*/) { unanswered(Notice::DidCloseViewSide); }
    virtual void didShowCenterViewFromSide(SidePanelController&, SidePanelSide, bool /*animated*/)
    {
        unanswered(Notice::DidShowCenterViewFromSide);
    }

    virtual std::optional<bool> shouldPreviewBounceViewSide(SidePanelController&, SidePanelSide) { return std::nullopt; }
    virtual void willPreviewBounceViewSide(SidePanelController&, SidePanelSide, bool /*animated*/)
    {
        unanswered(Notice::WillPreviewBounceViewSide);
    }
    virtual void didPreviewBounceViewSide(SidePanelController&, SidePanelSide, bool /*animated*/)
    {
        unanswered(Notice::DidPreviewBounceViewSide);
    }

    // The ledge to store instead of the proposed one.
    virtual std::optional<double> changesLedge(SidePanelController&, double /*ledge*/, SidePanelSide) { return std::nullopt; }
    virtual std::optional<bool> shouldBeginPanOverView(SidePanelController&, ui::View&) { return std::nullopt; }

protected:
    // For a delegate that passes notices on: the one it could not pass on counts as its own
    // unanswered notice.
    void unanswered(Notice notice) const { m_unanswered.set(std::size_t(notice)); }

private:
    mutable std::bitset<std::size_t(Notice::Count)> m_unanswered;
};
