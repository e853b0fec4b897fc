#pragma once

#include "platform/ui/Geometry.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace ui {

// The main screen's metrics: bounds in points, scale (pixels per point) and idiom.
// 375 × 667 points at scale 2 on a phone unless the command line (--screen WxH@S, with an
// optional "pad" suffix: --screen 768x1024@2pad) or a test sets another.
class Screen {
public:
    enum class Idiom { Phone = 0, Pad = 1 };

    Screen() = default;
    Screen(Size size, double scale, Idiom idiom = Idiom::Phone);

    static const Screen& main();
    static void setMain(Size size, double scale, Idiom idiom = Idiom::Phone);
    static void setMain(const Screen& screen);
    static void resetMain();   // back to 375 × 667 @2, phone

    // "375x667@2", "480x854@1", "768x1024@2pad"; nullopt when malformed or not positive.
    static std::optional<Screen> fromSpec(const QString& spec);
    // Applies "--screen SPEC" or "--screen=SPEC" from args. Returns false (and leaves the
    // main screen as it was) when the option is present but malformed; true otherwise.
    static bool applyArguments(const QStringList& args);

    Rect bounds() const { return Rect(Point(), m_size); }
    Size size() const { return m_size; }
    double scale() const { return m_scale; }
    Idiom idiom() const { return m_idiom; }
    Size pixelSize() const { return m_size * m_scale; }

    bool operator==(const Screen&) const = default;

private:
    Size m_size{375, 667};
    double m_scale = 2;
    Idiom m_idiom = Idiom::Phone;
};

} // namespace ui
