#pragma once

// What a multiple-choice group tells its owner; `tag` is the group view's tag.
class MyCheckBoxGroupDelegate {
public:
    virtual ~MyCheckBoxGroupDelegate() = default;

    // The group restacked its boxes and changed from oldHeight to height.
    virtual void replaseCheckBoxGroupHeight(double height, double oldHeight, int tag) = 0;
};
