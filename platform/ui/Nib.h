#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class NibOwner;
class View;

// Loads a layout file: JSON of our own (docs/layout-files.md) in the resource folder's
// "layouts" directory, holding a tree of views by class, frame and properties, and the
// connections of outlets and actions by name.
//
// Classes come from a registry: the platform's views are there from the start, and the app
// registers its own (table cells) by name. The file's owner names its outlets and actions
// through NibOwner; so does any created object whose outlets the file connects. Anything the
// file names that does not exist (class, property, outlet, action, object id) makes the load
// fail with a message saying what and where; nothing is connected then.
class Nib {
public:
    struct Result {
        std::vector<std::shared_ptr<View>> topLevelObjects;   // in file order
        QString error;                                        // empty when loaded

        bool ok() const { return error.isEmpty(); }
        explicit operator bool() const { return ok(); }
    };
    using Factory = std::function<std::shared_ptr<View>()>;

    // Registering a name again replaces its factory.
    static void registerClass(const QString& className, Factory factory);
    static bool isClassRegistered(const QString& className);

    // <resource folder>/layouts/<name>.json
    static QString pathForLayout(const QString& name);
    static Result load(const QString& name, const std::shared_ptr<NibOwner>& owner = nullptr);
    // The same from bytes; `name` only labels the messages.
    static Result loadData(const QByteArray& json, const std::shared_ptr<NibOwner>& owner,
                           const QString& name = QStringLiteral("(data)"));
};

} // namespace ui
