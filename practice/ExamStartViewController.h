#pragma once

#include "appbase/ChromeViewController.h"

#include <QJsonObject>
#include <QString>

// The practice screen: one run over one question list. The opener sets what the run is for
// (its practice kind, the record practised and, from the error book and favourites, the book
// kind and entry code) before presenting it; the screen copies what it is given.
class ExamStartViewController : public ChromeViewController {
public:
    static std::shared_ptr<ExamStartViewController> create();

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    const QJsonObject& data() const { return m_data; }
    void setData(const QJsonObject& data) { m_data = data; }
    int error_type() const { return m_errorType; }
    void setError_type(int errorType) { m_errorType = errorType; }
    const QString& keepCode() const { return m_keepCode; }
    void setKeepCode(const QString& keepCode) { m_keepCode = keepCode; }

protected:
    ExamStartViewController();

private:
    int m_type = 0;
    QJsonObject m_data;
    int m_errorType = 0;
    QString m_keepCode;
};
