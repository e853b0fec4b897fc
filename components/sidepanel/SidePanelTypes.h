#pragma once

#include <cstdint>

// The container's vocabulary. Every value is a 32-bit unsigned number with a fixed meaning;
// callers may pass values outside the named ones, and every operation taking a side checks
// its range instead of trusting it.

enum class SidePanelSide : std::uint32_t {
    None = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
};

enum class SidePanelOffsetOrientation : std::uint32_t {
    Horizontal = 1,   // left and right
    Vertical = 2,     // top and bottom
};

enum class SidePanelPanningMode : std::uint32_t {
    None = 0,
    SlidingView = 1,       // the sliding view, the centre tapper and the container's navigation bar
    NavigationBar = 2,
    PanningView = 3,
    AskDelegate = 4,       // as SlidingView, every pan put to the delegate
    NavigationBarOrOpen = 5,
    ContainerView = 6,
};

enum class SidePanelCenterHiddenInteractivity : std::uint32_t {
    Interactive = 0,
    NotInteractive = 1,
    NotInteractiveTapToClose = 2,
    NotInteractiveTapToCloseBouncing = 3,
};

enum class SidePanelNavigationControllerBehavior : std::uint32_t {
    Contained = 0,
    Integrated = 1,
};

enum class SidePanelSizeMode : std::uint32_t {
    Ledge = 0,      // a side's size is its ledge
    ViewSize = 1,   // a side's size is the visible width or height of its view
};

enum class SidePanelDelegateMode : std::uint32_t {
    DelegateOnly = 0,
    DelegateAndControllers = 1,   // any value other than 0 means this
};

// Appearance of the container or of one side.
enum class SidePanelAppearance : std::uint32_t {
    Hidden = 0,
    Transitioning = 1,
    Shown = 2,
};
