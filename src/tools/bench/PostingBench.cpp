// Posting benchmark: sales invoices, cash receipts or collections against a raw-SQLite
// replay of the same record writes.

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "archive/Archives.h"
#include "posting/CollectionEntry.h"
#include "posting/InvoiceEntry.h"
#include "tools/bench/Bench.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo::bench {

namespace {

namespace fs = std::filesystem;

// ---- capture of the record writes, through SQLite's statement trace ----------------------

struct Value {
    enum class Kind { Null, Int, Real, Text } kind = Kind::Null;
    std::int64_t i = 0;
    double r = 0;
    std::string t;
    int parameter = 0;  // ?N: a parameter may appear more than once in a statement
};

struct Write {
    std::string container;  // the file name of the container, without its folder
    std::string sql;        // with its parameters
    std::vector<Value> values;
};

struct Capture {
    bool on = false;
    std::vector<Write> writes;
    int commits = 0;
    std::string error;
};
Capture g_capture;
int g_commits = 0;  // commits the captured run made, all registrations together

// The expanded text of a statement is its text with every parameter replaced by a literal:
// walking both side by side gives the bound values back.
bool ParseValues(const std::string& sql, const std::string& expanded, std::vector<Value>& out) {
    size_t i = 0;
    size_t j = 0;
    int largest = 0;
    while (i < sql.size()) {
        if (sql[i] != '?') {
            if (j >= expanded.size() || expanded[j] != sql[i]) {
                return false;
            }
            ++i;
            ++j;
            continue;
        }
        ++i;
        const size_t digits = i;
        while (i < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i])) != 0) {
            ++i;
        }
        Value v;
        v.parameter = i > digits ? std::stoi(sql.substr(digits, i - digits)) : largest + 1;
        largest = std::max(largest, v.parameter);
        if (j < expanded.size() && expanded[j] == '\'') {
            v.kind = Value::Kind::Text;
            ++j;
            while (j < expanded.size()) {
                if (expanded[j] == '\'') {
                    if (j + 1 < expanded.size() && expanded[j + 1] == '\'') {
                        v.t += '\'';
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                v.t += expanded[j++];
            }
        } else if (expanded.compare(j, 4, "NULL") == 0) {
            j += 4;
        } else {
            size_t k = j;
            bool real = false;
            while (k < expanded.size() &&
                   (std::isdigit(static_cast<unsigned char>(expanded[k])) != 0 ||
                    std::string("+-.eE").find(expanded[k]) != std::string::npos)) {
                real = real || expanded[k] == '.' || expanded[k] == 'e' || expanded[k] == 'E';
                ++k;
            }
            const std::string n = expanded.substr(j, k - j);
            if (n.empty()) {
                return false;
            }
            v.kind = real ? Value::Kind::Real : Value::Kind::Int;
            v.r = std::stod(n);
            v.i = real ? 0 : std::stoll(n);
            j = k;
        }
        out.push_back(std::move(v));
    }
    return j == expanded.size();
}

int TraceStatement(unsigned /*type*/, void* /*context*/, void* p, void* /*x*/) {
    if (!g_capture.on) {
        return 0;
    }
    auto* st = static_cast<sqlite3_stmt*>(p);
    const std::string sql = sqlite3_sql(st);
    if (sql.rfind("COMMIT", 0) == 0 || sql.rfind("END", 0) == 0) {
        ++g_capture.commits;
        return 0;
    }
    if (sql.rfind("INSERT", 0) != 0 && sql.rfind("UPDATE", 0) != 0 && sql.rfind("DELETE", 0) != 0) {
        return 0;
    }
    char* expanded = sqlite3_expanded_sql(st);
    Write w;
    w.container = fs::path(sqlite3_db_filename(sqlite3_db_handle(st), "main")).filename();
    w.sql = sql;
    if (expanded == nullptr || !ParseValues(sql, expanded, w.values)) {
        g_capture.error = "cannot read the values of: " + sql;
    }
    sqlite3_free(expanded);
    g_capture.writes.push_back(std::move(w));
    return 0;
}

int InstallTrace(sqlite3* db, char** /*error*/, const sqlite3_api_routines* /*api*/) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, TraceStatement, nullptr);
    return SQLITE_OK;
}

// ---- the replay --------------------------------------------------------------------------

class Replay {
  public:
    explicit Replay(std::string dir) : m_dir(std::move(dir)) {}
    ~Replay() {
        for (auto& [key, st] : m_statements) {
            sqlite3_finalize(st);
        }
        for (auto& [name, db] : m_dbs) {
            sqlite3_close(db);
        }
    }
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    // One registration: one transaction per container it writes into.
    bool run(const std::vector<Write>& writes) {
        std::vector<sqlite3*> open;
        for (const Write& w : writes) {
            sqlite3* db = connection(w.container);
            if (db == nullptr) {
                return false;
            }
            if (std::find(open.begin(), open.end(), db) == open.end()) {
                if (!exec(db, "BEGIN IMMEDIATE")) {
                    return false;
                }
                open.push_back(db);
            }
            sqlite3_stmt*& st = m_statements[{db, w.sql}];
            if (st == nullptr &&
                sqlite3_prepare_v3(db, w.sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st,
                                   nullptr) != SQLITE_OK) {
                return fail(db);
            }
            for (const Value& v : w.values) {
                const int p = v.parameter;
                switch (v.kind) {
                    case Value::Kind::Null:
                        sqlite3_bind_null(st, p);
                        break;
                    case Value::Kind::Int:
                        sqlite3_bind_int64(st, p, v.i);
                        break;
                    case Value::Kind::Real:
                        sqlite3_bind_double(st, p, v.r);
                        break;
                    case Value::Kind::Text:
                        sqlite3_bind_text(st, p, v.t.data(), static_cast<int>(v.t.size()),
                                          SQLITE_STATIC);
                        break;
                }
            }
            int rc = sqlite3_step(st);
            while (rc == SQLITE_ROW) {  // an update returning what it changed
                rc = sqlite3_step(st);
            }
            sqlite3_reset(st);
            if (rc != SQLITE_DONE) {
                return fail(db);
            }
        }
        for (sqlite3* db : open) {
            if (!exec(db, "COMMIT")) {
                return false;
            }
        }
        return true;
    }

  private:
    bool fail(sqlite3* db) {
        std::cerr << "replay: " << sqlite3_errmsg(db) << "\n";
        return false;
    }
    bool exec(sqlite3* db, const char* sql) {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || fail(db);
    }
    sqlite3* connection(const std::string& container) {
        sqlite3*& db = m_dbs[container];
        if (db == nullptr) {
            const std::string path = m_dir + container;
            if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                                nullptr) != SQLITE_OK) {
                fail(db);
                return nullptr;
            }
            // The durability the record manager gives every commit.
            exec(db, "PRAGMA journal_mode=WAL");
            exec(db, "PRAGMA synchronous=FULL");
        }
        return db;
    }

    std::string m_dir;
    std::map<std::string, sqlite3*> m_dbs;
    std::map<std::pair<sqlite3*, std::string>, sqlite3_stmt*> m_statements;
};

// ---- the invoices --------------------------------------------------------------------------

struct InvoiceInput {
    std::string customer;  // the till's sub-account for a receipt
    std::string revenue[3];
    std::int64_t taxable[3] = {};
};

std::vector<InvoiceInput> Invoices(const GeneratedChart& chart, int n, bool receipts) {
    std::mt19937 rng(42);
    auto any = [&rng](size_t k) {
        return static_cast<size_t>(
            std::uniform_int_distribution<int>(0, static_cast<int>(k) - 1)(rng));
    };
    std::vector<InvoiceInput> out(static_cast<size_t>(n));
    for (auto& in : out) {
        in.customer = receipts ? chart.bank : chart.customers[any(chart.customers.size())];
        for (int r = 0; r < 3; ++r) {
            in.revenue[r] = chart.revenues[any(chart.revenues.size())];
            in.taxable[r] = 50 * static_cast<std::int64_t>(1 + any(200000));
        }
    }
    return out;
}

// Confirms the screen `s` of the station, timed into `each`, with its writes captured when
// `captured` is given. Empty on success, else what went wrong.
template <typename Screen>
std::string TimedConfirm(Screen& s, Station& st, std::vector<double>& each,
                         std::vector<std::vector<Write>>* captured, const std::string& what) {
    const std::int32_t before = s.lastPosted();
    g_capture.on = captured != nullptr;
    g_capture.writes.clear();
    g_capture.commits = 0;
    const double t0 = Now();
    s.click("Command1");
    each.push_back(Now() - t0);
    g_capture.on = false;
    if (!st.dialogs.events().empty() || s.lastPosted() <= before) {
        return what + " was not posted";
    }
    if (captured != nullptr) {
        if (!g_capture.error.empty()) {
            return g_capture.error;
        }
        g_commits += g_capture.commits;
        captured->push_back(g_capture.writes);
    }
    return {};
}

// Posts the invoices through the sales invoice screen, or the receipts through the cash
// receipt screen (each number taken under the section's "co" lock); `each` receives the
// seconds of every confirm. Empty on success, else what went wrong.
std::string PostInvoices(const std::string& dir, const std::vector<InvoiceInput>& invoices,
                         std::vector<double>& each, std::vector<std::vector<Write>>* captured,
                         bool receipts) {
    Station st(dir, kYear);
    InvoiceEntry s(*st.session, receipts ? InvoiceEntry::Kind::Receipt : InvoiceEntry::Kind::Sales,
                   InvoiceEntry::Variant::Lire);
    s.load();
    int number = 0;
    for (const InvoiceInput& in : invoices) {
        std::int64_t total = 0;
        for (int r = 0; r < 3; ++r) {
            const std::int64_t vat = in.taxable[r] / 5;  // 20%, whole lire: no rounding
            total += in.taxable[r] + vat;
            s.form().input(CellName("controp", r), in.revenue[r]);
            s.form().input(CellName("imponibile", r), std::to_string(in.taxable[r]));
            s.form().input(CellName("codiva", r), "20");
            s.form().input(CellName("importoiva", r), std::to_string(vat));
        }
        s.form().input("TEXT1", "10/03/2026");
        s.form().input("text3", "10/03/2026");
        s.form().input("text4", "Fattura di vendita");
        s.form().input("text5", in.customer);
        s.form().input("text7", "1");
        s.form().input("text2", std::to_string(++number));
        s.form().input("text6", std::to_string(total));
        if (std::string e =
                TimedConfirm(s, st, each, captured, "invoice " + std::to_string(number));
            !e.empty()) {
            return e;
        }
    }
    s.unload();
    return {};
}

// Collects, for each invoice's customer, the first of its open instalments through the
// collection screen, the money going to the bank, until `collections` are posted.
std::string PostCollections(const std::string& dir, const GeneratedChart& chart,
                            const std::vector<InvoiceInput>& invoices, int collections,
                            std::vector<double>& each, std::vector<std::vector<Write>>* captured) {
    Station st(dir, kYear);
    CollectionEntry c(*st.session, CollectionEntry::Kind::Collection);
    c.load();
    int number = 0;
    for (const InvoiceInput& in : invoices) {
        if (number == collections) {
            break;
        }
        c.form().input("TEXT1", "20/04/2026");
        c.form().input("text2", std::to_string(number + 1));
        c.form().input("text3", "20/04/2026");
        c.form().input("text4", "Incasso fattura");
        c.form().input("text5", in.customer);
        c.leave("text5");
        if (c.form().items(CollectionEntry::kOpenItems).empty()) {
            continue;  // collected by bank receipt: its instalments are not listed here
        }
        c.form().inputSelected(CollectionEntry::kOpenItems, 0);
        c.doubleClick(CollectionEntry::kOpenItems);
        c.form().input("text6", c.form().text(CellName(CollectionEntry::kAmount, 0)));
        c.form().input("text7", chart.bank);
        if (std::string e =
                TimedConfirm(c, st, each, captured, "collection " + std::to_string(++number));
            !e.empty()) {
            return e;
        }
    }
    c.unload();
    if (number < collections) {
        return "only " + std::to_string(number) + " instalments to collect";
    }
    return {};
}

std::string Post(Posted what, const std::string& dir, const GeneratedChart& chart,
                 const std::vector<InvoiceInput>& inputs, int documents, std::vector<double>& each,
                 std::vector<std::vector<Write>>* captured) {
    return what == Posted::Collections
               ? PostCollections(dir, chart, inputs, documents, each, captured)
               : PostInvoices(dir, inputs, each, captured, what == Posted::Receipts);
}

// A digest of every table of every container in `dir`, to check that the replay wrote what
// the program wrote.
std::string Digest(const std::string& dir) {
    std::ostringstream out;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == ".isd") {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(f.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        std::vector<std::string> tables;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
        for (const auto& t : tables) {
            sqlite3_prepare_v2(db, ("SELECT * FROM \"" + t + "\" ORDER BY 1").c_str(), -1, &st,
                               nullptr);
            out << f.filename().string() << "/" << t << "\n";
            while (sqlite3_step(st) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(st); ++c) {
                    const unsigned char* v = sqlite3_column_text(st, c);
                    out << (v == nullptr ? "~" : reinterpret_cast<const char*>(v)) << "|";
                }
                out << "\n";
            }
            sqlite3_finalize(st);
        }
        sqlite3_close(db);
    }
    return out.str();
}

double Sum(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) {
        s += x;
    }
    return s;
}

void PrintFigures(Posted what, int documents, int rounds, double statements, double commits,
                  const std::vector<double>& zelvoMs, const std::vector<double>& replayMs,
                  const std::vector<double>& ratios) {
    const char* noun = what == Posted::Collections ? "collection"
                       : what == Posted::Receipts  ? "receipt"
                                                   : "invoice";
    std::printf(what == Posted::Collections
                    ? "| Collections (one instalment settled each) per round | %d |\n"
                : what == Posted::Receipts
                    ? "| Cash receipts (3 rows, numbered under the \"co1\" lock) per round | %d |\n"
                    : "| Sales invoices (3 rows, due dates) per round | %d |\n",
                documents);
    std::printf("| Writes replayed per %s (1 transaction) | %.1f statements |\n", noun, statements);
    std::printf("| Commits the program made per %s | %.2f |\n", noun, commits);
    std::printf("| Zelvo, ms per %s (median of %d rounds) | %.2f |\n", noun, rounds,
                Median(zelvoMs));
    std::printf("| Raw SQLite replay, ms per %s (median) | %.2f |\n", noun, Median(replayMs));
    std::printf("| Ratio Zelvo / replay (median of per-round ratios; target <= 1.5) | %.2f |\n",
                Median(ratios));
}

}  // namespace

int PostingBench(const std::string& workDir, int invoices, int rounds, Posted what) {
    const bool receipts = what == Posted::Receipts;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(InstallTrace));
    GeneratedChart chart;
    const std::string base = workDir + "base/";
    if (!BaseDirectory(base, chart)) {
        std::cerr << "posting: no base installation\n";
        return 1;
    }
    // Customers paid by bank receipt have no instalments to collect here: three invoices
    // for every collection leave enough that are.
    const auto inputs =
        Invoices(chart, what == Posted::Collections ? 3 * invoices : invoices, receipts);
    std::vector<double> ignored;
    if (what == Posted::Collections) {
        // The invoices whose instalments the collections settle are part of the start.
        if (std::string e = PostInvoices(base, inputs, ignored, nullptr, false); !e.empty()) {
            std::cerr << "posting: " << e << "\n";
            return 1;
        }
    }
    // What the program writes per registration, captured once on a run of its own so that the
    // trace costs the timed runs nothing.
    std::vector<std::vector<Write>> captured;
    Copy(base, workDir + "capture/");
    if (std::string e =
            Post(what, workDir + "capture/", chart, inputs, invoices, ignored, &captured);
        !e.empty()) {
        std::cerr << "posting: " << e << "\n";
        return 1;
    }
    size_t statements = 0;
    for (const auto& r : captured) {
        statements += r.size();
    }
    std::vector<double> zelvoMs;
    std::vector<double> replayMs;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const std::string z = workDir + "zelvo/";
        const std::string r = workDir + "replay/";
        Copy(base, z);
        Copy(base, r);
        std::vector<double> zt;
        if (std::string e = Post(what, z, chart, inputs, invoices, zt, nullptr); !e.empty()) {
            std::cerr << "posting: " << e << "\n";
            return 1;
        }
        std::vector<double> rt;
        {
            Replay replay(r);
            for (const auto& registration : captured) {
                const double t0 = Now();
                if (!replay.run(registration)) {
                    return 1;
                }
                rt.push_back(Now() - t0);
            }
        }
        if (round == 0 && Digest(r) != Digest(workDir + "capture/")) {
            std::cerr << "posting: the replay did not write what the program wrote\n";
            return 1;
        }
        const double zPer = Sum(zt) / static_cast<double>(zt.size()) * 1000;
        const double rPer = Sum(rt) / static_cast<double>(rt.size()) * 1000;
        zelvoMs.push_back(zPer);
        replayMs.push_back(rPer);
        ratios.push_back(zPer / rPer);
        std::cerr << "round " << round + 1 << ": zelvo " << zPer << " ms, replay " << rPer
                  << " ms\n";
    }
    PrintFigures(what, invoices, rounds,
                 static_cast<double>(statements) / static_cast<double>(captured.size()),
                 static_cast<double>(g_commits) / static_cast<double>(captured.size()), zelvoMs,
                 replayMs, ratios);
    return 0;
}

}  // namespace zelvo::bench
