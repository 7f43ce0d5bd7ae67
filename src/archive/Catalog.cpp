#include "archive/Catalog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace zelvo {

namespace {

constexpr const char* kPcDesc =
    "x30$,$,$,X16$,$,$,x2$,$,#,#,#,#,$,$,X10$,X5$,$,X15$,$,x2$,$,$,$,$,$,$,$,$,#,%,%,%,%,%,%,%,$,"
    "#,$,$,#,%,$,#,#,%,$,#,%,$,$,%,$,$,$,#,#,x31$,x32$,A31$,A31$,A31$";

// The parameters: the settings the screens use, then the lists no screen of the program reads
// but the record keeps (three of 50 texts, one of 20) and a few spare values.
constexpr const char* kParamDesc = "&,$,%,%,$,#,#,%,%,%,%,%,A50$,A50$,A50$,A20$,$,$,#,#";

const std::vector<ArchiveInfo> kArchives = {
    {arc::kPc, "piano conti", "pc", PathForm::Year, kPcDesc, 5},
    {arc::kCt, "ct", "ct", PathForm::Year, "$,$,$,$,$,$", 1},
    {arc::kDataz, "azienda", "dataz", PathForm::Installation, "x40$,$,$,$,%,%,$", 2},
    {arc::kPr, "progressivi", "pr", PathForm::Year, "&,$", 10},
    {arc::kIv, "iva vendite", "iv", PathForm::Year, "$,x5$,$,x5$,#,$,$,#,$,x6$,$", 8},
    {arc::kIa, "iva acquisti", "ia", PathForm::Year, "$,x5$,$,$,x5$,#,$,$,#,$,x6$,$,$", 8},
    {arc::kIc, "iva corrisp.", "ic", PathForm::Year, "$,x5$,x8$,#,$,$,#,$,$,x6$,$,#", 8},
    {arc::kMc, "mov. contabili", "mc", PathForm::Year,
     "x8$,$,$,$,$,#,#,x8$,$,x19$,x13$,x14$,$,$,%,$", 8},
    {arc::kCiva, "codici iva", "civa", PathForm::Installation, "x10$,#,%,$", -1},
    {arc::kAx, "auto prima nota", "ax", PathForm::Company,
     "$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$$", 30},
    {arc::kSi, "saldi iva", "si", PathForm::Year, "#############", 1},
    {arc::kSd, "scad. clienti rd", "sd", PathForm::Year, "$,$,x5$,#,x8$,$,x13$,$,$,$,$,#,#", 8},
    {arc::kSt, "scad. clienti rb", "st", PathForm::Year, "$,$,x5$,#,x8$,$,$,$", 8},
    {arc::kSf, "scad. fornitori", "sf", PathForm::Year, "$,$,x5$,#,x8$,$,x13$,$,$", 8},
    {arc::kCpag, "codici pag.", "cpag", PathForm::Installation, "x60$,$,%,%,%,%,%", -1},
    {arc::kGg, "agenda", "gg", PathForm::Installation, "$,$", 30},
    {arc::kParam, "parametri", "param", PathForm::Installation, kParamDesc, -1},
    {arc::kTt, "tt", "tt", PathForm::Year, "x8$,$,$,$,$", 8},
    {arc::kCe, "bilancio cee", "ce", PathForm::Company, "$,$,$", 3},
    {arc::kFf, "facil.", "ff", PathForm::Year, "$,$,#", 5},
};

struct Text {
    int number;
    const char* text;
};

// Numbers the report knows that name no archive of this system.
constexpr Text kOtherTexts[] = {
    {12, "documenti"},
    {13, "fatt."},
    {14, "magazzino"},
    {15, "movim. magazzino"},
    {16, "agente"},
    {23, "modulo"},
    {24, "scelta modulo"},
    {26, "schema documento"},
    {28, "lifo"},
    {29, "modulo rb"},
    {30, "prodotto finito"},
    {31, "componente"},
    {32, "movimento componenti"},
};

constexpr const char* kOperations[] = {
    "creazione archivi", "apertura file",      "chiusura file",        "registrazione dati",
    "lettura dati",      "cancellazione dati", "cancellazione archivi"};

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

const std::vector<ArchiveInfo>& Catalog::archives() {
    return kArchives;
}

const ArchiveInfo* Catalog::byNumber(int number) {
    auto it = std::find_if(kArchives.begin(), kArchives.end(),
                           [number](const ArchiveInfo& a) { return a.number == number; });
    return it == kArchives.end() ? nullptr : &*it;
}

const ArchiveInfo* Catalog::byStem(std::string_view stem) {
    auto it = std::find_if(kArchives.begin(), kArchives.end(),
                           [stem](const ArchiveInfo& a) { return stem == a.stem; });
    return it == kArchives.end() ? nullptr : &*it;
}

std::string Catalog::archiveText(int number) {
    if (const ArchiveInfo* a = byNumber(number)) {
        return a->reportName;
    }
    for (const Text& t : kOtherTexts) {
        if (t.number == number) {
            return t.text;
        }
    }
    return {};
}

std::string Catalog::operationText(int operation) {
    if (operation < 1 || operation > 7) {
        return {};
    }
    return kOperations[operation - 1];
}

std::string Catalog::fileName(const ArchiveInfo& info, const std::string& dataDirectory,
                              const std::string& company, const std::string& year) {
    switch (info.form) {
        case PathForm::Installation:
            return dataDirectory + info.stem;
        case PathForm::Company:
            return dataDirectory + company + info.stem;
        case PathForm::Year:
            return dataDirectory + year + company + info.stem;
    }
    return {};
}

isam::ArchiveLocation Catalog::locate(const std::string& fileName) {
    std::filesystem::path p(fileName);
    std::string name = p.filename().string();
    std::string dir = p.has_parent_path() ? p.parent_path().string() + "/" : std::string();
    bool yearPrefix = name.size() > 4 && std::all_of(name.begin(), name.begin() + 4, [](char c) {
                          return std::isdigit(static_cast<unsigned char>(c)) != 0;
                      });
    for (const ArchiveInfo& a : kArchives) {
        std::string_view stem = a.stem;
        if (a.form == PathForm::Installation || !endsWith(name, stem)) {
            continue;
        }
        std::string owner = name.substr(0, name.size() - stem.size());
        if (a.form == PathForm::Year && yearPrefix && owner.size() > 4) {
            return {dir + owner + ".isd", name};
        }
        if (a.form == PathForm::Company && !yearPrefix && !owner.empty()) {
            return {dir + owner + ".isd", name};
        }
    }
    return {dir + name + ".isd", name};
}

}  // namespace zelvo
