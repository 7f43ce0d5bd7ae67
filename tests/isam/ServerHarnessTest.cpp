// The server run's own plumbing: each test's data directory is a database of its own on the
// test server, there while the test runs and gone after it.

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "isam/ServerDatabase.h"
#include "isam/ServerLocation.h"
#include "support/DataPlace.h"

namespace zelvo::isam {
namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

Connection Connect(const std::string& uri) {
    return Connection(PQconnectdb(uri.c_str()), &PQfinish);
}

// The one value a query answers, empty when it fails.
std::string Ask(PGconn* c, const char* sql) {
    std::unique_ptr<PGresult, decltype(&PQclear)> r(PQexec(c, sql), &PQclear);
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1) {
        return {};
    }
    return PQgetvalue(r.get(), 0, 0);
}

struct UriCase {
    const char* server;
    const char* expected;
};

void PrintTo(const UriCase& c, std::ostream* os) {
    *os << c.server;
}

class ServerUriTest : public ::testing::TestWithParam<UriCase> {};

TEST_P(ServerUriTest, TheDatabaseIsReplacedAndTheRestKept) {
    EXPECT_EQ(ServerUriWithDatabase(GetParam().server, "zt_1_2"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Uris, ServerUriTest,
    ::testing::Values(UriCase{"postgresql://zelvo@/postgres?host=/tmp/pg",
                              "postgresql://zelvo@/zt_1_2?host=/tmp/pg"},
                      UriCase{"postgresql:///postgres", "postgresql:///zt_1_2"},
                      UriCase{"postgresql://u@db.lan:5433/libri?sslmode=require",
                              "postgresql://u@db.lan:5433/zt_1_2?sslmode=require"},
                      UriCase{"postgres://db.lan", "postgres://db.lan/zt_1_2"},
                      UriCase{"postgresql://?host=/run/pg", "postgresql:///zt_1_2?host=/run/pg"}));

class ServerHarnessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (test::TestServer().empty()) {
            GTEST_SKIP() << "server run only: ZELVO_TEST_SERVER names no server";
        }
    }
};

TEST_F(ServerHarnessTest, ADataPlaceIsAFreshDatabaseThatGoesWithIt) {
    std::string uri;
    Connection c(nullptr, &PQfinish);
    {
        test::DataPlace place;
        test::DataPlace other;
        ASSERT_TRUE(place.onServer());
        ASSERT_TRUE(IsServerLocation(place.prefix()));
        EXPECT_NE(place.prefix(), other.prefix());
        EXPECT_TRUE(std::filesystem::is_directory(place.folder()));
        EXPECT_NE(place.folder(), other.folder());
        uri = ServerUri(place.prefix());
        c = Connect(uri);
        ASSERT_EQ(PQstatus(c.get()), CONNECTION_OK) << PQerrorMessage(c.get());
        EXPECT_EQ("postgresql://zelvo@/" + Ask(c.get(), "SELECT current_database()") +
                      "?host=" + Ask(c.get(), "SHOW unix_socket_directories"),
                  uri);
        // Nothing of ours in it yet; and the test's session is no reason to keep it.
        EXPECT_EQ(Ask(c.get(),
                      "SELECT count(*) FROM pg_namespace WHERE nspname NOT IN ('public', "
                      "'information_schema') AND nspname NOT LIKE 'pg\\_%'"),
                  "0");
    }
    EXPECT_EQ(Ask(c.get(), "SELECT 1"), "");
    EXPECT_NE(PQstatus(Connect(uri).get()), CONNECTION_OK);
}

// A database left by a process that died under the same pid is replaced, not refused.
TEST_F(ServerHarnessTest, AStaleDatabaseOfTheSameNameIsReplaced) {
    const std::string server = test::TestServer();
    const std::string name = FreshServerDatabaseName();
    std::string message;
    ASSERT_TRUE(CreateServerDatabase(server, name, message)) << message;
    Connection stale = Connect(ServerUriWithDatabase(server, name));
    ASSERT_EQ(PQstatus(stale.get()), CONNECTION_OK);
    PQclear(PQexec(stale.get(), "CREATE TABLE left_over (n int)"));
    EXPECT_TRUE(CreateServerDatabase(server, name, message)) << message;
    Connection fresh = Connect(ServerUriWithDatabase(server, name));
    EXPECT_EQ(Ask(fresh.get(), "SELECT count(*) FROM pg_tables WHERE tablename = 'left_over'"),
              "0");
    EXPECT_TRUE(DropServerDatabase(server, name, message)) << message;
    EXPECT_TRUE(DropServerDatabase(server, name, message)) << message;
}

}  // namespace
}  // namespace zelvo::isam
