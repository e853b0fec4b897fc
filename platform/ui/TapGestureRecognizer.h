#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace ui {

// A single tap: the finger lifts within 10 points of where it went down.
class TapGestureRecognizer : public GestureRecognizer {
public:
    static constexpr double kMovementTolerance = 10;

    static std::shared_ptr<TapGestureRecognizer> create(std::function<void(GestureRecognizer&)> action = {});

protected:
    TapGestureRecognizer() = default;

    void touchesBegan(const TouchSet& touches, const Event& event) override;
    void touchesMoved(const TouchSet& touches, const Event& event) override;
    void touchesEnded(const TouchSet& touches, const Event& event) override;
    void touchesCancelled(const TouchSet& touches, const Event& event) override;
    void reset() override;

private:
    Point m_start;
};

} // namespace ui
