#include "yearend/NewYear.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "archive/InstallationNotes.h"
#include "isam/ContainerCopy.h"
#include "isam/ServerLocation.h"
#include "masterdata/ChartFields.h"
#include "masterdata/CompanyArchives.h"
#include "masterdata/Counters.h"
#include "posting/EuroConversion.h"

namespace zelvo {

namespace {

// Report positions of the new-year opening.
constexpr int kChartOpen = 1121;
constexpr int kChartRead = 1122;
constexpr int kChartWrite = 1123;
constexpr int kChartClose = 1124;
constexpr int kFavouritesOpen = 1125;
constexpr int kFavouritesRead = 1126;
constexpr int kFavouritesWrite = 1127;
constexpr int kFavouritesClose = 1128;
constexpr int kCountersRead = 1129;

// Fields of the chart record carried over with a change, and its three monthly arrays.
constexpr int kField36 = 36;
constexpr int kField38 = 38;
constexpr int kField44 = 44;
constexpr int kField45 = 45;
constexpr int kFirstArray = 60;
constexpr int kLastArray = 62;
constexpr int kArrayElements = 31;
constexpr int kFavouriteNumber = 3;

// The counters whose numbering goes on in the new year.
constexpr const char* kCarriedCounters[] = {counter::kItemNumbers, "destinaz", "magaz"};

std::vector<InitialCounter> newYearCounters(Archives& current) {
    std::vector<InitialCounter> counters = InitialCounters();
    for (InitialCounter& c : counters) {
        c.value = 0;
        for (const char* carried : kCarriedCounters) {
            if (std::string(c.name) == carried &&
                current.getByKeyReported(arc::kPr, c.name, kCountersRead) == 0) {
                c.value =
                    static_cast<std::int32_t>(current.readBuffer(arc::kPr).number(counter::kValue));
            }
        }
    }
    return counters;
}

// One chart record as the new year starts it.
isam::Record carriedItem(const isam::Record& old, bool euro, double rate) {
    auto amount = [&](int field) {
        return euro ? ToEuro(old.number(field), rate) : old.number(field);
    };
    isam::Record r = old;
    const double balance = old.text(chart::kNature) == "e" ? 0 : amount(chart::kClosingBalance);
    r.setNumber(chart::kOpeningBalance, balance);
    r.setNumber(chart::kClosingBalance, balance);
    r.setNumber(chart::kProgressiveDebit, 0);
    r.setNumber(chart::kProgressiveCredit, 0);
    r.setNumber(kField38, amount(kField38));
    r.setNumber(kField45, amount(kField44));
    r.setNumber(kField44, 0);
    r.setNumber(kField36, 0);
    for (int field = kFirstArray; field <= kLastArray; ++field) {
        r.setText(field, kArrayElements, "");
    }
    return r;
}

bool copyChart(Archives& current, Archives& next, bool euro, double rate) {
    const WritePlaces at{kChartOpen, kChartWrite, kChartClose};
    return WriteArchive(next, arc::kPc, next.company(), next.year(), at, [&] {
        bool ok = true;
        const std::int16_t s =
            current.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
                next.writeBuffer(arc::kPc) = carriedItem(r, euro, rate);
                ok = next.putReported(arc::kPc, key, isam::mode::kAdd, kChartWrite) == 0;
                return ok;
            });
        if (ok && s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
            current.report(opn::kRead, arc::kPc, kChartRead);
            return false;
        }
        return ok;
    });
}

// Only the number of each most-used account is carried, under the same key.
bool copyFavourites(Archives& current, Archives& next) {
    if (!current.open(arc::kFf, kFavouritesOpen)) {
        return false;
    }
    const WritePlaces at{kFavouritesOpen, kFavouritesWrite, kFavouritesClose};
    const bool ok = WriteArchive(next, arc::kFf, next.company(), next.year(), at, [&] {
        bool written = true;
        const std::int16_t s =
            current.scan(arc::kFf, 0, "", [&](const std::string& key, const isam::Record& r) {
                next.clearWriteBuffer(arc::kFf);
                next.writeBuffer(arc::kFf).setNumber(kFavouriteNumber, r.number(kFavouriteNumber));
                written = next.putReported(arc::kFf, key, isam::mode::kAdd, kFavouritesWrite) == 0;
                return written;
            });
        if (written && s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
            current.report(opn::kRead, arc::kFf, kFavouritesRead);
            return false;
        }
        return written;
    });
    current.close(arc::kFf, kFavouritesClose);
    return ok;
}

bool buildYear(Session& session, Archives& next, bool euro) {
    Archives& current = session.archives();
    const std::string& company = next.company();
    const std::string& year = next.year();
    bool ok = CreateArchives(next, company, year, ArchiveScope::Year);
    ok = ok && WriteYearRecords(next, company, year);
    ok = ok && WriteCounters(next, company, year, newYearCounters(current));
    ok = ok && copyChart(current, next, euro, session.values().exchangeRate);
    return ok && copyFavourites(current, next);
}

constexpr const char* kStagingPrefix = ".apertura-";

// A folder nobody holds is what a dead opening left. One that another station has just
// made and not yet locked may go too: that station then makes itself another.
void SweepAbandoned(const std::string& dataDirectory) {
    std::error_code error;
    for (const auto& e : std::filesystem::directory_iterator(dataDirectory, error)) {
        if (e.path().filename().string().rfind(kStagingPrefix, 0) != 0) {
            continue;
        }
        const int fd = ::open(e.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(e.path(), ignored);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

// A folder of its own inside the data directory, so that the link into place stays on one
// file system. The folder is locked (flock on the folder itself) while its opening runs, and
// removed when it ends. An opening killed half-way leaves its folder unlocked behind it, and
// the next opening of any year removes it.
class Staging {
  public:
    Staging(const std::string& dataDirectory, const std::string& owner) {
        if (dataDirectory.empty()) {
            return;  // nowhere to stage: the opening fails as on a full disk
        }
        const std::string pattern = dataDirectory + kStagingPrefix + owner + "-XXXXXX";
        // Between its making and its lock the folder may be swept by another station's
        // opening; a sweep happens once in an opening, so a few tries always get one.
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::vector<char> buffer(pattern.begin(), pattern.end());
            buffer.push_back('\0');
            if (mkdtemp(buffer.data()) == nullptr) {
                return;
            }
            m_fd = ::open(buffer.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (m_fd < 0 && errno != ENOENT) {
                ::rmdir(buffer.data());
                return;
            }
            if (m_fd < 0) {
                continue;
            }
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                if (stillNamed(buffer.data())) {
                    m_dir = buffer.data();
                    return;
                }
            } else if (errno != EWOULDBLOCK) {
                // A file system without locks: the folder could never be told from a
                // dead opening's, so nothing is staged there.
                ::rmdir(buffer.data());
                ::close(m_fd);
                m_fd = -1;
                return;
            }
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~Staging() {
        if (!m_dir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(m_dir, ignored);
        }
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    // With its separator; empty when the folder could not be made (errno tells why).
    std::string prefix() const { return m_dir.empty() ? std::string() : m_dir + "/"; }

  private:
    // The folder locked is still the one the name leads to, not one swept away meanwhile.
    bool stillNamed(const char* path) const {
        struct stat held {};
        struct stat named {};
        return ::fstat(m_fd, &held) == 0 && ::stat(path, &named) == 0 &&
               held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    }

    std::string m_dir;
    int m_fd = -1;
};

std::int16_t systemStatus(int error) {
    return error == ENOSPC ? isam::status::kDiskFull : isam::status::kOsError;
}

// On a server the year is built in a local staging folder like anywhere else, then copied
// into its schema in one server transaction, begun on the company register's connection,
// which the copy shares: a failure or a server lost halfway leaves no year at all. Two
// stations opening the same year at once are kept apart by a record lock on the company
// register (a key no company has), which dies with its holder; the one that finds the
// schema taken meanwhile is told the year is open.
YearOpening placeOnServer(Archives& current, const std::string& built, const std::string& target,
                          const std::string& owner) {
    isam::RecordManager from(isam::ContainerTables);
    isam::RecordManager to(isam::ContainerTables);
    const isam::ArchiveLocation reg =
        current.recordManager().locate(current.fileName(arc::kDataz, "", ""));
    std::int16_t guard = 0;
    std::int16_t s = to.VmxOpen(isam::ContainerTable(reg.container, reg.table), 0, 0, guard);
    if (s == isam::status::kOk) {
        s = to.VmxLock(guard, "apertura " + owner);
    }
    std::vector<std::string> present;
    if (s == isam::status::kOk && to.listArchives(target, present) == isam::status::kOk &&
        !present.empty()) {
        return YearOpening::AlreadyOpen;
    }
    std::string message;
    if (s == isam::status::kOk) {
        isam::Transaction tx(to, guard);
        s = tx.status();
        if (s == isam::status::kOk) {
            s = isam::CopyContainer(from, built, to, target, message);
        }
        if (s == isam::status::kOk) {
            s = tx.commit();
        }
    }
    if (s != isam::status::kOk) {
        current.setStatus(s);
        current.report(opn::kCreate, arc::kCt, setuppos::kArchiveCreate);
        return YearOpening::Failed;
    }
    return YearOpening::Opened;
}

}  // namespace

std::string NextYear(const std::string& year) {
    const std::string text = std::to_string(std::atoi(year.c_str()) + 1);
    return text.size() > 4 ? text.substr(text.size() - 4) : text;
}

YearOpening OpenNextYear(Session& session, bool euro) {
    Archives& current = session.archives();
    const std::string company = session.values().companyCode;
    const std::string year = NextYear(session.values().year);
    const std::string base = StagingFolder(current.dataDirectory());
    if (!base.empty()) {
        SweepAbandoned(base);
    }
    if (current.exists(current.fileName(arc::kCt, company, year))) {
        return YearOpening::AlreadyOpen;
    }
    const Staging folder(base, year + company);
    const std::string staging = folder.prefix();
    if (staging.empty()) {
        current.setStatus(systemStatus(errno));
        current.report(opn::kCreate, arc::kCt, setuppos::kArchiveCreate);
        return YearOpening::Failed;
    }
    isam::RecordManager& rm = current.recordManager();
    bool ok = false;
    {
        Archives next(rm, current.dialogs());
        next.setDataDirectory(staging);  // the staging folder, not the data directory
        next.setCompany(company);
        next.setYear(year);
        ok = buildYear(session, next, euro);
    }
    const std::string built = rm.locate(staging + year + company + "ct").container;
    const std::string target = rm.locate(current.fileName(arc::kCt, company, year)).container;
    rm.closeIdleContainer(built);
    YearOpening result = YearOpening::Failed;
    if (ok && isam::IsServerLocation(target)) {
        return placeOnServer(current, built, target, year + company);
    }
    // Complete and closed, with its journal folded in: only then does it take its place.
    if (ok && !std::filesystem::exists(built + "-wal")) {
        if (::link(built.c_str(), target.c_str()) == 0) {
            result = YearOpening::Opened;
        } else if (errno == EEXIST) {
            result = YearOpening::AlreadyOpen;
        } else {
            current.setStatus(systemStatus(errno));
            current.report(opn::kCreate, arc::kCt, setuppos::kArchiveCreate);
        }
    }
    return result;
}

}  // namespace zelvo
