#pragma once

#include <QVariant>

namespace server {

// How a value is stored: the one rule both statement paths (SQLite's own API and
// QtSql) bind by. A null QString binds as '' rather than NULL, since the schema
// keeps "none" as ''.
class BoundValue {
public:
    enum class Kind { Null, Integer, Real, Blob, Text };

    static Kind kindOf(const QVariant& value);
    // The value as QtSql is to bind it.
    static QVariant forQtSql(const QVariant& value);
};

} // namespace server
