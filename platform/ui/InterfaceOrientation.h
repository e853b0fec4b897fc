#pragma once

namespace ui {

// The phone's interface orientations, with its values.
enum class InterfaceOrientation : int {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4,
};

// Masks of supported orientations (bit 1 << orientation).
struct InterfaceOrientationMask {
    enum : unsigned {
        Portrait = 1u << 1,
        PortraitUpsideDown = 1u << 2,
        LandscapeRight = 1u << 3,
        LandscapeLeft = 1u << 4,
        Landscape = LandscapeRight | LandscapeLeft,
        All = Portrait | PortraitUpsideDown | Landscape,
        AllButUpsideDown = Portrait | Landscape,
    };
};

inline bool isLandscape(InterfaceOrientation o)
{
    return o == InterfaceOrientation::LandscapeLeft || o == InterfaceOrientation::LandscapeRight;
}

} // namespace ui
