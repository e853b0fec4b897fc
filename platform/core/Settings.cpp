#include "platform/core/Settings.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace core {

namespace {
const QString FileName = QStringLiteral("settings.json");

QString& folderOverride()
{
    static QString folder;
    return folder;
}

Settings* s_standard = nullptr;

void flushAtExit()
{
    if (s_standard)
        s_standard->synchronize();
}
} // namespace

Settings& Settings::standard()
{
    if (!s_standard) {
        s_standard = new Settings;   // process-wide, like the phone's store; flushed at exit
        qAddPostRoutine(flushAtExit);
    }
    return *s_standard;
}

Settings::Settings()
{
    load();
}

void Settings::setDataFolder(const QString& folder)
{
    if (s_standard)
        s_standard->synchronize();
    folderOverride() = folder;
    if (s_standard)
        s_standard->load();
}

QString Settings::dataFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    const QString env = qEnvironmentVariable("QBANK_DATA_DIR");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString Settings::filePath() const
{
    return QDir(dataFolder()).filePath(FileName);
}

QJsonValue Settings::value(const QString& key) const
{
    return m_values.value(key);
}

bool Settings::contains(const QString& key) const
{
    return m_values.contains(key);
}

void Settings::set(const QString& key, const QJsonValue& value)
{
    if (value.isUndefined()) {
        remove(key);
        return;
    }
    // Storing what is already there changes nothing on disk: no save (apps store their whole
    // state on every trip to the background, most of it unchanged).
    if (m_values.value(key) == value)
        return;
    m_values.insert(key, value);
    markDirty();
}

void Settings::remove(const QString& key)
{
    if (!m_values.contains(key))
        return;
    m_values.remove(key);
    markDirty();
}

void Settings::markDirty()
{
    m_dirty = true;
    if (m_savePosted || !QCoreApplication::instance())
        return;
    // Like NSUserDefaults, changes reach the disk soon even without synchronize().
    m_savePosted = true;
    RunLoop::main().post([this] {
        m_savePosted = false;
        synchronize();
    });
}

bool Settings::synchronize()
{
    if (!m_dirty)
        return true;
    const QString folder = dataFolder();
    if (!QDir().mkpath(folder)) {
        log(QStringLiteral("settings"), QStringLiteral("cannot create the data folder %1").arg(folder));
        return false;
    }
    // QSaveFile writes a temporary file beside the target and renames it over the target on
    // commit, so a crash leaves either the old file or the new one, never half of one.
    QSaveFile file(filePath());
    if (!file.open(QIODevice::WriteOnly)) {
        log(QStringLiteral("settings"), QStringLiteral("cannot write %1: %2").arg(filePath(), file.errorString()));
        return false;
    }
    ::fchmod(file.handle(), S_IRUSR | S_IWUSR);
    file.write(QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        log(QStringLiteral("settings"), QStringLiteral("cannot save %1: %2").arg(filePath(), file.errorString()));
        return false;
    }
    m_dirty = false;
    return true;
}

void Settings::reload()
{
    load();
}

void Settings::load()
{
    m_values = QJsonObject();
    m_dirty = false;
    m_savePosted = false;   // a save still queued finds nothing dirty and does nothing
    const QString path = filePath();
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        log(QStringLiteral("settings"), QStringLiteral("cannot read %1: %2; starting from defaults")
                                            .arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && doc.isObject()) {
        m_values = doc.object();
        return;
    }
    // Keep the damaged file for inspection rather than overwriting it at the next save.
    const QString aside = path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const bool moved = QFile::rename(path, aside);
    log(QStringLiteral("settings"),
        QStringLiteral("%1 is not a valid settings file (%2); %3; starting from defaults")
            .arg(path,
                 error.error == QJsonParseError::NoError ? QStringLiteral("not an object") : error.errorString(),
                 moved ? QStringLiteral("moved aside to ") + aside : QStringLiteral("could not move it aside")));
}

} // namespace core
