#include "platform/core/Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QBANK_VERSION
#error "QBANK_VERSION must come from the CMake project version"
#endif

namespace core {

namespace {
QString& overridePath()
{
    static QString path;
    return path;
}
} // namespace

QString Bundle::version()
{
    return QStringLiteral(QBANK_VERSION);
}

QString Bundle::resourcePath()
{
    if (!overridePath().isEmpty())
        return overridePath();
    const QString env = qEnvironmentVariable("QBANK_RESOURCES");
    if (!env.isEmpty())
        return QDir::cleanPath(env);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/resources"));
}

void Bundle::setResourcePath(const QString& path)
{
    overridePath() = path.isEmpty() ? QString() : QDir::cleanPath(path);
}

QString Bundle::pathForResource(const QString& name, const QString& type)
{
    if (name.isEmpty())
        return QString();
    QString file = name;
    if (!type.isEmpty())
        file += type.startsWith(u'.') ? type : QStringLiteral(".") + type;
    const QString path = resourcePath() + u'/' + file;
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace core
