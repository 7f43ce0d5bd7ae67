#include <fstream>
#include <iostream>
#include <map>

#include "archive/Archives.h"
#include "masterdata/ChartFields.h"
#include "posting/JournalFields.h"
#include "tools/bench/Bench.h"

namespace zelvo::bench {

namespace {

// Ledger reads two blanks as the end of an account name and ':' as its hierarchy.
std::string LedgerName(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ':') {
            c = '.';
        }
        if (c == ' ' && (out.empty() || out.back() == ' ')) {
            continue;
        }
        out += c;
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

}  // namespace

int ExportLedger(const std::string& dataDir, const std::string& year, const std::string& file) {
    Station st(dataDir, year);
    Archives& a = st.session->archives();
    std::map<std::string, std::string> names;  // item number -> "Mastro:Conto:Sub"
    {
        std::map<std::string, isam::Record> items;
        a.bof(arc::kPc, 0);
        while (a.get(arc::kPc, 0, isam::op::kNext, "") == 0) {
            items.emplace(a.primaryKey(arc::kPc), a.readBuffer(arc::kPc));
        }
        auto desc = [&items](const std::string& n) {
            auto it = items.find(n);
            return it == items.end() ? n : LedgerName(it->second.text(chart::kDescription));
        };
        for (const auto& [number, r] : items) {
            names[number] = desc(r.text(chart::kMastroNumber)) + ":" +
                            desc(r.text(chart::kContoNumber)) + ":" + desc(number) + " " + number;
        }
    }
    std::ofstream out(file);
    if (!out) {
        std::cerr << "cannot write " << file << "\n";
        return 1;
    }
    std::string currentReg;
    std::int64_t lines = 0;
    a.bof(arc::kMc, 0);
    while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
        const isam::Record& l = a.readBuffer(arc::kMc);
        const std::string reg = l.text(mcf::kRegNumber);
        if (reg != currentReg) {
            currentReg = reg;
            const std::string d = l.text(mcf::kRegDate);  // yyyymmdd
            out << "\n"
                << d.substr(0, 4) << "/" << d.substr(4, 2) << "/" << d.substr(6, 2) << " * "
                << LedgerName(l.text(mcf::kDescription)) << " (" << l.text(mcf::kCausal) << " doc "
                << l.text(mcf::kDocNumber) << " reg " << reg << ")\n";
        }
        const double amount = l.number(mcf::kDebit) - l.number(mcf::kCredit);
        const std::string account = l.text(mcf::kAccount);
        auto it = names.find(account);
        out << "    " << (it == names.end() ? account : it->second) << "  "
            << static_cast<std::int64_t>(amount) << " ITL\n";
        ++lines;
    }
    out.close();
    std::cout << "exported " << lines << " lines to " << file << "\n";
    return out ? 0 : 1;
}

}  // namespace zelvo::bench
