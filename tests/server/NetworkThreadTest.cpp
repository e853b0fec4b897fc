#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"
#include "server/storage/KeepStore.h"
#include "tests/support/HeldConnection.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

using namespace server;

// A book write made by a handler on a network thread: its reply waits for the commit,
// and nothing else waits for the store meanwhile. The store is held from a connection of
// the test's own: SQLite's write lock, or on PostgreSQL a lock that keeps the book's items
// from being read too.
class NetworkThread : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        if (IsSkipped())
            return;
#ifdef QBANK_TEST_POSTGRES
        const QUrl address(server.databaseFile());
        QSqlDatabase side = QSqlDatabase::addDatabase("QPSQL", "side");
        side.setHostName(address.host());
        side.setPort(address.port());
        side.setUserName(address.userName());
        side.setDatabaseName(address.path().mid(1));
#else
        QSqlDatabase side = QSqlDatabase::addDatabase("QSQLITE", "side");
        side.setDatabaseName(server.databaseFile());
        side.setConnectOptions("QSQLITE_BUSY_TIMEOUT=5000");
#endif
        ASSERT_TRUE(side.open());
    }
    void TearDown() override { QSqlDatabase::removeDatabase("side"); }

    static QString question(int n) { return QStringLiteral("CBQ%1").arg(n, 3, 10, QChar('0')); }
    Fields keepFields(int n, const char* type) { return {{"subjectCode", "CB"}, {"user_code", user}, {"type", type}, {"code", question(n)}}; }
    // The first add of a question goes to a worker (the user and the question's place are
    // read from the store); later ones are answered on a network thread. So is a sign-in
    // once one has passed.
    void warm(int questions)
    {
        for (int n = 1; n <= questions; ++n)
            ASSERT_EQ(post("exam/error_keep_add", keepFields(n, "0")).body, "1");
        ASSERT_EQ(post("user/login", {{"account", "tester01"}, {"pwd", "secret99"}}).object().value("code"), user);
    }
    static std::string request(const QString& path, const Fields& fields)
    {
        QStringList pairs;
        for (const auto& [key, value] : fields)
            pairs << key + '=' + value;
        const std::string body = pairs.join('&').toStdString();
        return "POST /PendarWeb/" + path.toStdString() + " HTTP/1.1\r\nHost: test\r\nConnection: close\r\n"
               "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    }
    std::vector<HeldConnection> sendEach(const QString& path, const QList<Fields>& bodies)
    {
        std::vector<HeldConnection> sent;
        for (const Fields& body : bodies) {
            sent.emplace_back(server.port());
            EXPECT_TRUE(sent.back().write(request(path, body)));
        }
        return sent;
    }
    QList<Fields> favourites(int questions)
    {
        QList<Fields> bodies;
        for (int n = 1; n <= questions; ++n)
            bodies << keepFields(n, "1");
        return bodies;
    }
    // A remembered sign-in is answered from memory. Sent after the adds, twice: the second
    // is read after every add has been.
    void expectSignInsAnswered()
    {
        for (int round = 0; round < 2; ++round) {
            HeldConnection login(server.port());
            login.write(request("user/login", {{"account", "tester01"}, {"pwd", "secret99"}}));
            EXPECT_EQ(login.statusLine(5000), "HTTP/1.1 200 OK") << "a sign-in waited for the store";
        }
    }
    // The server's network threads are told by their name. A listing of /proc/self/task
    // goes on by position, so a thread that leaves while it is listed makes the listing
    // skip the thread after it: while network threads end one by one, a listing may miss
    // one still running. Liveness is therefore asked of each thread by its id.
    static bool isNetworkThread(const QString& task)
    {
        QFile comm("/proc/self/task/" + task + "/comm");
        return comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "qbank-network";
    }
    static QSet<QString> listNetworkThreads()
    {
        QSet<QString> found;
        for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (isNetworkThread(task))
                found.insert(task);
        }
        return found;
    }
    void side(const QString& sql) { ASSERT_TRUE(QSqlQuery(QSqlDatabase::database("side")).exec(sql)) << qPrintable(sql); }
#ifdef QBANK_TEST_POSTGRES
    void lockStore()
    {
        side("BEGIN");
        side("LOCK TABLE keep_item IN ACCESS EXCLUSIVE MODE");
    }
    void refuse(bool refused)
    {
        if (!refused)
            return side("DROP TRIGGER refuse ON keep_item");
        side("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'refused'; END $$");
        side("CREATE TRIGGER refuse BEFORE INSERT ON keep_item FOR EACH ROW WHEN (NEW.question_code = 'CBQ001') EXECUTE FUNCTION refuse()");
    }
#else
    void lockStore() { side("BEGIN IMMEDIATE"); }
    void refuse(bool refused)
    {
        side(refused ? "CREATE TRIGGER refuse BEFORE INSERT ON keep_item WHEN NEW.question_code = 'CBQ001' BEGIN SELECT RAISE(ABORT, 'refused'); END"
                     : "DROP TRIGGER refuse");
    }
#endif
    // The user's questions in one book whose codes match a LIKE pattern.
    static constexpr const char* kStored = "SELECT COUNT(*) FROM keep_item i JOIN keep_entry e ON e.code = i.entry_code "
                                           "WHERE e.user_code = ? AND e.kind = ? AND i.question_code LIKE ?";
    int stored(KeepStore::Kind kind)
    {
        QSqlQuery q(QSqlDatabase::database("side"));
        q.prepare(kStored);
        for (const QVariant& value : {QVariant(user), QVariant(int(kind)), QVariant("%")})
            q.addBindValue(value);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    }
};

// Eight clients at once: every "1", first from a worker and then from a network thread,
// is readable in the store the moment it arrives.
TEST_F(NetworkThread, EachBookReplyComesOnlyOnceItsWriteIsStored)
{
    std::atomic<int> unseen = 0;
    std::vector<std::thread> clients;
    for (int c = 0; c < 8; ++c) {
        clients.emplace_back([&, c] {
            ApiClient client(server);
            for (const char* type : {"0", "1"}) {
                for (int n = c * 6 + 1; n <= c * 6 + 6; ++n) {
                    EXPECT_EQ(client.post("exam/error_keep_add", keepFields(n, type)).body, "1");
                    unseen += server.database().scalar(kStored, {user, QString(type).toInt(), question(n)}) != 1;
                }
            }
        });
    }
    for (auto& t : clients)
        t.join();
    EXPECT_EQ(unseen.load(), 0);
}

// The store refuses one question: that add alone is answered as a failure, and the
// connection it came on serves the next request.
TEST_F(NetworkThread, ABookWriteTheStoreRefusesIsAnsweredAsAFailureAndTheConnectionGoesOn)
{
    warm(2);
    refuse(true);
    const ApiClient::Result refused = post("exam/error_keep_add", keepFields(1, "1"));
    EXPECT_EQ(refused.status, 500);
    EXPECT_EQ(post("exam/error_keep_add", keepFields(2, "1")).body, "1");
    EXPECT_EQ(stored(KeepStore::Favourites), 1);
    refuse(false);
    EXPECT_EQ(post("exam/error_keep_add", keepFields(1, "1")).body, "1");
    EXPECT_EQ(stored(KeepStore::Favourites), 2);
}

// While another connection holds the store, the adds wait for it (and on PostgreSQL the
// reads of the book too), and nothing else does; once it lets go every add is stored and
// answered.
TEST_F(NetworkThread, WhileTheStoreIsLockedSignInsAreAnsweredAndBookRepliesWaitForTheCommit)
{
    warm(8);
    const QJsonValue entry = post("exam/directory_list", {{"subjectCode", "CB"}, {"type", "1"}, {"user_code", user}}).array().at(0);
    const Fields read{{"subjectCode", "CB"}, {"user_code", user}, {"directoryCode", entry["directory"]["code"].toString()},
                      {"keep_code", entry["code"].toString()}, {"error_type", "1"}, {"exam_num", "5"}, {"type", "0"}};
    lockStore();
    std::vector<HeldConnection> adds = sendEach("exam/error_keep_add", favourites(8));
    std::vector<HeldConnection> reads = sendEach("exam/error_chapter_exam_list", QList<Fields>(8, read));
    expectSignInsAnswered();
    for (HeldConnection& add : adds) {
        add.waitClosed(0);   // takes what has arrived, without waiting
        EXPECT_EQ(add.received(), "") << "answered before its write could commit";
    }
    EXPECT_EQ(stored(KeepStore::Favourites), 0);
    side("ROLLBACK");
    for (HeldConnection& add : adds) {
        EXPECT_TRUE(add.waitClosed(10000));
        EXPECT_TRUE(add.received().starts_with("HTTP/1.1 200 OK") && add.received().ends_with("\r\n\r\n1")) << add.received();
    }
    EXPECT_EQ(stored(KeepStore::Favourites), 8);
    for (HeldConnection& reply : reads)
        EXPECT_EQ(reply.statusLine(10000), "HTTP/1.1 200 OK");
}

// The network loop goes away only after the replies that wait for a commit have let go
// of their sessions; the writes are kept, and no reply says otherwise.
TEST_F(NetworkThread, StoppingWhileRepliesAwaitTheirCommitLosesNoWrite)
{
    warm(4);
    lockStore();
    std::vector<HeldConnection> adds = sendEach("exam/error_keep_add", favourites(4));
    expectSignInsAnswered();
    // Listed before the stop, while none of the server's threads ends; any that the
    // stop would start are added as later listings find them.
    QSet<QString> network = listNetworkThreads();
    ASSERT_FALSE(network.isEmpty());
    std::thread stopper([&] { server.stop(); });
    // The store is let go only once the server's network threads have ended, so that the
    // commits find their loop stopped, as a slow commit at shutdown does.
    const auto networkThreads = [&] {
        network.unite(listNetworkThreads());
        return std::ranges::count_if(network, isNetworkThread);
    };
    for (QDeadlineTimer deadline(5000); networkThreads() > 0 && !deadline.hasExpired();)
        std::this_thread::yield();
    EXPECT_EQ(networkThreads(), 0) << "a network thread waits for the store, or the stop started one";
    side("ROLLBACK");
    stopper.join();
    for (HeldConnection& add : adds) {
        EXPECT_TRUE(add.waitClosed(5000));
        EXPECT_TRUE(add.received().empty() || add.received().ends_with("\r\n\r\n1")) << add.received();
    }
    EXPECT_EQ(stored(KeepStore::Favourites), 4);
}
