#include "support/FaultVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <cstring>

namespace zelvo::test {

namespace {

std::atomic<std::int64_t> g_budget{-1};  // -1: no limit
std::atomic<int> g_error{SQLITE_FULL};
std::atomic<std::int64_t> g_refused{0};
std::atomic<std::int64_t> g_written{0};
sqlite3_vfs g_vfs;
sqlite3_vfs* g_base = nullptr;

struct File {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_file* real(sqlite3_file* f) {
    return reinterpret_cast<File*>(f)->real;
}

int xClose(sqlite3_file* f) {
    int rc = real(f)->pMethods != nullptr ? real(f)->pMethods->xClose(real(f)) : SQLITE_OK;
    sqlite3_free(real(f));
    return rc;
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 off) {
    return real(f)->pMethods->xRead(real(f), p, n, off);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 off) {
    std::int64_t budget = g_budget.load();
    if (budget >= 0) {
        if (budget < n) {
            ++g_refused;
            return g_error.load();
        }
        g_budget -= n;
    }
    int rc = real(f)->pMethods->xWrite(real(f), p, n, off);
    if (rc == SQLITE_OK) {
        g_written += n;
    }
    return rc;
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    return real(f)->pMethods->xTruncate(real(f), size);
}
int xSync(sqlite3_file* f, int flags) {
    return real(f)->pMethods->xSync(real(f), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    return real(f)->pMethods->xFileSize(real(f), size);
}
int xLock(sqlite3_file* f, int l) {
    return real(f)->pMethods->xLock(real(f), l);
}
int xUnlock(sqlite3_file* f, int l) {
    return real(f)->pMethods->xUnlock(real(f), l);
}
int xCheckReservedLock(sqlite3_file* f, int* out) {
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg) {
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int xSectorSize(sqlite3_file* f) {
    return real(f)->pMethods->xSectorSize(real(f));
}
int xDeviceCharacteristics(sqlite3_file* f) {
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}
int xShmMap(sqlite3_file* f, int pg, int sz, int extend, void volatile** pp) {
    return real(f)->pMethods->xShmMap(real(f), pg, sz, extend, pp);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) {
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) {
    real(f)->pMethods->xShmBarrier(real(f));
}
int xShmUnmap(sqlite3_file* f, int del) {
    return real(f)->pMethods->xShmUnmap(real(f), del);
}

const sqlite3_io_methods g_methods = {2,
                                      xClose,
                                      xRead,
                                      xWrite,
                                      xTruncate,
                                      xSync,
                                      xFileSize,
                                      xLock,
                                      xUnlock,
                                      xCheckReservedLock,
                                      xFileControl,
                                      xSectorSize,
                                      xDeviceCharacteristics,
                                      xShmMap,
                                      xShmLock,
                                      xShmBarrier,
                                      xShmUnmap,
                                      nullptr,
                                      nullptr};

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    auto* file = reinterpret_cast<File*>(f);
    file->real = static_cast<sqlite3_file*>(sqlite3_malloc(g_base->szOsFile));
    if (file->real == nullptr) {
        return SQLITE_NOMEM;
    }
    std::memset(file->real, 0, static_cast<size_t>(g_base->szOsFile));
    int rc = g_base->xOpen(g_base, name, file->real, flags, outFlags);
    if (rc != SQLITE_OK) {
        sqlite3_free(file->real);
        file->real = nullptr;
        file->base.pMethods = nullptr;
        return rc;
    }
    file->base.pMethods = &g_methods;
    return SQLITE_OK;
}

int xDelete(sqlite3_vfs*, const char* n, int sync) {
    return g_base->xDelete(g_base, n, sync);
}
int xAccess(sqlite3_vfs*, const char* n, int flags, int* out) {
    return g_base->xAccess(g_base, n, flags, out);
}
int xFullPathname(sqlite3_vfs*, const char* n, int size, char* out) {
    return g_base->xFullPathname(g_base, n, size, out);
}
int xRandomness(sqlite3_vfs*, int n, char* out) {
    return g_base->xRandomness(g_base, n, out);
}
int xSleep(sqlite3_vfs*, int us) {
    return g_base->xSleep(g_base, us);
}
int xCurrentTime(sqlite3_vfs*, double* t) {
    return g_base->xCurrentTime(g_base, t);
}
int xGetLastError(sqlite3_vfs*, int n, char* out) {
    return g_base->xGetLastError(g_base, n, out);
}
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) {
    return g_base->xCurrentTimeInt64(g_base, t);
}

}  // namespace

const char* FaultVfs::name() {
    return "faultvfs";
}

void FaultVfs::install(bool asDefault) {
    if (g_base != nullptr) {
        sqlite3_vfs_register(&g_vfs, asDefault ? 1 : 0);
        return;
    }
    g_base = sqlite3_vfs_find(nullptr);
    std::memset(&g_vfs, 0, sizeof g_vfs);
    g_vfs.iVersion = 2;
    g_vfs.szOsFile = static_cast<int>(sizeof(File));
    g_vfs.mxPathname = g_base->mxPathname;
    g_vfs.zName = name();
    g_vfs.xOpen = xOpen;
    g_vfs.xDelete = xDelete;
    g_vfs.xAccess = xAccess;
    g_vfs.xFullPathname = xFullPathname;
    g_vfs.xRandomness = xRandomness;
    g_vfs.xSleep = xSleep;
    g_vfs.xCurrentTime = xCurrentTime;
    g_vfs.xGetLastError = xGetLastError;
    g_vfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&g_vfs, asDefault ? 1 : 0);
}

void FaultVfs::failAfter(std::int64_t bytes, int sqliteError) {
    g_error = sqliteError;
    g_budget = bytes;
}

void FaultVfs::heal() {
    g_budget = -1;
}

std::int64_t FaultVfs::refusedWrites() {
    return g_refused.load();
}

std::int64_t FaultVfs::written() {
    return g_written.load();
}

}  // namespace zelvo::test
