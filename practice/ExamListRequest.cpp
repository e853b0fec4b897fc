#include "practice/ExamListRequest.h"

#include "appbase/CommonUtil.h"
#include "platform/core/Record.h"

namespace {

QString text(const QJsonObject& record, std::initializer_list<QString> path)
{
    return core::Record::bodyText(core::Record::value(QJsonValue(record), path));
}

QString name(const QJsonObject& record, const char* key = "name")
{
    return core::Record::screenText(record.value(QString::fromLatin1(key)));
}

QString chapterCount()
{
    return QString::number(CommonUtil::getSpecialNum());
}

QString quickCount()
{
    return QString::number(CommonUtil::getFastNum());
}

} // namespace

QString ExamListRequest::subjectCodeText()
{
    const auto& code = CommonUtil::getSubjectCode();
    return code ? *code : QStringLiteral("(null)");
}

QString ExamListRequest::userCodeText()
{
    const auto& account = CommonUtil::getAccount();
    return account ? core::Record::bodyText(account->value(QStringLiteral("code"))) : QStringLiteral("(null)");
}

std::optional<ExamListRequest> ExamListRequest::forKind(int type, const QJsonObject& data, int errorType,
                                                        const QString& keepCode)
{
    ExamListRequest r;
    const bool errorBook = errorType == 0;
    const QString bookPrefix = errorBook ? QStringLiteral("错题") : QStringLiteral("收藏本");
    switch (type) {
    case 0:
        r.m_path = QStringLiteral("exam/paper_exam_list");
        r.m_body.add(QStringLiteral("paperCode"), text(data, {"code"}));
        r.m_title = name(data);
        break;
    case 1:
    case 2:
    case 3:
        r.m_path = QStringLiteral("exam/chapter_exam_list");
        if (type == 1) {
            r.m_body.add(QStringLiteral("directoryCode"), text(data, {"code"}));
        } else if (type == 2) {
            r.m_body.add(QStringLiteral("directoryCode"), text(data, {"TDirectory", "code"}));
            r.m_body.add(QStringLiteral("chapterCode"), text(data, {"code"}));
        } else {
            r.m_body.add(QStringLiteral("directoryCode"), text(data, {"TChapter", "TDirectory", "code"}));
            r.m_body.add(QStringLiteral("chapterCode"), text(data, {"TChapter", "code"}));
            r.m_body.add(QStringLiteral("nodeCode"), text(data, {"code"}));
        }
        r.addChapterPracticeTail(chapterCount(), CommonUtil::getIsDistill());
        r.m_title = QStringLiteral("专项练习（") + name(data) + QStringLiteral("）");
        break;
    case 4:
    case 5:
        r.m_path = type == 4 ? QStringLiteral("exam/chapter_exam_list") : QStringLiteral("exam/testPaper_exam_list");
        r.m_body.add(QStringLiteral("type"), QStringLiteral("2"));
        r.m_body.add(QStringLiteral("exam_num"), quickCount());
        r.m_title = type == 4 ? QStringLiteral("快速练习") : QStringLiteral("组卷练习");
        break;
    case 6:
        r.m_path = QStringLiteral("exam/error_paper_exam_list");
        r.m_body.add(QStringLiteral("paperCode"), text(data, {"code"}));
        r.addBookTail(keepCode, errorType);
        r.m_title = bookPrefix + name(data);
        break;
    case 7:
    case 8:
    case 9:
        r.m_path = QStringLiteral("exam/error_chapter_exam_list");
        if (type == 7) {
            r.m_body.add(QStringLiteral("directoryCode"), text(data, {"code"}));
        } else if (type == 8) {
            r.m_body.add(QStringLiteral("chapterCode"), text(data, {"code"}));
        } else {
            r.m_body.add(QStringLiteral("chapterCode"), text(data, {"TChapter", "code"}));
            r.m_body.add(QStringLiteral("nodeCode"), text(data, {"code"}));
        }
        r.m_body.add(QStringLiteral("exam_num"), chapterCount());
        r.addBookTail(keepCode, errorType);
        r.m_body.add(QStringLiteral("type"), CommonUtil::getIsDistill() ? QStringLiteral("0") : QStringLiteral("1"));
        r.m_title = bookPrefix + QStringLiteral("专项练习（") + name(data) + QStringLiteral("）");
        break;
    case 10:
        r.m_path = QStringLiteral("exam/record_exam_list");
        r.m_body.add(QStringLiteral("recordCode"), text(data, {"code"}));
        r.m_title = name(data, "recordName");
        break;
    default:
        return std::nullopt;
    }
    r.addTrailer();
    return r;
}

void ExamListRequest::addChapterPracticeTail(const QString& drawCount, bool ordered)
{
    m_body.add(QStringLiteral("exam_num"), drawCount);
    // The server's flag is inverted: "0" draws in order, "1" at random.
    m_body.add(QStringLiteral("type"), ordered ? QStringLiteral("0") : QStringLiteral("1"));
}

void ExamListRequest::addBookTail(const QString& keepCode, int errorType)
{
    m_body.add(QStringLiteral("keep_code"), keepCode.isNull() ? QStringLiteral("(null)") : keepCode);
    // Also inverted on the wire: "1" is the error book, "0" the favourites.
    m_body.add(QStringLiteral("error_type"), errorType == 0 ? QStringLiteral("1") : QStringLiteral("0"));
}

void ExamListRequest::addTrailer()
{
    m_body.add(QStringLiteral("subjectCode"), subjectCodeText());
    m_body.add(QStringLiteral("record_remark"), m_title);
    m_body.add(QStringLiteral("user_code"), userCodeText());
}
