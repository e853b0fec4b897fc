#pragma once

#include "platform/ui/TextAlignment.h"
#include "platform/ui/TextProperties.h"
#include "platform/ui/View.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace ui {

// How a label breaks and shortens text, with the phone's values.
enum class LineBreakMode { WordWrap = 0, CharWrap = 1, Clip = 2, TruncateHead = 3, TruncateTail = 4, TruncateMiddle = 5 };

// Read-only text. The text block is centred vertically in the bounds; it has at most
// numberOfLines lines (0: as many as fit), wraps by word except in CharWrap mode, and the
// last line shows "…" where text was cut in the truncating modes. Like the phone's label it
// takes no touches until user interaction is switched on.
class Label : public TextProperties<View> {
public:
    static std::shared_ptr<Label> create(const Rect& frame = Rect());

    QString accessibilityLabel() const override;

    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode mode);
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);

    // The size the text needs within `size` (width limits wrapping), rounded up to points.
    Size sizeThatFits(const Size& size) const;

    // The lines as drawn in the current bounds (tests and hit checks read them).
    QStringList visibleLines() const;

protected:
    explicit Label(const Rect& frame);
    void draw(DrawContext& context) override;

private:
    struct Line {
        QString text;
        double width;
    };
    std::vector<Line> layoutLines(double width, double maxHeight) const;

    LineBreakMode m_lineBreakMode = LineBreakMode::TruncateTail;
    int m_numberOfLines = 1;
};

} // namespace ui
