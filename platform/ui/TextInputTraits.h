#pragma once

namespace ui {

// The return key's caption, with the phone's values (Go is 1, Next 4, Done 9). Our keyboard
// is the desktop's, so it only records what the screen asked for.
enum class ReturnKeyType {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
};

} // namespace ui
