#include "ImageNameScanner.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

QList<ImageNameUse> ImageNameScanner::scanText(const QString& text, const QString& file)
{
    // The literal may be wrapped in QStringLiteral(...) or QLatin1String(...), or carry a u/u8 prefix.
    static const QRegularExpression call(
        QStringLiteral(R"re(\b(?:getImageName|Image\s*::\s*named|ImageButton\s*::\s*create)\s*\(\s*(?:(?:QStringLiteral|QLatin1String|QString)\s*\(\s*)?(?:u8|u|L)?"([^"\\\n]*)")re"));
    QList<ImageNameUse> uses;
    auto it = call.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const int line = int(text.left(match.capturedStart(0)).count(QLatin1Char('\n'))) + 1;
        uses.append({match.captured(1), file, line});
    }
    return uses;
}

QList<ImageNameUse> ImageNameScanner::scanTree(const QString& root, const QStringList& folders)
{
    QList<ImageNameUse> uses;
    for (const QString& folder : folders) {
        QDirIterator it(root + QLatin1Char('/') + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile source(path);
            if (!source.open(QIODevice::ReadOnly))
                continue;
            uses += scanText(QString::fromUtf8(source.readAll()), path);
        }
    }
    return uses;
}
