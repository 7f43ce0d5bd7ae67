#include "masterdata/CompanyArchives.h"

#include "masterdata/ChartFields.h"
#include "masterdata/PredefinedChart.h"

namespace zelvo {

namespace {

// Fields of a counter record.
constexpr int kCounterValue = 1;
constexpr int kCounterText = 2;

// The key of the single record of the year record and VAT balances archives.
constexpr const char* kOnlyRecord = "1";

bool writeEmptyRecord(Archives& a, int archive, const std::string& company, const std::string& year,
                      const WritePlaces& at) {
    return WriteArchive(a, archive, company, year, at, [&] {
        a.clearWriteBuffer(archive);
        return a.putReported(archive, kOnlyRecord, isam::mode::kWrite, at.write) == 0;
    });
}

}  // namespace

bool WriteArchive(Archives& a, int archive, const std::string& company, const std::string& year,
                  const WritePlaces& at, const std::function<bool()>& writes) {
    if (!a.openFile(archive, company, year, at.open)) {
        return false;
    }
    bool ok = true;
    {
        // One transaction: the batch lands whole and is synced once, not once per record.
        Registration tx(a, archive);
        ok = writes();
        // What was written stays even after a failure: nothing is rolled back on purpose.
        if (tx.status() == 0 && tx.commit() != 0 && ok) {
            a.report(opn::kWrite, archive, at.write);
            ok = false;
        }
    }
    if (ok && a.flush(archive) != 0) {
        a.report(opn::kWrite, archive, at.write);
        ok = false;
    }
    a.close(archive, at.close);
    return ok && a.status() == 0;
}

std::vector<int> ArchivesToCreate(ArchiveScope scope) {
    if (scope == ArchiveScope::Year) {
        return {arc::kCt, arc::kPc, arc::kIv, arc::kIa, arc::kIc, arc::kTt, arc::kMc,
                arc::kSi, arc::kSd, arc::kSt, arc::kSf, arc::kFf, arc::kPr};
    }
    return {arc::kCt, arc::kPc, arc::kIv, arc::kIa, arc::kIc, arc::kTt, arc::kMc, arc::kAx,
            arc::kSi, arc::kSd, arc::kSt, arc::kSf, arc::kFf, arc::kCe, arc::kPr};
}

const std::vector<InitialCounter>& InitialCounters() {
    static const std::vector<InitialCounter> kCounters = [] {
        std::vector<InitialCounter> c;
        for (const char* name :
             {"of", "co", "bp", "bv", "fp", "or", "bc", "rr", "mc", "mm", "ia", "ic", "iv", "mp"}) {
            c.push_back({name, 0});
        }
        c.push_back({"conto", 50});
        for (const char* name : {"dati", "xx", "yy", "scaclird", "scaclitr", "agente", "scafornrd",
                                 "giornale", "destinaz", "codpag"}) {
            c.push_back({name, 0});
        }
        c.push_back({"magaz", 1});
        // The register sections 1 to 9: invoice numbers, protocols, receipts, VAT registers.
        static const char* const kSections[] = {
            "fv1",    "fv2",    "fv3",    "fv4",    "fv5",    "fv6",    "fv7",    "fv8",
            "fv9",    "prot1",  "prot2",  "prot3",  "prot4",  "prot5",  "prot6",  "prot7",
            "prot8",  "prot9",  "co1",    "co2",    "co3",    "co4",    "co5",    "co6",
            "co7",    "co8",    "co9",    "regiv1", "regiv2", "regiv3", "regiv4", "regiv5",
            "regiv6", "regiv7", "regiv8", "regiv9", "regia1", "regia2", "regia3", "regia4",
            "regia5", "regia6", "regia7", "regia8", "regia9"};
        for (const char* name : kSections) {
            c.push_back({name, 0});
        }
        return c;
    }();
    return kCounters;
}

bool CreateArchives(Archives& archives, const std::string& company, const std::string& year,
                    ArchiveScope scope) {
    bool ok = true;
    for (int archive : ArchivesToCreate(scope)) {
        ok = archives.create(archive, company, year, setuppos::kArchiveCreate) && ok;
    }
    return ok;
}

bool WriteYearRecords(Archives& archives, const std::string& company, const std::string& year) {
    bool ok = writeEmptyRecord(
        archives, arc::kCt, company, year,
        {setuppos::kYearRecordOpen, setuppos::kYearRecordWrite, setuppos::kYearRecordClose});
    return writeEmptyRecord(archives, arc::kSi, company, year,
                            {setuppos::kVatBalancesOpen, setuppos::kVatBalancesWrite,
                             setuppos::kVatBalancesClose}) &&
           ok;
}

bool WritePredefinedChart(Archives& archives, const std::string& company, const std::string& year) {
    const WritePlaces at{setuppos::kChartOpen, setuppos::kChartWrite, setuppos::kChartClose};
    return WriteArchive(archives, arc::kPc, company, year, at, [&] {
        for (const PredefinedItem& item : PredefinedChart()) {
            const std::string code = item.accountCode;
            const std::string kind = item.kind;
            const std::string description = item.description;
            // From a cleared record: every total, personal-data and spare field starts empty.
            archives.clearWriteBuffer(arc::kPc);
            isam::Record& r = archives.writeBuffer(arc::kPc);
            r.setText(chart::kDescription, description);
            r.setText(chart::kKind, kind);
            r.setText(chart::kNature, item.nature);
            r.setText(chart::kMastroNumber, code.substr(0, 5));
            if (kind != "m") {
                r.setText(chart::kContoNumber, code.substr(5, 5));
            }
            r.setText(chart::kAccountCode, code);
            r.setText(chart::kKindKey, (kind == "s" ? "s" : "x") + description);
            r.setText(chart::kGroupKey, "ss" + description);
            if (archives.putReported(arc::kPc, item.number, isam::mode::kWrite, at.write) != 0) {
                return false;
            }
        }
        return true;
    });
}

bool WriteCounters(Archives& archives, const std::string& company, const std::string& year,
                   const std::vector<InitialCounter>& counters) {
    const WritePlaces at{setuppos::kCountersOpen, setuppos::kCountersWrite,
                         setuppos::kCountersClose};
    return WriteArchive(archives, arc::kPr, company, year, at, [&] {
        for (const InitialCounter& c : counters) {
            archives.clearWriteBuffer(arc::kPr);
            isam::Record& r = archives.writeBuffer(arc::kPr);
            r.setNumber(kCounterValue, c.value);
            r.setText(kCounterText, "");
            if (archives.putReported(arc::kPr, c.name, isam::mode::kWrite, at.write) != 0) {
                return false;
            }
        }
        return true;
    });
}

bool CreateCompanyArchives(Archives& archives, const std::string& company,
                           const std::string& year) {
    bool ok = CreateArchives(archives, company, year, ArchiveScope::CompanyAndYear);
    ok = WriteYearRecords(archives, company, year) && ok;
    ok = WritePredefinedChart(archives, company, year) && ok;
    return WriteCounters(archives, company, year, InitialCounters()) && ok;
}

}  // namespace zelvo
