#pragma once

#include "platform/core/FormBody.h"

#include <QJsonObject>
#include <QString>
#include <optional>

// The question-list request of one practice run: which list the practice kind asks for, the
// body in the server's order (the kind's pieces, then subject, title and user), and the
// practice title that the screen shows and the server files the run under.
class ExamListRequest {
public:
    // None for a kind outside 0 to 10: no list exists for it.
    static std::optional<ExamListRequest> forKind(int type, const QJsonObject& data, int errorType,
                                                  const QString& keepCode);

    const QString& path() const { return m_path; }
    const core::FormBody& body() const { return m_body; }
    const QString& title() const { return m_title; }

    // The values every request of the practice screen carries, as a body has always sent them.
    static QString subjectCodeText();
    static QString userCodeText();

private:
    ExamListRequest() = default;
    void addChapterPracticeTail(const QString& drawCount, bool ordered);
    void addBookTail(const QString& keepCode, int errorType);
    void addTrailer();

    QString m_path;
    core::FormBody m_body;
    QString m_title;
};
