#pragma once

#include "components/hud/ProgressHUD.h"
#include "server/ServerInstance.h"

#include <httplib.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonValue>
#include <QUrlQuery>

inline QString screenshotPath(const QString& name)
{
    return QDir(qEnvironmentVariable("QBANK_SCREENSHOTS", QDir::tempPath())).filePath(name);
}

// A blocking POST to the test's own server, for what a user would already have done (a run
// filed) before opening the screen under test. Undefined unless the status is 200.
inline QJsonValue postForm(const server::ServerInstance& server, const QString& path, const QList<QPair<QString, QString>>& fields)
{
    QUrlQuery form;
    for (const auto& [key, value] : fields)
        form.addQueryItem(key, QString::fromUtf8(QUrl::toPercentEncoding(value)));
    httplib::Client client(server.host().toStdString(), server.port());
    const auto reply = client.Post(("/PendarWeb/" + path).toStdString(), form.query(QUrl::FullyEncoded).toStdString(),
                                   "application/x-www-form-urlencoded");
    if (!reply || reply->status != 200)
        return QJsonValue::Undefined;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(reply->body));
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}
