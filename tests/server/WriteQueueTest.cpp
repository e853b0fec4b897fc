#include "server/WriteQueue.h"

#include "server/Database.h"
#include "server/StorageError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace server;

namespace {

class WriteQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_db = Database::open(m_dir.filePath("db.sqlite"), &error)) << qPrintable(error);
    }
    void insert(const QString& code)
    {
        m_db->execute("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', 'r', 'c', 1)", {code});
    }
    int rows(const QString& prefix) { return m_db->scalar("SELECT COUNT(*) FROM feedback WHERE code LIKE ?", {prefix + "%"}).toInt(); }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

// A waiting write returns once it and every write queued before it are committed; when it
// fails, its own changes alone are undone, whether it ran alone or shared a transaction.
TEST_F(WriteQueueTest, BatchShapes)
{
    const std::tuple<QString, int, bool> shapes[] = {{"alone", 0, false}, {"alone-failing", 0, true}, {"behind-50", 50, false},
                                                     {"failing-behind-2", 2, true}};   // name, writes queued before, fails
    for (const auto& [name, queuedBefore, fails] : shapes) {
        for (int i = 0; i < queuedBefore; ++i)
            m_db->writeLater([this, name, i] { insert(name + QString::number(i)); });
        bool threw = false;
        try {
            m_db->write([&] {
                insert(name + "-waiting");
                if (fails)
                    throw std::runtime_error("refused");
            });
        } catch (const std::runtime_error&) {
            threw = true;
        }
        EXPECT_EQ(threw, fails) << qPrintable(name);
        EXPECT_EQ(rows(name), queuedBefore + (fails ? 0 : 1)) << qPrintable(name);
    }
    insert("dup");
    EXPECT_THROW(m_db->write([&] { insert("dup"); }), StorageError);
    for (int i = 0; i < 5; ++i)   // too few to be committed without a reason
        m_db->writeLater([this, i] { insert(QStringLiteral("later%1").arg(i)); });
    m_db->awaitQueuedWrites();
    EXPECT_EQ(rows("later"), 5);
}

// Sixteen writers at once, every third failing after it has written: the failures are undone
// alone, every other write is kept whole.
TEST_F(WriteQueueTest, ParallelWritersLoseNothingButTheirOwnFailures)
{
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&, i] {
            try {
                m_db->write([&] {
                    insert(QStringLiteral("w%1a").arg(i));
                    if (i % 3 == 0)
                        throw std::runtime_error("refused");
                    insert(QStringLiteral("w%1b").arg(i));
                });
            } catch (const std::runtime_error&) {
                ++failed;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failed.load(), 6);
    EXPECT_EQ(m_db->column("SELECT code FROM feedback WHERE code LIKE 'w3%' OR code LIKE 'w4%' ORDER BY code"), (QStringList{"w4a", "w4b"}));
    EXPECT_EQ(rows("w"), 2 * 10);
}

TEST_F(WriteQueueTest, StoppingCommitsEveryQueuedWrite)
{
    std::atomic<int> acknowledged = 0;
    {
        WriteQueue queue(*m_db);
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&, i] {
                for (int n = 0; n < 20; ++n, ++acknowledged)
                    queue.run([&] { insert(QStringLiteral("w%1-%2").arg(i).arg(n)); });
            });
        for (int i = 0; i < 600; ++i) {
            if (i == 300) {
                for (auto& t : threads)
                    t.join();   // nothing waits for the rest: still queued when the queue stops
            }
            queue.post([this, i] { insert(QStringLiteral("p%1").arg(i)); });
        }
    }
    EXPECT_EQ(acknowledged.load(), 160);
    EXPECT_EQ(rows(""), 160 + 600);
}

} // namespace
