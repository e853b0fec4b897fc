#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace core {

// NSUserDefaults standardUserDefaults: a key -> JSON value store (null included) kept in
// <data folder>/settings.json, written atomically (write to a temporary file, then rename)
// with mode 0600. Changes are saved on synchronize(), on the next run-loop turn after a change,
// and when the application object goes away. A corrupt or truncated file is moved aside
// ("settings.json.corrupt-<time>") with a log line, and the store starts empty.
// Main thread only.
class Settings {
public:
    static Settings& standard();

    // The folder that holds settings.json: set by tests and by the app's command line;
    // otherwise $QBANK_DATA_DIR, otherwise Qt's per-user application data location.
    // Changing it saves pending changes to the old folder and loads from the new one.
    static void setDataFolder(const QString& folder);
    static QString dataFolder();
    QString filePath() const;

    QJsonValue value(const QString& key) const;   // Undefined when absent
    bool contains(const QString& key) const;
    void set(const QString& key, const QJsonValue& value);   // Undefined removes (setObject:nil)
    void remove(const QString& key);
    QJsonObject all() const { return m_values; }
    bool synchronize();   // writes now if anything changed; false when the write failed
    void reload();        // drops unsaved changes and reads the file again

private:
    Settings();
    void load();
    void markDirty();

    QJsonObject m_values;
    bool m_dirty = false;
    bool m_savePosted = false;
};

} // namespace core
