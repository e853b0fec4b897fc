#include "server/storage/WireRecords.h"

#include <QString>

namespace server {

QJsonObject WireRecords::directory(const QString& code, const QString& name)
{
    return QJsonObject{{"code", code}, {"name", name}};
}

QJsonObject WireRecords::chapter(const QString& code, const QString& name, const QString& directoryCode)
{
    return QJsonObject{{"code", code}, {"name", name}, {"TDirectory", QJsonObject{{"code", directoryCode}}}};
}

QJsonObject WireRecords::node(const QString& code, const QString& name, const QString& chapterCode,
                              const QString& directoryCode)
{
    const QJsonObject parent{{"code", chapterCode}, {"TDirectory", QJsonObject{{"code", directoryCode}}}};
    return QJsonObject{{"code", code}, {"name", name}, {"TChapter", parent}};
}

QJsonObject WireRecords::paper(const QString& code, const QString& name)
{
    return QJsonObject{{"code", code}, {"name", name}};
}

} // namespace server
