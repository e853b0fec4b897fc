#include "server/Database.h"

#include "server/StorageError.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <thread>

#include <gtest/gtest.h>

using namespace server;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        m_db = Database::open(m_dir.filePath(QStringLiteral("db.sqlite")), &error);
        ASSERT_TRUE(m_db) << qPrintable(error);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

TEST_F(DatabaseTest, CreatesTheSchemaInWalMode)
{
    EXPECT_EQ(m_db->scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM account")).toInt(), 0);
}

TEST_F(DatabaseTest, ReopeningKeepsTheData)
{
    m_db->write([&] {
        m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, ?, ?, ?, ?)"),
                      {"f1", "ann", "好", "qq", 1});
    });
    m_db.reset();
    QString error;
    m_db = Database::open(m_dir.filePath(QStringLiteral("db.sqlite")), &error);
    ASSERT_TRUE(m_db);
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT remark FROM feedback WHERE code = ?"), {"f1"}).toString(), QStringLiteral("好"));
}

TEST_F(DatabaseTest, ANullStringIsStoredAsEmpty)
{
    m_db->write([&] {
        m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, ?, ?, ?, ?)"),
                      {"f1", QString(), QString(), QString(), 1});
    });
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM feedback WHERE remark = ''")).toInt(), 1);
}

TEST_F(DatabaseTest, ReusedStatementsSeeLaterCommits)
{
    const QString count = QStringLiteral("SELECT COUNT(*) FROM feedback");
    EXPECT_EQ(m_db->scalar(count).toInt(), 0);
    EXPECT_EQ(m_db->column(QStringLiteral("SELECT code FROM feedback")), QStringList());
    // Written from another thread, on another connection.
    std::thread writer([&] {
        m_db->write([&] {
            m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, ?, ?, ?, ?)"),
                          {"f9", "ann", "r", "c", 1});
        });
    });
    writer.join();
    EXPECT_EQ(m_db->scalar(count).toInt(), 1);
    EXPECT_EQ(m_db->column(QStringLiteral("SELECT code FROM feedback")), QStringList{"f9"});
}

TEST_F(DatabaseTest, FailuresAreStorageErrors)
{
    EXPECT_THROW(m_db->scalar(QStringLiteral("SELECT nope FROM account")), StorageError);
    EXPECT_THROW(m_db->execute(QStringLiteral("INSERT INTO account (code) VALUES (?)"), {"x"}), StorageError);
    // The statement that failed is usable again afterwards.
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM account")).toInt(), 0);
}

TEST_F(DatabaseTest, ValuesComeBackAsBound)
{
    const qint64 big = qint64(1) << 40;
    const QVariantList row = m_db->row(QStringLiteral("SELECT ?, ?, ?, NULL"), {QStringLiteral("错题（一）"), big, 2.5});
    ASSERT_EQ(row.size(), 4);
    EXPECT_EQ(row.at(0).toString(), QStringLiteral("错题（一）"));
    EXPECT_EQ(row.at(1).toLongLong(), big);
    EXPECT_DOUBLE_EQ(row.at(2).toDouble(), 2.5);
    // A NULL is still a value of the row that was found.
    EXPECT_TRUE(row.at(3).isValid());
    EXPECT_TRUE(row.at(3).isNull());
    EXPECT_TRUE(m_db->row(QStringLiteral("SELECT 1 WHERE 0")).isEmpty());
    EXPECT_FALSE(m_db->scalar(QStringLiteral("SELECT 1 WHERE 0")).isValid());
}

TEST_F(DatabaseTest, AStatementRunsAgainAfterItFailed)
{
    const QString insert = QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', 'r', 'c', 1)");
    m_db->execute(insert, {"f1"});
    EXPECT_THROW(m_db->execute(insert, {"f1"}), StorageError);
    m_db->execute(insert, {"f2"});
    EXPECT_EQ(m_db->column(QStringLiteral("SELECT code FROM feedback ORDER BY code")), (QStringList{"f1", "f2"}));
}

TEST_F(DatabaseTest, UpdateCountsChangedRows)
{
    m_db->write([&] {
        for (const char* code : {"a", "b", "c"})
            m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', 'r', 'c', 1)"),
                          {code});
    });
    int changed = 0;
    m_db->write([&] { changed = m_db->update(QStringLiteral("DELETE FROM feedback WHERE code <> ?"), {"a"}); });
    EXPECT_EQ(changed, 2);
}

TEST_F(DatabaseTest, TheLogIsCopiedBackIntoTheFileWithoutFurtherWrites)
{
    const QFileInfo file(m_dir.filePath(QStringLiteral("db.sqlite")));
    const QByteArray page(4000, 'x');
    // Well over the log's threshold, committed at once.
    m_db->write([&] {
        for (int i = 0; i < 1500; ++i)
            m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', ?, 'c', 1)"),
                          {QStringLiteral("f%1").arg(i), page});
    });
    QDeadlineTimer deadline(30000);
    while (QFileInfo(file.filePath()).size() < 1500 * 4000 && !deadline.hasExpired())
        std::this_thread::yield();
    EXPECT_GE(QFileInfo(file.filePath()).size(), 1500 * 4000);
}

TEST(Database, RefusesAnUnreachableStore)
{
    QString error;
    EXPECT_FALSE(Database::open(QStringLiteral("/nonexistent-folder/sub/db.sqlite"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Database::open(QStringLiteral("postgresql://"), &error));
}

} // namespace
