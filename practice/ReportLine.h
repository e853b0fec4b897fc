#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/View.h"

#include <QJsonArray>
#include <memory>

// A line chart: the values as one polyline from the bottom-left corner, spread evenly over the
// width (the last value at the right edge) and scaled so that maxValue reaches the top edge.
// Each drawLine() adds one more shape layer; earlier lines stay.
class ReportLine : public ui::View {
public:
    static std::shared_ptr<ReportLine> create(const ui::Rect& frame = ui::Rect());

    // Numbers or numeric strings, in drawing order.
    const QJsonArray& data() const { return m_data; }
    void setData(const QJsonArray& data) { m_data = data; }
    ui::Color lineColor() const { return m_lineColor; }
    void setLineColor(const ui::Color& color) { m_lineColor = color; }
    int maxValue() const { return m_maxValue; }
    void setMaxValue(int maxValue) { m_maxValue = maxValue; }

    // Call once the data, colour, maximum and frame are final.
    void drawLine();

protected:
    explicit ReportLine(const ui::Rect& frame);

private:
    QJsonArray m_data;
    ui::Color m_lineColor = ui::Color::black();
    int m_maxValue = 0;
};
