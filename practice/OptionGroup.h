#pragma once

#include "platform/ui/View.h"

#include <QString>
#include <memory>
#include <vector>

class OptionBox;

// What the single- and multiple-choice groups share: their options in add order, the value,
// the vertical restack after each caption load (`interval` above every option, no gap below
// the last) and the tear-down. The value is "" until a pick and a null QString after reunload.
class OptionGroup : public ui::View {
public:
    double interval() const { return m_interval; }
    void setInterval(double interval) { m_interval = interval; }

    // A null QString after reunload.
    QString getValue() const { return m_value; }

    // Stacks every option again from its current height and reports the group's new height.
    void restack();
    // Forgets the delegate, the value and every option, and empties the view.
    void reunload();

protected:
    explicit OptionGroup(const ui::Rect& frame);

    const std::vector<std::shared_ptr<OptionBox>>& options() const { return m_options; }
    void appendOption(const std::shared_ptr<OptionBox>& option);
    void setValue(const QString& value) { m_value = value; }
    // Grows the group so that every option lies inside it and can be tapped.
    void coverOptions();

    virtual void reportHeight(double height, double oldHeight) = 0;
    virtual void clearDelegate() = 0;

private:
    QString m_value = QStringLiteral("");
    std::vector<std::shared_ptr<OptionBox>> m_options;
    double m_interval = 0;
};
