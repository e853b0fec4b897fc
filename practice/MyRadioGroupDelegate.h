#pragma once

// What a single-choice group tells its owner; `tag` is the group view's tag.
class MyRadioGroupDelegate {
public:
    virtual ~MyRadioGroupDelegate() = default;

    // The group restacked its options and changed from oldHeight to height.
    virtual void replaseRadioGroupHeight(double height, double oldHeight, int tag) = 0;
    // An option of the group was picked or preselected.
    virtual void radioBtnClick(int tag) = 0;
};
