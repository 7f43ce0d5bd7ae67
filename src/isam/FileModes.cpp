#include "isam/FileModes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelvo::isam {

void ShareWithGroupOnly(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) != kDataFileMode) {
        ::chmod(path.c_str(), kDataFileMode);
    }
}

int OpenLockFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kDataFileMode);
    if (fd < 0) {
        return fd;
    }
    // The umask has taken the group's write bit from a file just created; give it back, or
    // the next station of the group cannot take its locks there.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
        (st.st_mode & 07777) != kDataFileMode) {
        ::fchmod(fd, kDataFileMode);
    }
    return fd;
}

bool WritableByAnyone(const std::string& directory) {
    struct stat st {};
    return ::stat(directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & S_IWOTH) != 0;
}

}  // namespace zelvo::isam
