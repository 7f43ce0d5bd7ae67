#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zelvo::isam {

// Where a folder lives, as far as SQLite's journal is concerned. WAL keeps its index in
// shared memory that only processes of one host can share, so containers in a folder that
// other hosts reach over the network use the rollback journal and plain file locks instead.
enum class FileSystemKind { Local, Network };

// Tells the record manager the kind of a container's folder; tests put a folder "on the
// network" by giving their own.
using FileSystemProbe = std::function<FileSystemKind(const std::string& folder)>;

// Network filesystems by statfs() magic number: NFS, SMB/CIFS (both dialects), 9p, AFS,
// Coda, Ceph, Lustre, NCP, and the shared-disk cluster filesystems GFS2 and OCFS2. FUSE is
// left out on purpose: most FUSE filesystems are local, and for sshfs and the like the
// mount's own locking decides.
bool IsNetworkFileSystem(std::uint32_t magic);

// statfs() of the folder; a folder that cannot be examined counts as local (opening a
// container there fails anyway).
FileSystemKind ProbeFileSystemKind(const std::string& folder);

}  // namespace zelvo::isam
