#pragma once

#include <memory>

class HeadView;

// Told when a head's button is tapped.
class HeadViewDelegate {
public:
    virtual ~HeadViewDelegate() = default;
    virtual void selectedWith(const std::shared_ptr<HeadView>& head) = 0;
};
