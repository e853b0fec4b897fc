#include "platform/ui/NibProperties.h"

#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"

#include <QJsonObject>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace ui {

namespace {

// nullopt: the view is not of the handler's class; "": set; else the value's fault.
using Handler = std::function<std::optional<QString>(View&, const QJsonValue&)>;

template<class T, class Read, class Set>
Handler prop(Read read, Set set, const char* expected)
{
    return [read, set, expected](View& view, const QJsonValue& json) -> std::optional<QString> {
        auto* target = dynamic_cast<T*>(&view);
        if (!target)
            return std::nullopt;
        const auto value = read(json);
        if (!value)
            return QStringLiteral("expects %1").arg(QLatin1String(expected));
        set(*target, *value);
        return QString();
    };
}

std::optional<bool> readBool(const QJsonValue& v)
{
    return v.isBool() ? std::optional<bool>(v.toBool()) : std::nullopt;
}

std::optional<double> readNumber(const QJsonValue& v)
{
    return v.isDouble() ? std::optional<double>(v.toDouble()) : std::nullopt;
}

std::optional<int> readInt(const QJsonValue& v)
{
    if (!v.isDouble() || v.toDouble() != double(v.toInt()))
        return std::nullopt;
    return v.toInt();
}

std::optional<QString> readString(const QJsonValue& v)
{
    return v.isString() ? std::optional<QString>(v.toString()) : std::nullopt;
}

std::optional<Color> readColor(const QJsonValue& v)
{
    const QString s = v.toString();
    if (s == QLatin1String("clear"))
        return Color::clear();
    bool ok = false;
    const unsigned value = s.mid(1).toUInt(&ok, 16);
    if (!s.startsWith(QLatin1Char('#')) || !ok)
        return std::nullopt;
    if (s.size() == 7)
        return Color::fromRGB(value);
    if (s.size() == 9)
        return Color::fromRGB(value >> 8, (value & 0xFF) / 255.0);
    return std::nullopt;
}

std::optional<Font> readFont(const QJsonValue& v)
{
    if (v.isDouble())
        return Font::systemFont(v.toDouble());
    const QJsonObject o = v.toObject();
    if (!o.value(QLatin1String("size")).isDouble())
        return std::nullopt;
    const double size = o.value(QLatin1String("size")).toDouble();
    return o.value(QLatin1String("bold")).toBool() ? Font::boldSystemFont(size) : Font::systemFont(size);
}

std::optional<Image> readImage(const QJsonValue& v)
{
    return v.isString() ? std::optional<Image>(Image::named(v.toString())) : std::nullopt;
}

// An enumeration written by name.
template<class E>
std::function<std::optional<E>(const QJsonValue&)> readEnum(std::map<QString, E> names)
{
    return [names = std::move(names)](const QJsonValue& v) -> std::optional<E> {
        auto it = names.find(v.toString());
        return it == names.end() ? std::nullopt : std::optional<E>(it->second);
    };
}

const auto readAlignment = readEnum<TextAlignment>(
    {{"left", TextAlignment::Left}, {"center", TextAlignment::Center}, {"right", TextAlignment::Right}});

// Label, text field and text view share their text properties.
template<class Fn>
std::vector<Handler> onTextViews(Fn handler)
{
    return {handler(static_cast<Label*>(nullptr)), handler(static_cast<TextField*>(nullptr)),
            handler(static_cast<TextView*>(nullptr))};
}

std::map<QString, std::vector<Handler>> makeTable()
{
    std::map<QString, std::vector<Handler>> t;
    t["backgroundColor"] = {prop<View>(readColor, [](View& v, Color c) { v.setBackgroundColor(c); }, "a colour")};
    t["tag"] = {prop<View>(readInt, [](View& v, int n) { v.setTag(n); }, "an integer")};
    t["hidden"] = {prop<View>(readBool, [](View& v, bool b) { v.setHidden(b); }, "true or false")};
    t["alpha"] = {prop<View>(readNumber, [](View& v, double a) { v.setAlpha(a); }, "a number")};
    t["opaque"] = {prop<View>(readBool, [](View& v, bool b) { v.setOpaque(b); }, "true or false")};
    t["clipsToBounds"] = {prop<View>(readBool, [](View& v, bool b) { v.setClipsToBounds(b); }, "true or false")};
    t["userInteractionEnabled"] = {
        prop<View>(readBool, [](View& v, bool b) { v.setUserInteractionEnabled(b); }, "true or false")};
    t["autoresizingMask"] = {
        prop<View>(readInt, [](View& v, int m) { v.setAutoresizingMask(unsigned(m)); }, "an integer")};

    t["text"] = onTextViews([](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        return prop<T>(readString, [](T& v, const QString& s) { v.setText(s); }, "a string");
    });
    t["textColor"] = onTextViews([](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        return prop<T>(readColor, [](T& v, Color c) { v.setTextColor(c); }, "a colour");
    });
    t["font"] = onTextViews([](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        return prop<T>(readFont, [](T& v, const Font& f) { v.setFont(f); }, "a font");
    });
    t["font"].push_back(prop<Button>(readFont, [](Button& b, const Font& f) { b.titleLabel()->setFont(f); }, "a font"));
    t["textAlignment"] = onTextViews([](auto* type) {
        using T = std::remove_pointer_t<decltype(type)>;
        return prop<T>(readAlignment, [](T& v, TextAlignment a) { v.setTextAlignment(a); }, "left, center or right");
    });
    t["numberOfLines"] = {prop<Label>(readInt, [](Label& l, int n) { l.setNumberOfLines(n); }, "an integer")};

    t["title"] = {prop<Button>(readString, [](Button& b, const QString& s) { b.setTitle(s, ControlState::Normal); },
                               "a string")};
    t["titleColor"] = {
        prop<Button>(readColor, [](Button& b, Color c) { b.setTitleColor(c, ControlState::Normal); }, "a colour")};
    t["backgroundImage"] = {prop<Button>(
        readImage, [](Button& b, const Image& i) { b.setBackgroundImage(i, ControlState::Normal); }, "an image name")};
    t["image"] = {prop<Button>(readImage, [](Button& b, const Image& i) { b.setImage(i, ControlState::Normal); },
                               "an image name"),
                  prop<ImageView>(readImage, [](ImageView& v, const Image& i) { v.setImage(i); }, "an image name")};
    t["showsTouchWhenHighlighted"] = {
        prop<Button>(readBool, [](Button& b, bool on) { b.setShowsTouchWhenHighlighted(on); }, "true or false")};
    t["adjustsImageWhenHighlighted"] = {
        prop<Button>(readBool, [](Button& b, bool on) { b.setAdjustsImageWhenHighlighted(on); }, "true or false")};

    t["placeholder"] = {
        prop<TextField>(readString, [](TextField& f, const QString& s) { f.setPlaceholder(s); }, "a string")};
    t["secureTextEntry"] = {
        prop<TextField>(readBool, [](TextField& f, bool on) { f.setSecureTextEntry(on); }, "true or false")};
    t["borderStyle"] = {prop<TextField>(
        readEnum<TextBorderStyle>({{"none", TextBorderStyle::None},
                                   {"line", TextBorderStyle::Line},
                                   {"bezel", TextBorderStyle::Bezel},
                                   {"roundedRect", TextBorderStyle::RoundedRect}}),
        [](TextField& f, TextBorderStyle s) { f.setBorderStyle(s); }, "none, line, bezel or roundedRect")};
    const auto readReturnKey = readEnum<ReturnKeyType>(
        {{"default", ReturnKeyType::Default}, {"go", ReturnKeyType::Go}, {"next", ReturnKeyType::Next},
         {"search", ReturnKeyType::Search}, {"send", ReturnKeyType::Send}, {"done", ReturnKeyType::Done}});
    t["returnKeyType"] = {
        prop<TextField>(readReturnKey, [](TextField& f, ReturnKeyType k) { f.setReturnKeyType(k); },
                        "default, go, next, search, send or done"),
        prop<TextView>(readReturnKey, [](TextView& v, ReturnKeyType k) { v.setReturnKeyType(k); },
                       "default, go, next, search, send or done")};
    t["editable"] = {prop<TextView>(readBool, [](TextView& v, bool on) { v.setEditable(on); }, "true or false")};

    t["bounces"] = {prop<ScrollView>(readBool, [](ScrollView& s, bool on) { s.setBounces(on); }, "true or false")};
    t["scrollEnabled"] = {
        prop<ScrollView>(readBool, [](ScrollView& s, bool on) { s.setScrollEnabled(on); }, "true or false")};
    t["showsVerticalScrollIndicator"] = {prop<ScrollView>(
        readBool, [](ScrollView& s, bool on) { s.setShowsVerticalScrollIndicator(on); }, "true or false")};
    t["showsHorizontalScrollIndicator"] = {prop<ScrollView>(
        readBool, [](ScrollView& s, bool on) { s.setShowsHorizontalScrollIndicator(on); }, "true or false")};
    t["rowHeight"] = {prop<TableView>(readNumber, [](TableView& v, double h) { v.setRowHeight(h); }, "a number")};
    t["separatorStyle"] = {prop<TableView>(
        readEnum<TableViewCellSeparatorStyle>(
            {{"none", TableViewCellSeparatorStyle::None}, {"singleLine", TableViewCellSeparatorStyle::SingleLine}}),
        [](TableView& v, TableViewCellSeparatorStyle s) { v.setSeparatorStyle(s); }, "none or singleLine")};
    t["selectionStyle"] = {prop<TableViewCell>(
        readEnum<TableViewCellSelectionStyle>({{"none", TableViewCellSelectionStyle::None},
                                               {"blue", TableViewCellSelectionStyle::Blue},
                                               {"gray", TableViewCellSelectionStyle::Gray},
                                               {"default", TableViewCellSelectionStyle::Default}}),
        [](TableViewCell& c, TableViewCellSelectionStyle s) { c.setSelectionStyle(s); },
        "none, blue, gray or default")};
    return t;
}

} // namespace

QString NibProperties::apply(View& view, const QString& name, const QJsonValue& value)
{
    static const std::map<QString, std::vector<Handler>> table = makeTable();
    auto it = table.find(name);
    if (it == table.end())
        return QStringLiteral("unknown property \"%1\"").arg(name);
    for (const Handler& handler : it->second) {
        if (auto result = handler(view, value))
            return result->isEmpty() ? QString() : QStringLiteral("property \"%1\" %2").arg(name, *result);
    }
    return QStringLiteral("property \"%1\" does not apply to this class").arg(name);
}

} // namespace ui
