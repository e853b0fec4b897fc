#include "server/Database.h"

#include "server/StorageError.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

using namespace server;

namespace {

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        m_db = Database::open(m_file, &error);
        ASSERT_TRUE(m_db) << qPrintable(error);
    }
    void insert(const QVariant& code, const QVariant& remark = "r")
    {
        m_db->execute("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', ?, 'c', 1)", {code, remark});
    }

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath("db.sqlite");
    std::unique_ptr<Database> m_db;
};

// Values come back as bound, a null string as empty; a statement reused on this thread sees
// what another thread committed; the data outlives the process's handle.
TEST_F(DatabaseTest, WhatIsWrittenReadsBackAsBoundFromAnyConnection)
{
    const qint64 big = qint64(1) << 40;
    const QVariantList row = m_db->row("SELECT ?, ?, ?, NULL", {"错题（一）", big, 2.5});
    EXPECT_EQ(row.mid(0, 3), (QVariantList{"错题（一）", big, 2.5}));
    EXPECT_TRUE(row.at(3).isValid() && row.at(3).isNull()) << "a NULL is still a value of the row that was found";
    EXPECT_TRUE(m_db->row("SELECT 1 WHERE 0").isEmpty());
    EXPECT_FALSE(m_db->scalar("SELECT 1 WHERE 0").isValid());

    const QString count = "SELECT COUNT(*) FROM feedback WHERE remark = ''";
    EXPECT_EQ(m_db->scalar(count).toInt(), 0);
    std::thread([&] { m_db->write([&] { insert("f1", QString()); }); }).join();
    EXPECT_EQ(m_db->scalar(count).toInt(), 1);
    m_db.reset();
    SetUp();
    EXPECT_EQ(m_db->column("SELECT code FROM feedback"), QStringList{"f1"});
    EXPECT_EQ(m_db->scalar("PRAGMA journal_mode").toString(), "wal");
}

TEST_F(DatabaseTest, FailuresAreStorageErrorsAndTheStatementRunsAgain)
{
    EXPECT_THROW(m_db->scalar("SELECT nope FROM account"), StorageError);
    insert("f1");
    EXPECT_THROW(insert("f1"), StorageError);
    insert("f2");
    int changed = 0;
    m_db->write([&] { changed = m_db->update("DELETE FROM feedback WHERE code <> ?", {"f2"}); });
    EXPECT_EQ(changed, 1);
    QString error;
    EXPECT_FALSE(Database::open("/nonexistent-folder/sub/db.sqlite", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Database::open("postgresql://", &error));
}

TEST_F(DatabaseTest, TheLogIsCopiedBackIntoTheFileWithoutFurtherWrites)
{
    const QByteArray page(4000, 'x');
    m_db->write([&] {   // well over the log's threshold, committed at once
        for (int i = 0; i < 1500; ++i)
            insert(QStringLiteral("f%1").arg(i), page);
    });
    QDeadlineTimer deadline(30000);
    while (QFileInfo(m_file).size() < 1500 * 4000 && !deadline.hasExpired())
        std::this_thread::yield();
    EXPECT_GE(QFileInfo(m_file).size(), 1500 * 4000);
}

} // namespace
