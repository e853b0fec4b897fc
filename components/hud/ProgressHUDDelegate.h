#pragma once

#include <memory>

class ProgressHUD;

// Told when an overlay has finished hiding. Held weakly by the overlay.
class ProgressHUDDelegate {
public:
    virtual ~ProgressHUDDelegate() = default;

    // After the overlay's completion block, once it has finished hiding (and left its host
    // when it was asked to).
    virtual void hudWasHidden(const std::shared_ptr<ProgressHUD>& hud) { (void)hud; }

protected:
    ProgressHUDDelegate() = default;
};
