#pragma once

// A view that shows a determinate progress from 0 to 1. The overlay passes its own progress
// on to an indicator that is one: its round and bar views, or a caller's custom view.
class ProgressIndicator {
public:
    virtual ~ProgressIndicator() = default;
    virtual void setProgress(float progress) = 0;
};
