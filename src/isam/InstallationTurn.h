#pragma once

#include <string>

struct pg_conn;

namespace zelvo::isam {

// The turn to install into an empty data directory. Copies of the program started together
// on a new installation's folder, or stations on a new office's database, would otherwise
// all find it empty and install over each other, or open what another is still making.
// Every start takes it, installed or not: only the end of the installer's turn says the
// installation is whole. Held while the object lives, and waited for. On a server it is a
// session advisory lock on a connection of its own; in a folder, a lock on the folder
// itself. Both die with their holder.
class InstallationTurn {
  public:
    explicit InstallationTurn(const std::string& dataDirectory);
    ~InstallationTurn();
    InstallationTurn(const InstallationTurn&) = delete;
    InstallationTurn& operator=(const InstallationTurn&) = delete;

  private:
    ::pg_conn* m_connection = nullptr;
    int m_folder = -1;
};

}  // namespace zelvo::isam
