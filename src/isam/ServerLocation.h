#pragma once

#include <string>
#include <string_view>

namespace zelvo::isam {

// A data directory is either a folder or a PostgreSQL server: the location file names a
// libpq connection URI ("postgresql://user@host/database", "postgresql:///db?host=/run/pg",
// "postgresql:///db?service=office") instead of a folder. Like a folder, the server location
// ends with a separator, and archive names are appended to it ("postgresql:///db/2026ABmc");
// a container ("postgresql:///db/2026AB.isd") is a schema of that database ("2026AB").
// Passwords never need to be in the URI: libpq reads ~/.pgpass and pg_service.conf.

// Whether a data directory, archive file name or container names a server.
bool IsServerLocation(std::string_view place);

// A server container split into the connection URI and the schema that holds its archives.
struct ServerContainer {
    std::string uri;
    std::string schema;
};
// False when `container` is not a server container.
bool SplitServerContainer(const std::string& container, ServerContainer& out);

// Whether the URI writes a password in clear (user:password@host, or password=... among its
// parameters): the location file must leave it to ~/.pgpass or a service file.
bool UriHoldsPassword(std::string_view uri);

// The URI of a server data directory, without its trailing separator.
std::string ServerUri(const std::string& dataDirectory);

}  // namespace zelvo::isam
