#include "server/ServerOptions.h"

#include <QUrl>

namespace server {

namespace {

bool parseListen(const QString& text, ServerOptions& options)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    const int port = text.mid(colon + 1).toInt(&ok);
    if (!ok || port < 0 || port > 65535)
        return false;
    options.host = text.left(colon);
    options.port = port;
    return true;
}

} // namespace

std::optional<ServerOptions> ServerOptions::parse(const QStringList& arguments, QString* error)
{
    ServerOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& flag = arguments.at(i);
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("%1 needs a value").arg(flag);
            return std::nullopt;
        }
        const QString value = arguments.at(++i);
        if (flag == QLatin1String("--listen")) {
            if (!parseListen(value, options)) {
                *error = QStringLiteral("--listen wants HOST:PORT, got %1").arg(value);
                return std::nullopt;
            }
        } else if (flag == QLatin1String("--public-url")) {
            const QUrl url(value, QUrl::StrictMode);
            if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) || url.host().isEmpty()) {
                *error = QStringLiteral("--public-url wants an http or https address, got %1").arg(value);
                return std::nullopt;
            }
            options.publicUrl = value.endsWith(QLatin1Char('/')) ? value.chopped(1) : value;
        } else if (flag == QLatin1String("--db")) {
            options.database = value;
        } else if (flag == QLatin1String("--seed") && (value == QLatin1String("sample") || value == QLatin1String("none"))) {
            options.seed = value == QLatin1String("sample") ? Seed::Sample : Seed::None;
        } else {
            *error = QStringLiteral("unknown option %1 %2").arg(flag, value);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace server
