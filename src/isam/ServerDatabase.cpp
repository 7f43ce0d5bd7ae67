#include "isam/ServerDatabase.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <memory>

#include "isam/ServerLocation.h"

namespace zelvo::isam {

namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

Connection Connect(const std::string& uri, std::string& message) {
    Connection c(PQconnectdb(uri.c_str()), &PQfinish);
    if (c == nullptr || PQstatus(c.get()) != CONNECTION_OK) {
        message = c == nullptr ? "out of memory" : PQerrorMessage(c.get());
        return Connection(nullptr, &PQfinish);
    }
    return c;
}

std::string Quoted(PGconn* c, const std::string& name) {
    std::unique_ptr<char, decltype(&PQfreemem)> q(PQescapeIdentifier(c, name.data(), name.size()),
                                                  &PQfreemem);
    return q == nullptr ? std::string() : std::string(q.get());
}

// Runs one statement; `sqlState` receives the error's SQLSTATE.
bool Run(PGconn* c, const std::string& sql, std::string& message, std::string* sqlState) {
    std::unique_ptr<PGresult, decltype(&PQclear)> r(PQexec(c, sql.c_str()), &PQclear);
    if (r != nullptr && PQresultStatus(r.get()) == PGRES_COMMAND_OK) {
        return true;
    }
    message = PQerrorMessage(c);
    if (sqlState != nullptr && r != nullptr) {
        const char* state = PQresultErrorField(r.get(), PG_DIAG_SQLSTATE);
        *sqlState = state == nullptr ? "" : state;
    }
    return false;
}

constexpr const char* kDuplicateDatabase = "42P04";

}  // namespace

std::string ServerUriWithDatabase(const std::string& serverUri, const std::string& database) {
    const size_t scheme = serverUri.find("://");
    const size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t authorityEnd = serverUri.find_first_of("/?", from);
    if (authorityEnd == std::string::npos) {
        return serverUri + "/" + database;
    }
    if (serverUri[authorityEnd] == '?') {
        return serverUri.substr(0, authorityEnd) + "/" + database + serverUri.substr(authorityEnd);
    }
    const size_t queryStart = serverUri.find('?', authorityEnd);
    const std::string query =
        queryStart == std::string::npos ? std::string() : serverUri.substr(queryStart);
    return serverUri.substr(0, authorityEnd + 1) + database + query;
}

std::string FreshServerDatabaseName() {
    static std::atomic<int> counter{0};
    return "zt_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}

bool CreateServerDatabase(const std::string& serverUri, const std::string& name,
                          std::string& message, const std::string& copyOf) {
    Connection c = Connect(serverUri, message);
    if (c == nullptr) {
        return false;
    }
    const std::string create = "CREATE DATABASE " + Quoted(c.get(), name) +
                               (copyOf.empty() ? "" : " TEMPLATE " + Quoted(c.get(), copyOf));
    std::string state;
    if (Run(c.get(), create, message, &state)) {
        return true;
    }
    if (state != kDuplicateDatabase) {
        return false;
    }
    return Run(c.get(), "DROP DATABASE " + Quoted(c.get(), name) + " WITH (FORCE)", message,
               nullptr) &&
           Run(c.get(), create, message, nullptr);
}

bool DropServerDatabase(const std::string& serverUri, const std::string& name,
                        std::string& message) {
    Connection c = Connect(serverUri, message);
    if (c == nullptr) {
        return false;
    }
    return Run(c.get(), "DROP DATABASE IF EXISTS " + Quoted(c.get(), name) + " WITH (FORCE)",
               message, nullptr);
}

}  // namespace zelvo::isam
