#include "isam/FileSystemKind.h"

#include <sys/vfs.h>

#include <array>

namespace zelvo::isam {

namespace {

// The f_type values of statfs(2) for filesystems that other hosts share.
constexpr std::array<std::uint32_t, 13> kNetworkMagics = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFE534D42,  // SMB2
    0xFF534D42,  // CIFS
    0x01021997,  // 9p (v9fs)
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x73757245,  // Coda
    0x00C36400,  // Ceph
    0x0BD00BD0,  // Lustre
    0x564C,      // NCP
    0x01161970,  // GFS2
    0x7461636F,  // OCFS2
};

}  // namespace

bool IsNetworkFileSystem(std::uint32_t magic) {
    for (std::uint32_t m : kNetworkMagics) {
        if (m == magic) {
            return true;
        }
    }
    return false;
}

FileSystemKind ProbeFileSystemKind(const std::string& folder) {
    struct statfs st {};
    if (::statfs(folder.c_str(), &st) != 0) {
        return FileSystemKind::Local;
    }
    // f_type is a signed word: the SMB2 and CIFS magics are negative where it has 32 bits.
    return IsNetworkFileSystem(static_cast<std::uint32_t>(st.f_type)) ? FileSystemKind::Network
                                                                      : FileSystemKind::Local;
}

}  // namespace zelvo::isam
