#include "server/storage/Database.h"

#include "server/http/NonBlockingScope.h"
#include "server/storage/StorageError.h"
#include "server/http/WouldBlock.h"
#include "server/storage/WriteQueue.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <latch>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace server;

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(m_db = Database::open(m_file, &error)) << qPrintable(error);
    }
    void insert(const QVariant& code, const QVariant& remark = "r")
    {
        m_db->execute("INSERT INTO feedback (code, user_account, remark, contact, created) VALUES (?, 'u', ?, 'c', 1)", {code, remark});
    }
    // A write of one row that fails after writing when told to; true when the caller was told so.
    bool failedWrite(const QString& code, bool fails)
    {
        try {
            m_db->write([&] {
                insert(code);
                if (fails)
                    throw std::runtime_error("refused");
            });
        } catch (const std::runtime_error&) {
            return true;
        }
        return false;
    }
    int rows(const QString& prefix) { return m_db->scalar("SELECT COUNT(*) FROM feedback WHERE code LIKE ?", {prefix + "%"}).toInt(); }

    QTemporaryDir m_dir;
    const QString m_file = m_dir.filePath("db.sqlite");
    std::unique_ptr<Database> m_db;
};

// Values come back as bound, a null string as empty; a statement reused on this thread sees
// what another thread committed, and runs again after it failed; the data outlives the handle.
TEST_F(DatabaseTest, WhatIsWrittenReadsBackAsBoundFromAnyConnection)
{
    const QVariantList row = m_db->row("SELECT ?, ?, ?, NULL", {"错题（一）", qint64(1) << 40, 2.5});
    EXPECT_EQ(row.mid(0, 3), (QVariantList{"错题（一）", qint64(1) << 40, 2.5}));
    EXPECT_TRUE(row.at(3).isValid() && row.at(3).isNull()) << "a NULL is still a value of the row that was found";
    EXPECT_FALSE(m_db->scalar("SELECT 1 WHERE 0").isValid());
    const QString count = "SELECT COUNT(*) FROM feedback WHERE remark = ''";
    EXPECT_EQ(m_db->scalar(count).toInt(), 0);
    std::thread([&] { m_db->write([&] { insert("f1", QString()); }); }).join();
    EXPECT_EQ(m_db->scalar(count).toInt(), 1);
    EXPECT_THROW(insert("f1"), StorageError);
    EXPECT_THROW(m_db->scalar("SELECT nope FROM account"), StorageError);
    insert("f2");
    m_db.reset();
    SetUp();
    EXPECT_EQ(m_db->column("SELECT code FROM feedback ORDER BY code"), (QStringList{"f1", "f2"}));
    int changed = 0;
    m_db->write([&] { changed = m_db->update("DELETE FROM feedback WHERE code <> ?", {"f2"}); });
    EXPECT_EQ(changed, 1);
    QString error;
    EXPECT_TRUE(!Database::open("/nonexistent-folder/sub/db.sqlite", &error) && !error.isEmpty());
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

// A waiting write returns once it and every write queued before it are committed; when it
// fails, its own changes alone are undone, whether it ran alone or shared a transaction.
TEST_F(DatabaseTest, BatchShapes)
{
    const std::tuple<QString, int, bool> shapes[] = {{"alone", 0, false}, {"alone-failing", 0, true}, {"behind-50", 50, false},
                                                     {"failing-behind-2", 2, true}};   // name, writes queued before, fails
    for (const auto& [name, queuedBefore, fails] : shapes) {
        for (int i = 0; i < queuedBefore; ++i)
            m_db->writeLater([this, name, i] { insert(name + QString::number(i)); });
        EXPECT_EQ(failedWrite(name + "-waiting", fails), fails) << qPrintable(name);
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
// alone, every other write is kept. A queue that stops commits everything still queued.
TEST_F(DatabaseTest, ParallelWritersLoseNothingButTheirOwnFailuresAndStoppingCommitsEverything)
{
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 16; ++i)
        threads.emplace_back([&, i] { failed += failedWrite(QStringLiteral("w%1.").arg(i), i % 3 == 0); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failed.load(), 6);
    EXPECT_EQ(m_db->column("SELECT code FROM feedback WHERE code IN ('w3.', 'w4.')"), QStringList{"w4."});
    EXPECT_EQ(rows("w"), 10);
    std::atomic<int> acknowledged = 0;
    {
        WriteQueue queue(*m_db);
        std::vector<std::thread> writers;
        for (int i = 0; i < 8; ++i)
            writers.emplace_back([&, i] {
                for (int n = 0; n < 20; ++n, ++acknowledged)
                    queue.run([&] { insert(QStringLiteral("q%1-%2").arg(i).arg(n)); });
            });
        for (int i = 0; i < 600; ++i) {
            if (i == 300) {
                for (auto& t : writers)
                    t.join();   // nothing waits for the rest: still queued when the queue stops
            }
            queue.post([this, i] { insert(QStringLiteral("p%1").arg(i)); });
        }
    }
    EXPECT_EQ(acknowledged.load(), 160);
    EXPECT_EQ(rows(""), 10 + 160 + 600);
}


// Writes that queue while another commits go into one transaction on the writer; one of them
// failing is undone alone and reported to its caller alone, the others are committed and told so.
TEST_F(DatabaseTest, WritesQueuedTogetherCommitTogetherAndAFailingOneIsUndoneAlone)
{
    WriteQueue queue(*m_db);
    std::latch committing(1);
    std::latch release(1);
    std::thread first([&] {
        queue.run([&] {
            insert("g-first");
            committing.count_down();
            release.wait();
        });
    });
    committing.wait();
    constexpr int kQueued = 5;
    constexpr int kFailing = 2;
    std::array<std::thread::id, kQueued> callers;
    std::array<std::thread::id, kQueued> ranOn;
    std::array<std::atomic<bool>, kQueued> failed{};
    std::atomic<int> committedBeforeLast = -1;
    std::vector<std::thread> writers;
    for (int i = 0; i < kQueued; ++i) {
        writers.emplace_back([&, i] {
            callers[i] = std::this_thread::get_id();
            try {
                queue.run([&, i] {
                    ranOn[i] = std::this_thread::get_id();
                    insert(QStringLiteral("g%1").arg(i));
                    if (i == kQueued - 1)   // what another connection sees: only committed rows
                        std::thread([&] { committedBeforeLast = rows("g"); }).join();
                    if (i == kFailing)
                        throw std::runtime_error("refused");
                });
            } catch (const std::runtime_error&) {
                failed[i] = true;
            }
        });
    }
    while (queue.queuedWrites() < kQueued)
        std::this_thread::yield();
    release.count_down();
    first.join();
    for (auto& writer : writers)
        writer.join();
    for (int i = 0; i < kQueued; ++i) {
        EXPECT_EQ(failed[i].load(), i == kFailing) << i;
        EXPECT_NE(ranOn[i], callers[i]) << "the writer committed it, not its caller";
    }
    EXPECT_EQ(committedBeforeLast.load(), 1) << "the queued writes are committed together, after the last of them";
    EXPECT_EQ(m_db->column("SELECT code FROM feedback WHERE code LIKE 'g%' ORDER BY code"),
              (QStringList{"g-first", "g0", "g1", "g3", "g4"}));
}

// While a write is being committed, the queue takes exactly its bound of posted writes; the
// next poster waits (refused inside a NonBlockingScope, asleep elsewhere) until the writer
// has made room, and every write is committed in the end.
TEST_F(DatabaseTest, TheQueueTakesExactlyItsBoundOfWritesBeforeAPosterWaits)
{
    std::atomic<bool> lastPosted = false;
    {
        WriteQueue queue(*m_db);
        std::latch committing(1);
        std::latch release(1);
        std::thread holder([&] {
            queue.run([&] {
                committing.count_down();
                release.wait();
            });
        });
        committing.wait();
        const auto post = [&](const QString& code) { queue.post([this, code] { insert(code); }); };
        {
            NonBlockingScope scope;
            for (size_t i = 0; i < WriteQueue::kMaxQueued; ++i)
                ASSERT_NO_THROW(post(QStringLiteral("b%1").arg(i))) << "write " << i;
            EXPECT_THROW(post("refused"), WouldBlock);
        }
        EXPECT_EQ(queue.queuedWrites(), WriteQueue::kMaxQueued);
        std::thread poster([&] {
            post("last");
            lastPosted = true;
        });
        release.count_down();
        holder.join();
        poster.join();
    }
    EXPECT_TRUE(lastPosted);
    EXPECT_EQ(rows("b"), int(WriteQueue::kMaxQueued));
    EXPECT_EQ(rows("last"), 1);
    EXPECT_EQ(rows("refused"), 0);
}
