#include "support/DataPlace.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "isam/RecordManager.h"
#include "isam/ServerDatabase.h"

namespace zelvo::test {

std::string TestServer() {
    const char* uri = std::getenv("ZELVO_TEST_SERVER");
    return uri == nullptr ? std::string() : std::string(uri);
}

DataPlace::DataPlace() : m_owner(::getpid()) {
    const std::string server = TestServer();
    if (server.empty()) {
        m_prefix = m_folder.prefix();
        return;
    }
    const std::string name = isam::FreshServerDatabaseName();
    std::string message;
    if (!isam::CreateServerDatabase(server, name, message)) {
        throw std::runtime_error("cannot create the test database " + name + " on " + server +
                                 ": " + message);
    }
    m_database = name;
    m_prefix = isam::ServerUriWithDatabase(server, name) + "/";
}

DataPlace::~DataPlace() {
    if (m_database.empty() || ::getpid() != m_owner) {
        return;
    }
    std::string message;
    if (!isam::DropServerDatabase(TestServer(), m_database, message)) {
        std::cerr << "cannot drop the test database " << m_database << ": " << message << "\n";
    }
}

std::vector<std::string> DataPlace::containers() const {
    isam::RecordManager rm;
    std::vector<std::string> found;
    rm.listContainers(m_prefix, found);
    for (std::string& c : found) {
        if (c.starts_with(m_prefix)) {
            c.erase(0, m_prefix.size());
        }
        if (c.ends_with(".isd")) {
            c.resize(c.size() - 4);
        }
    }
    return found;
}

bool DataPlace::holds(const std::string& container) const {
    return HoldsContainer(m_prefix, container);
}

bool HoldsContainer(const std::string& dataDirectory, const std::string& name) {
    isam::RecordManager rm;
    std::vector<std::string> found;
    rm.listContainers(dataDirectory, found);
    return std::find(found.begin(), found.end(), dataDirectory + name + ".isd") != found.end();
}

}  // namespace zelvo::test
