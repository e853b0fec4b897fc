#include "practice/ReportLine.h"

#include "platform/core/Record.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Path.h"
#include "platform/ui/ShapeLayer.h"

std::shared_ptr<ReportLine> ReportLine::create(const ui::Rect& frame)
{
    return std::shared_ptr<ReportLine>(new ReportLine(frame));
}

ReportLine::ReportLine(const ui::Rect& frame)
    : ui::View(frame)
{
}

void ReportLine::drawLine()
{
    // Without a positive maximum there is no scale to draw against.
    if (m_maxValue <= 0)
        return;
    const double w = frame().size.width;
    const double h = frame().size.height;
    const double yScale = h / m_maxValue;
    const double xStep = w / m_data.size();

    ui::Path path;
    path.moveTo(ui::Point(0, h));
    path.lineTo(ui::Point(0, h));
    for (int i = 0; i < m_data.size(); ++i)
        path.lineTo(ui::Point(xStep * (i + 1), h - core::Record::doubleValue(m_data.at(i)) * yScale));

    auto line = ui::ShapeLayer::create();
    line->setLineWidth(1.0);
    line->setLineCap(ui::ShapeLayer::LineCap::Butt);
    line->setStrokeColor(m_lineColor);
    line->setFillColor(ui::Color::clear());
    line->setPath(path);
    layer()->addSublayer(line);
}
