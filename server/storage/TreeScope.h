#pragma once

#include <QString>
#include <QVariantList>

namespace server {

// A part of the chapter tree or one paper that a question list is drawn from;
// empty codes do not narrow the scope.
class TreeScope {
public:
    QString directoryCode;
    QString chapterCode;
    QString nodeCode;
    QString paperCode;

    // "AND ..." conditions over the question table aliased as q, and their values.
    QString sqlCondition() const;
    QVariantList binds() const;
};

} // namespace server
