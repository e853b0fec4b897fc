#pragma once

#include <QJsonValue>
#include <QString>

namespace ui {

class View;

// The properties a layout file may set, by name, on the classes that have them (a name
// such as "text" means the same on a label, a text field and a text view). Values are JSON:
// numbers, booleans, strings, colours as "#RRGGBB", "#RRGGBBAA" or "clear", fonts as a size
// or {"size": 14, "bold": true}, images by name, and enumerations by their lower-camel name.
class NibProperties {
public:
    // Sets one property; an empty string on success, else what went wrong.
    static QString apply(View& view, const QString& name, const QJsonValue& value);
};

} // namespace ui
