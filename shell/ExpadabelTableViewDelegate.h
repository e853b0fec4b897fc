#pragma once

#include <memory>

class ExpadabelTableView;
class HeadView;

// Told which head of the accordion's table was tapped.
class ExpadabelTableViewDelegate {
public:
    virtual ~ExpadabelTableViewDelegate() = default;
    virtual void replaseTable(ExpadabelTableView& table, const std::shared_ptr<HeadView>& headview) = 0;
};
