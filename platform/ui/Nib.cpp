#include "platform/ui/Nib.h"

#include "platform/core/Bundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NibBindings.h"
#include "platform/ui/NibOwner.h"
#include "platform/ui/NibProperties.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/WebView.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <map>

namespace ui {

namespace {

std::map<QString, Nib::Factory>& registry()
{
    static std::map<QString, Nib::Factory> classes = {
        {"View", [] { return View::create(); }},
        {"Label", [] { return Label::create(); }},
        {"Button", [] { return Button::create(ButtonType::Custom); }},
        {"ImageView", [] { return ImageView::create(); }},
        {"ScrollView", [] { return ScrollView::create(); }},
        {"TableView", [] { return TableView::create(); }},
        {"TableViewCell", [] { return TableViewCell::create(); }},
        {"TextField", [] { return TextField::create(); }},
        {"TextView", [] { return TextView::create(); }},
        {"WebView", [] { return WebView::create(); }},
    };
    return classes;
}

const std::map<QString, unsigned>& controlEvents()
{
    static const std::map<QString, unsigned> events = {
        {"touchDown", ControlEvent::TouchDown},
        {"touchUpInside", ControlEvent::TouchUpInside},
        {"touchUpOutside", ControlEvent::TouchUpOutside},
        {"valueChanged", ControlEvent::ValueChanged},
    };
    return events;
}

// One object of the file as built, with the connections it asks for.
struct Built {
    std::shared_ptr<View> view;
    QString className;
    QString where;
    QJsonObject outlets;   // outlet name -> object id, on this object
    QJsonObject actions;   // event name -> action name, sent to the owner
};

// A checked connection, applied only once every connection of the file is known to be good.
struct Outlet {
    std::shared_ptr<NibBindings> bindings;
    QString name;
    std::shared_ptr<View> view;
};

class Loader {
public:
    Loader(QString name, std::shared_ptr<NibOwner> owner) : m_name(std::move(name)), m_owner(std::move(owner)) {}

    Nib::Result run(const QByteArray& json);

private:
    Nib::Result fail(const QString& message, const QString& where = QString()) const;
    std::shared_ptr<View> build(const QJsonValue& json, const QString& where);
    bool buildParts(Built& built, const QJsonObject& object);
    bool connectOutlets(const std::shared_ptr<NibBindings>& bindings, const QJsonObject& outlets, const QString& whose,
                        const QString& where);
    bool checkActions(const Built& built);

    QString m_name;
    std::shared_ptr<NibOwner> m_owner;
    std::shared_ptr<NibBindings> m_ownerBindings;
    std::map<QString, std::size_t> m_ids;
    std::vector<Built> m_built;
    std::vector<Outlet> m_outlets;
    QString m_error;
    QString m_errorWhere;
};

Nib::Result Loader::fail(const QString& message, const QString& where) const
{
    Nib::Result result;
    result.error = QStringLiteral("layout \"%1\": %2").arg(m_name, message);
    if (!where.isEmpty())
        result.error += QStringLiteral(" (at %1)").arg(where);
    return result;
}

Nib::Result Loader::run(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
    const QJsonObject root = document.object();
    for (const QString& key : root.keys()) {
        if (key != QLatin1String("objects") && key != QLatin1String("owner"))
            return fail(QStringLiteral("unknown key \"%1\"").arg(key));
    }
    if (!root.value(QLatin1String("objects")).isArray())
        return fail(QStringLiteral("\"objects\" must be an array of views"));

    std::vector<std::shared_ptr<View>> topLevel;
    const QJsonArray objects = root.value(QLatin1String("objects")).toArray();
    for (qsizetype i = 0; i < objects.size(); ++i) {
        auto view = build(objects.at(i), QStringLiteral("objects[%1]").arg(i));
        if (!view)
            return fail(m_error, m_errorWhere);
        topLevel.push_back(view);
    }

    if (m_owner) {
        m_ownerBindings = std::make_shared<NibBindings>();
        m_owner->bindNib(*m_ownerBindings);
    }
    const QJsonValue owner = root.value(QLatin1String("owner"));
    if (!owner.isUndefined()) {
        const QJsonObject ownerObject = owner.toObject();
        if (!owner.isObject() || ownerObject.keys() != QStringList{QStringLiteral("outlets")})
            return fail(QStringLiteral("\"owner\" must hold only \"outlets\""));
        if (!connectOutlets(m_ownerBindings, ownerObject.value(QLatin1String("outlets")).toObject(),
                            QStringLiteral("the owner"), QStringLiteral("owner")))
            return fail(m_error, m_errorWhere);
    }
    for (const Built& built : m_built) {
        if (!built.outlets.isEmpty()) {
            auto objectOwner = std::dynamic_pointer_cast<NibOwner>(built.view);
            if (!objectOwner)
                return fail(QStringLiteral("class \"%1\" has no outlets").arg(built.className), built.where);
            auto bindings = std::make_shared<NibBindings>();
            objectOwner->bindNib(*bindings);
            if (!connectOutlets(bindings, built.outlets, QStringLiteral("class \"%1\"").arg(built.className), built.where))
                return fail(m_error, m_errorWhere);
        }
        if (!checkActions(built))
            return fail(m_error, m_errorWhere);
    }

    // Everything named exists: connect.
    for (const Outlet& outlet : m_outlets)
        outlet.bindings->assign(outlet.name, outlet.view);
    for (const Built& built : m_built) {
        auto control = std::dynamic_pointer_cast<Control>(built.view);
        for (const QString& event : built.actions.keys()) {
            const QString action = built.actions.value(event).toString();
            control->addTarget(std::shared_ptr<void>(m_owner), m_ownerBindings->actionNamed(action),
                               controlEvents().at(event));
        }
    }
    Nib::Result result;
    result.topLevelObjects = std::move(topLevel);
    return result;
}

std::shared_ptr<View> Loader::build(const QJsonValue& json, const QString& where)
{
    m_errorWhere = where;
    if (!json.isObject()) {
        m_error = QStringLiteral("a view must be an object");
        return nullptr;
    }
    const QJsonObject object = json.toObject();
    const QString className = object.value(QLatin1String("class")).toString();
    if (className.isEmpty()) {
        m_error = QStringLiteral("a view needs a \"class\"");
        return nullptr;
    }
    auto it = registry().find(className);
    if (it == registry().end()) {
        m_error = QStringLiteral("unknown class \"%1\"").arg(className);
        return nullptr;
    }
    Built built{it->second(), className, where, {}, {}};
    if (!built.view) {
        m_error = QStringLiteral("class \"%1\" made no view").arg(className);
        return nullptr;
    }
    if (!buildParts(built, object))
        return nullptr;
    m_built.push_back(built);
    return built.view;
}

bool Loader::buildParts(Built& built, const QJsonObject& object)
{
    static const QSet<QString> keys = {"class", "id", "frame", "properties", "subviews", "outlets", "actions"};
    View& view = *built.view;
    for (const QString& key : object.keys()) {
        if (!keys.contains(key)) {
            m_error = QStringLiteral("unknown key \"%1\"").arg(key);
            return false;
        }
    }
    const QString id = object.value(QLatin1String("id")).toString();
    if (object.contains(QLatin1String("id")) && id.isEmpty()) {
        m_error = QStringLiteral("\"id\" must be a non-empty string");
        return false;
    }
    const std::pair<const char*, bool (QJsonValue::*)() const> shapes[] = {
        {"properties", &QJsonValue::isObject}, {"subviews", &QJsonValue::isArray},
        {"outlets", &QJsonValue::isObject}, {"actions", &QJsonValue::isObject}};
    for (const auto& [key, isShape] : shapes) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !(value.*isShape)()) {
            m_error = QStringLiteral("\"%1\" must be %2").arg(QLatin1String(key),
                                                                isShape == &QJsonValue::isArray ? "an array" : "an object");
            return false;
        }
    }
    if (object.contains(QLatin1String("frame"))) {
        const QJsonArray f = object.value(QLatin1String("frame")).toArray();
        const bool numbers = f.size() == 4 && std::all_of(f.begin(), f.end(), [](const QJsonValue& v) { return v.isDouble(); });
        if (!numbers) {
            m_error = QStringLiteral("\"frame\" must be [x, y, width, height]");
            return false;
        }
        view.setFrame(Rect(f[0].toDouble(), f[1].toDouble(), f[2].toDouble(), f[3].toDouble()));
    }
    const QJsonObject properties = object.value(QLatin1String("properties")).toObject();
    for (const QString& name : properties.keys()) {
        m_error = NibProperties::apply(view, name, properties.value(name));
        if (!m_error.isEmpty())
            return false;
    }
    const QString where = m_errorWhere;
    const QJsonArray subviews = object.value(QLatin1String("subviews")).toArray();
    // A cell's views belong in its content view, as the phone's cells hold them.
    auto cell = std::dynamic_pointer_cast<TableViewCell>(built.view);
    const std::shared_ptr<View> container = cell ? cell->contentView() : built.view;
    for (qsizetype i = 0; i < subviews.size(); ++i) {
        auto child = build(subviews.at(i), QStringLiteral("%1.subviews[%2]").arg(where).arg(i));
        if (!child)
            return false;
        container->addSubview(child);
    }
    m_errorWhere = where;
    if (!id.isEmpty()) {
        if (m_ids.count(id)) {
            m_error = QStringLiteral("the id \"%1\" is used twice").arg(id);
            return false;
        }
        m_ids[id] = m_built.size();   // the index this object takes once its subviews are in
    }
    built.outlets = object.value(QLatin1String("outlets")).toObject();
    built.actions = object.value(QLatin1String("actions")).toObject();
    if (!built.actions.isEmpty() && !std::dynamic_pointer_cast<Control>(built.view)) {
        m_error = QStringLiteral("class \"%1\" is no control and sends no actions").arg(built.className);
        return false;
    }
    return true;
}

bool Loader::connectOutlets(const std::shared_ptr<NibBindings>& bindings, const QJsonObject& outlets,
                            const QString& whose, const QString& where)
{
    m_errorWhere = where;
    if (!bindings) {
        m_error = QStringLiteral("the file connects outlets of an owner, but it was loaded without one");
        return false;
    }
    for (const QString& name : outlets.keys()) {
        const QString id = outlets.value(name).toString();
        auto found = m_ids.find(id);
        if (found == m_ids.end()) {
            m_error = QStringLiteral("outlet \"%1\" names no object \"%2\"").arg(name, id);
            return false;
        }
        const Built& target = m_built.at(found->second);
        if (!bindings->hasOutlet(name)) {
            m_error = QStringLiteral("%1 has no outlet \"%2\"").arg(whose, name);
            return false;
        }
        if (!bindings->accepts(name, target.view)) {
            m_error = QStringLiteral("outlet \"%1\" of %2 cannot hold a \"%3\"").arg(name, whose, target.className);
            return false;
        }
        m_outlets.push_back({bindings, name, target.view});
    }
    return true;
}

bool Loader::checkActions(const Built& built)
{
    m_errorWhere = built.where;
    for (const QString& event : built.actions.keys()) {
        const QString action = built.actions.value(event).toString();
        if (!controlEvents().count(event)) {
            m_error = QStringLiteral("unknown control event \"%1\"").arg(event);
            return false;
        }
        if (!m_ownerBindings) {
            m_error = QStringLiteral("action \"%1\" needs an owner, but the file was loaded without one").arg(action);
            return false;
        }
        if (!m_ownerBindings->hasAction(action)) {
            m_error = QStringLiteral("the owner has no action \"%1\"").arg(action);
            return false;
        }
    }
    return true;
}

} // namespace

void Nib::registerClass(const QString& className, Factory factory)
{
    registry()[className] = std::move(factory);
}

bool Nib::isClassRegistered(const QString& className)
{
    return registry().count(className) != 0;
}

QString Nib::pathForLayout(const QString& name)
{
    return core::Bundle::resourcePath() + QStringLiteral("/layouts/") + name + QStringLiteral(".json");
}

Nib::Result Nib::load(const QString& name, const std::shared_ptr<NibOwner>& owner)
{
    QFile file(pathForLayout(name));
    if (!file.open(QIODevice::ReadOnly)) {
        Result result;
        result.error = QStringLiteral("layout \"%1\": cannot read %2").arg(name, file.fileName());
        return result;
    }
    return loadData(file.readAll(), owner, name);
}

Nib::Result Nib::loadData(const QByteArray& json, const std::shared_ptr<NibOwner>& owner, const QString& name)
{
    return Loader(name, owner).run(json);
}

} // namespace ui
