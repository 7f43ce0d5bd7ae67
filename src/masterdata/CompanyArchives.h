#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/Archives.h"

namespace zelvo {

// Report positions of the set-up routines: the company register, a company's archives, the
// parameters, the installation and the company-creation screen. They live together so that
// they stay distinct from one another and from the positions of the archive layer.
namespace setuppos {
// Company register (rebuild and installation).
inline constexpr int kRegisterClose = 601;
inline constexpr int kRegisterOpen = 602;
inline constexpr int kRegisterWrite = 603;
// A company's or a year's archives.
inline constexpr int kArchiveCreate = 611;
inline constexpr int kYearRecordOpen = 612;
inline constexpr int kYearRecordWrite = 613;
inline constexpr int kYearRecordClose = 614;
inline constexpr int kVatBalancesOpen = 615;
inline constexpr int kVatBalancesWrite = 616;
inline constexpr int kVatBalancesClose = 617;
inline constexpr int kChartOpen = 618;
inline constexpr int kChartWrite = 619;
inline constexpr int kChartClose = 620;
inline constexpr int kCountersOpen = 621;
inline constexpr int kCountersWrite = 622;
inline constexpr int kCountersClose = 623;
// Parameters read at start-up (open and close use the archive layer's 1310 and 1313).
inline constexpr int kParametersRead = 631;
// Installation.
inline constexpr int kInstallRegisterCreate = 641;
inline constexpr int kInstallRegisterOpen = 642;
inline constexpr int kInstallRegisterClose = 643;
inline constexpr int kInstallParamCreate = 644;
inline constexpr int kInstallParamOpen = 645;
inline constexpr int kInstallParamWrite = 646;
inline constexpr int kInstallParamClose = 647;
inline constexpr int kInstallVatCreate = 648;
inline constexpr int kInstallVatOpen = 649;
inline constexpr int kInstallVatWrite = 650;
inline constexpr int kInstallVatClose = 651;
inline constexpr int kInstallTermsCreate = 652;
inline constexpr int kInstallTermsOpen = 653;
inline constexpr int kInstallTermsWrite = 654;
inline constexpr int kInstallTermsClose = 655;
inline constexpr int kInstallAgendaCreate = 656;
// Company creation screen.
inline constexpr int kCreationFindName = 661;
inline constexpr int kCreationSlotSearch = 662;
inline constexpr int kCreationSlotRead = 663;
inline constexpr int kCreationSlotWrite = 664;
inline constexpr int kCreationClosePc = 665;
inline constexpr int kCreationClosePr = 666;
inline constexpr int kCreationCloseCt = 667;
inline constexpr int kCreationOpenPr = 668;
inline constexpr int kCreationOpenCt = 669;
inline constexpr int kCreationOpenPc = 670;
inline constexpr int kCreationRegisterRead = 671;
}  // namespace setuppos

// Which archives a set-up creates: a new company gets its own archives (automated postings
// and EEC scheme) besides those of its first year; a new year gets only the year's.
enum class ArchiveScope { CompanyAndYear, Year };

// A counter of the counters archive as a new year starts it.
struct InitialCounter {
    const char* name;
    std::int32_t value;
};

// Report positions of one archive's batch of writes.
struct WritePlaces {
    int open;
    int write;
    int close;
};

// Opens the archive of `company` and `year` with openFile, runs `writes` inside one
// transaction, flushes and closes the archive again. `writes` reports its own failures and
// returns false at the first one. The result says whether everything succeeded.
bool WriteArchive(Archives& archives, int archive, const std::string& company,
                  const std::string& year, const WritePlaces& at,
                  const std::function<bool()>& writes);

// The archive numbers of a scope, in creation order.
std::vector<int> ArchivesToCreate(ArchiveScope scope);

// The counters of a new company, in the order they are written: all 0 except "conto" 50
// (so the first item an operator adds is "00051") and "magaz" 1. The new-year opening
// writes the same set with a few values carried over.
const std::vector<InitialCounter>& InitialCounters();

// The pieces of a set-up. Each opens its archive of `company` and `year` with openFile,
// writes, and closes it again; an archive of the same number open for another company or
// year is closed by that open (the access layer has one handle per archive), so callers
// close their own first and reopen them afterwards. Every failure is reported and the
// routine carries on with the next archive; the result says whether everything succeeded.
bool CreateArchives(Archives& archives, const std::string& company, const std::string& year,
                    ArchiveScope scope);
// The year record "ct" "1" with its six texts empty, and the VAT balances "si" "1" with
// thirteen zeros.
bool WriteYearRecords(Archives& archives, const std::string& company, const std::string& year);
// The 22 predefined items of the chart, in number order.
bool WritePredefinedChart(Archives& archives, const std::string& company, const std::string& year);
bool WriteCounters(Archives& archives, const std::string& company, const std::string& year,
                   const std::vector<InitialCounter>& counters);

// A new company's archives for its first year and their initial content, in order:
// creation of ct, pc, iv, ia, ic, tt, mc, ax, si, sd, st, sf, ff, ce, pr; then the year
// record, the VAT balances, the predefined chart and the counters.
bool CreateCompanyArchives(Archives& archives, const std::string& company, const std::string& year);

}  // namespace zelvo
