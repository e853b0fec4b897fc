#include "server/WriteQueue.h"

#include "server/Database.h"
#include "server/StorageError.h"

#include <QTemporaryDir>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

using namespace server;

namespace {

class WriteQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        m_db = Database::open(m_dir.filePath(QStringLiteral("db.sqlite")), &error);
        ASSERT_TRUE(m_db) << qPrintable(error);
    }

    void insert(const QString& code)
    {
        m_db->execute(QStringLiteral("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', 'r', 'c', 1)"),
                      {code});
    }

    int rows() { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM feedback")).toInt(); }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

TEST_F(WriteQueueTest, AFailingWriteIsUndoneAloneInItsBatch)
{
    constexpr int kWriters = 16;
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < kWriters; ++i) {
        threads.emplace_back([&, i] {
            try {
                m_db->write([&] {
                    insert(QStringLiteral("w%1").arg(i));
                    // Every third write fails after it has written.
                    if (i % 3 == 0)
                        throw std::runtime_error("refused");
                    insert(QStringLiteral("w%1b").arg(i));
                });
            } catch (const std::runtime_error&) {
                ++failed;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failed.load(), 6);
    EXPECT_EQ(rows(), 2 * (kWriters - 6));
    EXPECT_FALSE(m_db->scalar(QStringLiteral("SELECT 1 FROM feedback WHERE code = 'w3'")).isValid());
    EXPECT_TRUE(m_db->scalar(QStringLiteral("SELECT 1 FROM feedback WHERE code = 'w4b'")).isValid());
}

TEST_F(WriteQueueTest, AStorageFailureReachesTheCaller)
{
    m_db->write([&] { insert(QStringLiteral("dup")); });
    EXPECT_THROW(m_db->write([&] { insert(QStringLiteral("dup")); }), StorageError);
    EXPECT_EQ(rows(), 1);
}

TEST_F(WriteQueueTest, AWriteAloneInItsBatchIsUndoneWhenItFails)
{
    EXPECT_THROW(m_db->write([&] {
        insert(QStringLiteral("lone"));
        throw std::runtime_error("refused");
    }),
                 std::runtime_error);
    EXPECT_EQ(rows(), 0);
    m_db->write([&] { insert(QStringLiteral("next")); });
    EXPECT_EQ(rows(), 1);
}

TEST_F(WriteQueueTest, QueuedWritesAreCommittedBeforeALaterWaitingWrite)
{
    for (int i = 0; i < 50; ++i)
        m_db->writeLater([this, i] { insert(QStringLiteral("later%1").arg(i)); });
    m_db->write([] {});
    EXPECT_EQ(rows(), 50);
}

TEST_F(WriteQueueTest, AwaitingQueuedWritesReturnsOnceTheyAreCommitted)
{
    m_db->awaitQueuedWrites();
    // Fewer than a batch's worth: left alone, they would wait for company.
    for (int i = 0; i < 5; ++i)
        m_db->writeLater([this, i] { insert(QStringLiteral("later%1").arg(i)); });
    m_db->awaitQueuedWrites();
    EXPECT_EQ(rows(), 5);
}

TEST_F(WriteQueueTest, AWaitingWriteFailingBesideQueuedWritesFailsAlone)
{
    // The queued writes wait for the next batch, so the failing write shares it.
    m_db->writeLater([this] { insert(QStringLiteral("before")); });
    m_db->writeLater([this] { insert(QStringLiteral("before")); });
    EXPECT_THROW(m_db->write([&] {
        insert(QStringLiteral("refused"));
        throw std::runtime_error("refused");
    }),
                 std::runtime_error);
    m_db->write([&] { insert(QStringLiteral("after")); });
    EXPECT_EQ(rows(), 2);
    EXPECT_FALSE(m_db->scalar(QStringLiteral("SELECT 1 FROM feedback WHERE code = 'refused'")).isValid());
}

TEST_F(WriteQueueTest, StoppingCommitsEveryQueuedWrite)
{
    constexpr int kWriters = 8;
    constexpr int kPosted = 300;
    std::atomic<int> acknowledged = 0;
    {
        WriteQueue queue(*m_db);
        std::vector<std::thread> threads;
        for (int i = 0; i < kWriters; ++i) {
            threads.emplace_back([&, i] {
                for (int n = 0; n < 20; ++n) {
                    queue.run([&] { insert(QStringLiteral("w%1-%2").arg(i).arg(n)); });
                    ++acknowledged;
                }
            });
        }
        for (int i = 0; i < kPosted; ++i)
            queue.post([this, i] { insert(QStringLiteral("p%1").arg(i)); });
        for (auto& t : threads)
            t.join();
        // Nothing waits for these: they are still queued when the queue stops.
        for (int i = 0; i < kPosted; ++i)
            queue.post([this, i] { insert(QStringLiteral("q%1").arg(i)); });
    }
    EXPECT_EQ(acknowledged.load(), kWriters * 20);
    EXPECT_EQ(rows(), kWriters * 20 + 2 * kPosted);
}

} // namespace
