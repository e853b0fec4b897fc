#include "server/storage/FeedbackStore.h"

#include "server/storage/Database.h"
#include "server/signin/RandomCode.h"

#include <QDateTime>
#include <QString>

namespace server {

FeedbackStore::FeedbackStore(Database& db)
    : m_db(db)
{
}

void FeedbackStore::add(const QString& userAccount, const QString& remark, const QString& contact)
{
    const QString code = RandomCode::make();
    m_db.write([&] {
        m_db.execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, ?, ?, ?, ?)"),
                     {code, userAccount, remark, contact, QDateTime::currentMSecsSinceEpoch()});
    });
}

} // namespace server
