#include "isam/InstallationTurn.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "isam/ServerLocation.h"

namespace zelvo::isam {

// Whoever cannot get the turn (a server that does not answer, a folder that cannot be
// opened) goes on: the start-up then meets the same fault and reports it.
InstallationTurn::InstallationTurn(const std::string& dataDirectory) {
    if (IsServerLocation(dataDirectory)) {
        m_connection = PQconnectdb(ServerUri(dataDirectory).c_str());
        if (PQstatus(m_connection) == CONNECTION_OK) {
            PQclear(PQexec(m_connection, "SELECT pg_advisory_lock(5919135373624111104)"));
        }
        return;
    }
    m_folder = ::open(dataDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder >= 0) {
        while (::flock(m_folder, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

InstallationTurn::~InstallationTurn() {
    if (m_connection != nullptr) {
        PQfinish(m_connection);
    }
    if (m_folder >= 0) {
        ::close(m_folder);
    }
}

}  // namespace zelvo::isam
