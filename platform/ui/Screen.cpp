#include "platform/ui/Screen.h"

#include <QRegularExpression>

namespace ui {

namespace {

Screen& mainScreen()
{
    static Screen screen;
    return screen;
}

} // namespace

Screen::Screen(Size size, double scale, Idiom idiom)
    : m_size(size)
    , m_scale(scale)
    , m_idiom(idiom)
{
}

const Screen& Screen::main()
{
    return mainScreen();
}

void Screen::setMain(Size size, double scale, Idiom idiom)
{
    mainScreen() = Screen(size, scale, idiom);
}

void Screen::setMain(const Screen& screen)
{
    mainScreen() = screen;
}

void Screen::resetMain()
{
    mainScreen() = Screen();
}

std::optional<Screen> Screen::fromSpec(const QString& spec)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d+(?:\.\d+)?)[xX](\d+(?:\.\d+)?)(?:@(\d+(?:\.\d+)?))?\s*(pad|phone)?\s*$)"));
    const auto m = pattern.match(spec);
    if (!m.hasMatch())
        return std::nullopt;
    const double w = m.captured(1).toDouble();
    const double h = m.captured(2).toDouble();
    const double scale = m.captured(3).isEmpty() ? 1.0 : m.captured(3).toDouble();
    if (w <= 0 || h <= 0 || scale <= 0)
        return std::nullopt;
    const Idiom idiom = m.captured(4) == QLatin1String("pad") ? Idiom::Pad : Idiom::Phone;
    return Screen(Size(w, h), scale, idiom);
}

bool Screen::applyArguments(const QStringList& args)
{
    for (int i = 0; i < args.size(); ++i) {
        QString spec;
        if (args[i] == QLatin1String("--screen")) {
            if (i + 1 >= args.size())
                return false;
            spec = args[i + 1];
        } else if (args[i].startsWith(QLatin1String("--screen="))) {
            spec = args[i].mid(9);
        } else {
            continue;
        }
        const auto screen = fromSpec(spec);
        if (!screen)
            return false;
        setMain(*screen);
        return true;
    }
    return true;
}

} // namespace ui
