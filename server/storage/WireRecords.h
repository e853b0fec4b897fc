#pragma once

#include <QJsonObject>

class QString;

namespace server {

// The shapes of the records the client reads by key, built in one place so that
// the chapter tree, the books and the question lists agree on them.
class WireRecords {
public:
    static QJsonObject directory(const QString& code, const QString& name);
    // ChapterRecord without its nodes: the practice screen reads TDirectory.code.
    static QJsonObject chapter(const QString& code, const QString& name, const QString& directoryCode);
    // NodeRecord without its count: the practice screen reads TChapter.code and
    // TChapter.TDirectory.code.
    static QJsonObject node(const QString& code, const QString& name, const QString& chapterCode,
                            const QString& directoryCode);
    static QJsonObject paper(const QString& code, const QString& name);
};

} // namespace server
