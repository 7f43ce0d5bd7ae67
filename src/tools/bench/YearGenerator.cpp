#include "tools/bench/YearGenerator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>

#include "app/Installation.h"
#include "archive/Archives.h"
#include "base/DateText.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "session/Clock.h"
#include "tools/bench/Workload.h"

namespace zelvo::bench {

namespace {

const char* const kSurnames[] = {
    "Rossi",    "Russo",  "Ferrari",  "Esposito", "Bianchi",  "Romano",  "Colombo", "Ricci",
    "Marino",   "Greco",  "Bruno",    "Gallo",    "Conti",    "De Luca", "Mancini", "Costa",
    "Giordano", "Rizzo",  "Lombardi", "Moretti",  "Barbieri", "Fontana", "Santoro", "Mariani",
    "Rinaldi",  "Caruso", "Ferrara",  "Galli",    "Martini",  "Leone",   "Longo",   "Gentile"};
const char* const kForms[] = {"Srl", "Spa", "Snc", "Sas", "& C.", "Group Srl", "Industrie Spa"};
const char* const kCities[] = {"Milano",  "Torino", "Bologna", "Verona", "Brescia",
                               "Bergamo", "Padova", "Firenze", "Modena", "Parma"};
// The payment terms of a new installation, by description: customers and suppliers draw
// from all of them, so that the due dates come in every shape.
const char* const kTerms[] = {"Rimessa diretta a vista",
                              "Rimessa diretta 30 gg d.f.",
                              "Ricevuta bancaria 30 gg f.m.",
                              "Ricevuta bancaria 30-60 gg f.m.",
                              "Ricevuta bancaria 30-60-90 gg f.m.",
                              "Rimessa diretta 60 gg al 10",
                              "Rimessa diretta 30-60 gg f.m. salta agosto"};
const char* const kRevenues[] = {"Vendite merci",          "Vendite prodotti finiti",
                                 "Prestazioni di servizi", "Vendite ricambi",
                                 "Ricavi da assistenza",   "Vendite estero UE"};
const char* const kCosts[] = {
    "Acquisti merci", "Acquisti materie prime", "Consulenze",  "Energia elettrica",
    "Carburanti",     "Manutenzioni",           "Cancelleria", "Trasporti su acquisti"};

struct ChartWriter {
    Archives& a;
    std::string& error;

    // One chart item under the given parent numbers; returns its number, empty on failure.
    std::string add(const std::string& description, const char* kind, const std::string& mastro,
                    const std::string& conto, const char* nature, const std::string& terms,
                    const std::string& city) {
        Registration tx(a, arc::kPc);
        if (tx.status() != 0) {
            error = "transaction on the chart: status " + std::to_string(tx.status());
            return {};
        }
        const std::string number = NextItemNumber(a);
        if (number.empty()) {
            error = "no item number for " + description;
            return {};
        }
        a.clearWriteBuffer(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        const bool isConto = std::string(kind) == chart::kConto;
        r.setText(chart::kDescription, description);
        r.setText(chart::kKind, kind);
        r.setText(chart::kMastroNumber, mastro);
        r.setText(chart::kContoNumber, isConto ? number : conto);
        r.setText(chart::kNature, nature);
        r.setText(chart::kAccountCode,
                  isConto ? mastro + number + "00000" : mastro + conto + number);
        r.setText(chart::kKindKey, chart::KindKey(kind, description));
        r.setText(chart::kGroupKey, chart::GroupKey(kind, description));
        r.setText(chart::kPaymentTerms, terms);
        r.setText(chart::kCity, city);
        if (a.put(arc::kPc, number, isam::mode::kAdd) != 0) {
            error = "chart item " + description + ": status " + std::to_string(a.status());
            return {};
        }
        if (tx.commit() != 0) {
            error = "chart commit: status " + std::to_string(a.status());
            return {};
        }
        return number;
    }
};

std::string DateText(int year, int month, int day) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day, month, year);
    return buf;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Monday = 0, by Sakamoto's method.
int Weekday(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) {
        y -= 1;
    }
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d + 6) % 7;
}

class Generator {
  public:
    Generator(Session& s, ScriptedDialogs& d, const GeneratedChart& c, std::uint32_t seed)
        : m_session(s), m_dialogs(d), m_work(s, d, c, seed) {}

    bool run(std::int64_t lines, std::string& error,
             const std::function<void(std::int64_t)>& progress) {
        m_year = std::stoi(m_session.values().year);
        m_work.load();
        if (!noBoxes("loading the entry screens", error)) {
            return false;
        }
        std::vector<std::pair<int, int>> days;
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysInMonth(m_year, m); ++d) {
                if (Weekday(m_year, m, d) < 5) {
                    days.emplace_back(m, d);
                }
            }
        }
        const auto n = static_cast<std::int64_t>(days.size());
        bool ok = true;
        for (std::int64_t i = 0; i < n && ok; ++i) {
            const auto [month, day] = days[static_cast<size_t>(i)];
            const std::string date = DateText(m_year, month, day);
            const std::int64_t target = lines * (i + 1) / n;
            if (day >= 25 && !m_wagesPaid[month]) {
                m_wagesPaid[month] = true;
                ok = posted(m_work.wages(date), error);
            }
            while (ok && m_posted < target) {
                ok = posted(m_work.any(date, false), error);
            }
            if (progress) {
                progress(m_posted);
            }
        }
        m_work.unload();
        return ok;
    }

  private:
    bool noBoxes(const std::string& what, std::string& error) {
        if (m_dialogs.events().empty()) {
            return true;
        }
        error = what + ": the program said";
        for (const auto& e : m_dialogs.events()) {
            error += e.kind == ScriptedDialogs::Event::Kind::Beep
                         ? std::string(" [beep]")
                         : " [" + e.title + ": " + e.text + "]";
        }
        return false;
    }

    // The generator is the only station: anything but a posting is a fault of its own.
    bool posted(const Outcome& o, std::string& error) {
        if (o.result != Outcome::Result::Posted) {
            error = o.what + ": " + (o.said.empty() ? "nothing was posted" : o.said);
            return false;
        }
        m_posted = m_work.lastLine();
        return true;
    }

    Session& m_session;
    ScriptedDialogs& m_dialogs;
    Workload m_work;
    int m_year = 0;
    std::map<int, bool> m_wagesPaid;
    std::int64_t m_posted = 0;
};

}  // namespace

bool AddGeneratedChart(Session& session, std::uint32_t seed, int customers, int suppliers,
                       GeneratedChart& chart, std::string& error) {
    Archives& a = session.archives();
    ChartWriter w{a, error};
    std::mt19937 rng(seed ^ 0x5eedU);
    auto any = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto party = [&](int i, bool customer) {
        // The index keeps every name unique: the screens name parties by description.
        char name[96];
        std::snprintf(name, sizeof name, "%s %s %s %03d", kSurnames[any(32)], kSurnames[any(32)],
                      kForms[any(7)], i);
        const std::string n =
            customer ? w.add(name, "c", "00001", "00005", "p", kTerms[any(7)], kCities[any(10)])
                     : w.add(name, "f", "00002", "00006", "p", kTerms[any(7)], kCities[any(10)]);
        if (n.empty()) {
            return false;
        }
        (customer ? chart.customers : chart.suppliers).push_back(name);
        return true;
    };
    for (int i = 1; i <= customers; ++i) {
        if (!party(i, true)) {
            return false;
        }
    }
    for (int i = 1; i <= suppliers; ++i) {
        if (!party(i, false)) {
            return false;
        }
    }
    for (const char* r : kRevenues) {
        if (w.add(r, "s", "00003", "00009", "e", "", "").empty()) {
            return false;
        }
        chart.revenues.push_back(r);
    }
    for (const char* c : kCosts) {
        if (w.add(c, "s", "00004", "00010", "e", "", "").empty()) {
            return false;
        }
        chart.costs.push_back(c);
    }
    const std::string liquid = w.add("Disponibilita' liquide", "cc", "00001", "", "p", "", "");
    if (liquid.empty()) {
        return false;
    }
    chart.bank = "Banca Popolare c/c";
    chart.wages = "Salari e stipendi";
    chart.bankCharges = "Spese e commissioni bancarie";
    return !w.add(chart.bank, "s", "00001", liquid, "p", "", "").empty() &&
           !w.add(chart.wages, "s", "00004", "00010", "e", "", "").empty() &&
           !w.add(chart.bankCharges, "s", "00004", "00010", "e", "", "").empty();
}

bool GenerateYear(Session& session, ScriptedDialogs& dialogs, const GeneratedChart& chart,
                  std::uint32_t seed, std::int64_t lines, std::string& error,
                  const std::function<void(std::int64_t)>& progress) {
    Generator g(session, dialogs, chart, seed);
    return g.run(lines, error, progress);
}

std::int64_t MovementLineCount(Session& session) {
    Archives& a = session.archives();
    const bool wasOpen = a.isOpen(arc::kMc);
    if (!wasOpen && !a.open(arc::kMc)) {
        return -1;
    }
    std::int64_t n = 0;
    if (a.count(arc::kMc, n) != 0) {
        n = -1;
    }
    if (!wasOpen) {
        a.close(arc::kMc);
    }
    return n;
}

bool GenerateDataDirectory(const std::string& dataDir, const std::string& year, std::int64_t lines,
                           std::uint32_t seed, std::string& error,
                           const std::function<void(std::int64_t)>& progress) {
    std::filesystem::create_directories(dataDir);
    ScriptedDialogs dialogs;
    // Today is the last day of the year, so that no date of the year lies in the future.
    FixedClock clock("31/12/" + year);
    Session session(dialogs, clock);
    session.setDataDirectory(dataDir);
    if (CreateInstallation(session, year) != InstallOutcome::Installed) {
        error = "the installation could not be created in " + dataDir;
        return false;
    }
    session.chooseCompany("AB", "Azienda di prova", year);
    Archives& a = session.archives();
    for (int archive :
         {arc::kDataz, arc::kCiva, arc::kPr, arc::kCt, arc::kPc, arc::kMc, arc::kTt}) {
        if (!a.open(archive, 1)) {
            error = "archive " + std::to_string(archive) + " does not open";
            return false;
        }
    }
    GeneratedChart chart;
    const bool ok = AddGeneratedChart(session, seed, 300, 200, chart, error) &&
                    GenerateYear(session, dialogs, chart, seed, lines, error, progress);
    for (int archive :
         {arc::kTt, arc::kMc, arc::kPc, arc::kCt, arc::kPr, arc::kCiva, arc::kDataz}) {
        a.close(archive, 1);
    }
    return ok;
}

}  // namespace zelvo::bench
