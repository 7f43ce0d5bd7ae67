#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "isam/RecordManager.h"

namespace zelvo {

// Archive numbers: the numbers the error report shows, used everywhere to name an archive.
namespace arc {
inline constexpr int kPc = 1;      // piano conti
inline constexpr int kCt = 2;      // year record
inline constexpr int kDataz = 3;   // company register
inline constexpr int kPr = 4;      // counters
inline constexpr int kIv = 5;      // sales VAT rows
inline constexpr int kIa = 6;      // purchase VAT rows
inline constexpr int kIc = 7;      // cash-receipt VAT rows
inline constexpr int kMc = 8;      // movement lines
inline constexpr int kCiva = 9;    // VAT codes
inline constexpr int kAx = 10;     // automated postings
inline constexpr int kSi = 11;     // VAT balances
inline constexpr int kSd = 17;     // customer due dates, rimessa diretta
inline constexpr int kSt = 18;     // customer due dates, ricevute bancarie
inline constexpr int kSf = 19;     // supplier due dates
inline constexpr int kCpag = 20;   // payment terms
inline constexpr int kGg = 21;     // agenda
inline constexpr int kParam = 22;  // parameters
inline constexpr int kTt = 25;     // entry-detail rows
inline constexpr int kCe = 27;     // EEC balance sheet
inline constexpr int kFf = 33;     // most-used sub-accounts
}  // namespace arc

// Where an archive's file lives: per installation (directory + stem), per company
// (directory + code + stem) or per company and year (directory + year + code + stem).
enum class PathForm { Installation, Company, Year };

struct ArchiveInfo {
    int number;
    const char* reportName;
    const char* stem;
    PathForm form;
    const char* fieldDescription;
    int creation;  // creation number; -1: the program never creates it, it is installed
};

// The twenty archives of the system and the texts of the archive error report.
class Catalog {
  public:
    static const std::vector<ArchiveInfo>& archives();
    static const ArchiveInfo* byNumber(int number);
    static const ArchiveInfo* byStem(std::string_view stem);

    // The archive text of the error report: the report name, or the text of a number that
    // names no archive; empty for any other number.
    static std::string archiveText(int number);
    // "creazione archivi" ... "cancellazione archivi" for operations 1 to 7; empty otherwise.
    static std::string operationText(int operation);

    // The archive's file name: plain concatenation, no separators added.
    static std::string fileName(const ArchiveInfo& info, const std::string& dataDirectory,
                                const std::string& company, const std::string& year);

    // The container of a file name: the year's archives of a company share "yyyyCC.isd",
    // the company's own archives "CC.isd", and each installation archive has its own.
    // Names the catalogue does not know get a container of their own.
    static isam::ArchiveLocation locate(const std::string& fileName);
};

}  // namespace zelvo
