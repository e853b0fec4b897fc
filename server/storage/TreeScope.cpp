#include "server/storage/TreeScope.h"

namespace server {

QString TreeScope::sqlCondition() const
{
    // The casts give PostgreSQL a type for parameters compared with a literal.
    return QStringLiteral(" AND (CAST(? AS TEXT) = '' OR q.directory_code = ?) AND (CAST(? AS TEXT) = '' OR q.chapter_code = ?)"
                          " AND (CAST(? AS TEXT) = '' OR q.node_code = ?) AND (CAST(? AS TEXT) = '' OR q.paper_code = ?)");
}

QVariantList TreeScope::binds() const
{
    return {directoryCode, directoryCode, chapterCode, chapterCode, nodeCode, nodeCode, paperCode, paperCode};
}

} // namespace server
