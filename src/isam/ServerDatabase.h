#pragma once

#include <string>

namespace zelvo::isam {

// Whole databases of a server, made and dropped at once: a throwaway installation (each
// test, each operator script run on a server) lives in a database of its own.

// The URI `serverUri` with its database replaced by `database`; the rest (user, host, the
// query with the socket folder) stays as written.
std::string ServerUriWithDatabase(const std::string& serverUri, const std::string& database);

// A name no other live process of this machine uses: "zt_<pid>_<n>".
std::string FreshServerDatabaseName();

// Creates the empty database `name` through the server `serverUri` connects to. A database
// of that name left by a process that died (the pid is taken again) is dropped first.
// With `copyOf`, the new database is a copy of that one, which nobody may be connected to.
// False, with the server's message, when it cannot be made.
bool CreateServerDatabase(const std::string& serverUri, const std::string& name,
                          std::string& message, const std::string& copyOf = {});

// Drops the database `name`, ending the sessions still connected to it; a missing one is
// not an error.
bool DropServerDatabase(const std::string& serverUri, const std::string& name,
                        std::string& message);

}  // namespace zelvo::isam
