#pragma once

#include "platform/ui/Event.h"
#include "platform/ui/Touch.h"
#include "platform/ui/View.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace uitest {

// A view that records what it is asked: layouts, touches and where they fell, typed text.
class ProbeView : public ui::View {
public:
    static std::shared_ptr<ProbeView> create(const ui::Rect& frame = ui::Rect(0, 0, 10, 10))
    {
        return std::shared_ptr<ProbeView>(new ProbeView(frame));
    }
    int layouts = 0;
    std::function<void()> onLayout;
    QStringList touches;               // "began", "moved", "ended", "cancelled"
    std::vector<ui::Point> touchedAt;   // in this view's coordinates
    QStringList typed;                  // "text:…", "delete"
    bool acceptsFirstResponder = false;

    bool canBecomeFirstResponder() const override { return acceptsFirstResponder; }
    void insertText(const QString& text) override { typed << "text:" + text; }
    void deleteBackward() override { typed << "delete"; }

protected:
    using View::View;
    void layoutSubviews() override
    {
        ++layouts;
        if (onLayout)
            onLayout();
    }
    void touchesBegan(const ui::TouchSet& t, const ui::Event&) override { record("began", t); }
    void touchesMoved(const ui::TouchSet& t, const ui::Event&) override { record("moved", t); }
    void touchesEnded(const ui::TouchSet& t, const ui::Event&) override { record("ended", t); }
    void touchesCancelled(const ui::TouchSet& t, const ui::Event&) override { record("cancelled", t); }

private:
    void record(const char* what, const ui::TouchSet& t)
    {
        touches << what;
        touchedAt.push_back(t.front()->locationInView(this));
    }
};

} // namespace uitest
