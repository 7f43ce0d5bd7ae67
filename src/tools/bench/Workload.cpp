#include "tools/bench/Workload.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "archive/Archives.h"
#include "base/NumberText.h"
#include "posting/CollectionEntry.h"
#include "posting/GenericMovement.h"
#include "posting/InvoiceEntry.h"
#include "posting/JournalFields.h"
#include "posting/PostingScreens.h"
#include "posting/RevisionChooser.h"
#include "session/ScreenRegistry.h"

namespace zelvo::bench {

namespace {

// What the program says when another station was first; any other box stops a run.
constexpr const char* kTakenAgain = "Un'altra registrazione è stata nel frattempo effettuata";
constexpr const char* kChangedElsewhere =
    "La registrazione è stata modificata o annullata da un'altra postazione";
constexpr const char* kAnnulQuestion = "Si vuole annullare la registrazione n. ";
constexpr const char* kProtocolTaken = "Protocollo già registrato";
constexpr const char* kDocumentTaken = "Documento già registrato";
constexpr const char* kInvoiceTaken = "Fattura già registrata";

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

double Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Whole(double v) {
    return std::to_string(static_cast<std::int64_t>(v));
}

// "dd/mm/yyyy" -> year × 12 + month.
int MonthOf(const std::string& date) {
    return std::stoi(date.substr(6, 4)) * 12 + std::stoi(date.substr(3, 2));
}

std::int32_t LastPosted(ScreenLogic& s) {
    if (auto* i = dynamic_cast<InvoiceEntry*>(&s)) {
        return i->lastPosted();
    }
    if (auto* c = dynamic_cast<CollectionEntry*>(&s)) {
        return c->lastPosted();
    }
    if (auto* g = dynamic_cast<GenericMovement*>(&s)) {
        return g->lastPosted();
    }
    return 0;
}

}  // namespace

double RowVat(double taxable, double rate) {
    double v = taxable * rate / 100 + 0.9;
    return v >= 0 ? static_cast<double>(static_cast<std::int64_t>(v))
                  : -static_cast<double>(static_cast<std::int64_t>(-v));
}

Workload::Workload(Session& session, ScriptedDialogs& dialogs, const GeneratedChart& chart,
                   std::uint32_t seed, int numbers)
    : m_session(session), m_dialogs(dialogs), m_chart(chart), m_rng(seed), m_numbers(numbers) {}

Workload::~Workload() = default;

namespace {

// The highest invoice or credit note number of the sales register, in any section.
int HighestSalesNumber(Archives& a) {
    double highest = 0;
    const bool wasOpen = a.isOpen(arc::kIv);
    if (!wasOpen && !a.open(arc::kIv)) {
        return 0;
    }
    a.bof(arc::kIv, 0);
    while (a.get(arc::kIv, 0, isam::op::kNext, "") == 0) {
        highest = std::max(highest, Val(a.readBuffer(arc::kIv).text(ivf::kNumber)));
    }
    if (!wasOpen) {
        a.close(arc::kIv);
    }
    return static_cast<int>(highest);
}

}  // namespace

void Workload::load() {
    m_salesNumber = HighestSalesNumber(m_session.archives()) + m_numbers;
    // The revision screens by causal, as the program registers them.
    static const bool registered = [] {
        ScreenRegistry screens;
        RegisterPostingScreens(screens);
        return true;
    }();
    (void)registered;
    using K = InvoiceEntry::Kind;
    const auto lire = InvoiceEntry::Variant::Lire;
    m_sales = std::make_unique<InvoiceEntry>(m_session, K::Sales, lire);
    m_purchases = std::make_unique<InvoiceEntry>(m_session, K::Purchase, lire);
    m_receipts = std::make_unique<InvoiceEntry>(m_session, K::Receipt, lire);
    m_customerCredits = std::make_unique<InvoiceEntry>(m_session, K::CustomerCredit, lire);
    m_supplierCredits = std::make_unique<InvoiceEntry>(m_session, K::SupplierCredit, lire);
    m_collections = std::make_unique<CollectionEntry>(m_session, CollectionEntry::Kind::Collection);
    m_payments = std::make_unique<CollectionEntry>(m_session, CollectionEntry::Kind::Payment);
    m_movements = std::make_unique<GenericMovement>(m_session, GenericMovement::Variant::Lire);
    m_annulment = std::make_unique<RevisionChooser>(m_session, RevisionChooser::Mode::Annul);
    for (ScreenLogic* s : std::initializer_list<ScreenLogic*>{
             m_sales.get(), m_purchases.get(), m_receipts.get(), m_customerCredits.get(),
             m_supplierCredits.get(), m_collections.get(), m_payments.get(), m_movements.get(),
             m_annulment.get()}) {
        s->load();
    }
}

void Workload::unload() {
    for (ScreenLogic* s : std::initializer_list<ScreenLogic*>{
             m_annulment.get(), m_movements.get(), m_payments.get(), m_collections.get(),
             m_supplierCredits.get(), m_customerCredits.get(), m_receipts.get(), m_purchases.get(),
             m_sales.get()}) {
        if (s != nullptr) {
            s->unload();
        }
    }
}

const std::string& Workload::pick(const std::vector<std::string>& v) {
    return v[static_cast<size_t>(uniform(0, static_cast<int>(v.size()) - 1))];
}

std::int32_t Workload::lastLine() {
    Archives& a = m_session.archives();
    if (a.getByKey(arc::kPr, "mc") != 0) {
        return 0;
    }
    return static_cast<std::int32_t>(a.readBuffer(arc::kPr).number(prf::kValue));
}

// Sorts what the program said into the outcome: the boxes are forgotten afterwards.
Outcome Workload::finish(std::string what, std::int32_t before, std::int32_t after,
                         double seconds) {
    Outcome o;
    o.what = std::move(what);
    o.seconds = seconds;
    o.regNumber = after;
    bool conflict = false;
    bool unexpected = false;
    for (const auto& e : m_dialogs.boxes()) {
        if (e.kind == ScriptedDialogs::Event::Kind::Question) {
            m_yesPending = false;
        }
        o.said += " [" + e.title + ": " + e.text + "]";
        if (e.kind == ScriptedDialogs::Event::Kind::Question &&
            (StartsWith(e.text, kTakenAgain) || StartsWith(e.text, kAnnulQuestion))) {
            o.questions += StartsWith(e.text, kTakenAgain) ? 1 : 0;
            continue;
        }
        conflict = conflict || StartsWith(e.text, kChangedElsewhere);
        unexpected = unexpected || !StartsWith(e.text, kChangedElsewhere);
    }
    m_dialogs.clear();
    if (unexpected) {
        o.result = Outcome::Result::Failed;
    } else if (conflict) {
        o.result = after == before ? Outcome::Result::Conflict : Outcome::Result::Failed;
    } else {
        o.result = after > before ? Outcome::Result::Posted : Outcome::Result::Failed;
    }
    return o;
}

double Workload::vatRows(InvoiceEntry& s, const std::vector<std::string>& accounts, bool purchase,
                         bool& deductible, bool& nonDeductible) {
    static const char* const kSalesCodes[] = {"20", "20", "20", "10", "4"};
    static const char* const kPurchaseCodes[] = {"20", "20", "10", "4", "I20"};
    const int rows = uniform(1, 4);
    double total = 0;
    for (int r = 0; r < InvoiceEntry::kRows; ++r) {
        for (const char* column : {InvoiceEntry::kCounterAccount, InvoiceEntry::kTaxable,
                                   InvoiceEntry::kVatCode, InvoiceEntry::kVat}) {
            if (r >= rows) {
                s.form().input(CellName(column, r), "");
            }
        }
    }
    for (int r = 0; r < rows; ++r) {
        const double taxable = purchase ? amount(10, 100000) : amount(20, 200000);
        const std::string code = (purchase ? kPurchaseCodes : kSalesCodes)[uniform(0, 4)];
        const bool nd = code[0] == 'I';
        const double vat = RowVat(taxable, nd ? 20 : std::stod(code));
        total += taxable + vat;
        (nd ? nonDeductible : deductible) = true;
        s.form().input(CellName(InvoiceEntry::kCounterAccount, r), pick(accounts));
        s.form().input(CellName(InvoiceEntry::kTaxable, r), Whole(taxable));
        s.form().input(CellName(InvoiceEntry::kVatCode, r), code);
        s.form().input(CellName(InvoiceEntry::kVat, r), Whole(vat));
    }
    return total;
}

Outcome Workload::sale(const std::string& date) {
    InvoiceEntry& s = *m_sales;
    bool d = false;
    bool n = false;
    const double total = vatRows(s, m_chart.revenues, false, d, n);
    const std::string customer = pick(m_chart.customers);
    s.form().input("TEXT1", date);
    s.form().input("text3", date);
    s.form().input("text4", "Fattura di vendita");
    s.form().input("text5", customer);
    s.form().input("text7", "1");
    s.form().input("text2", std::to_string(++m_salesNumber));
    s.form().input("text6", Whole(total));
    Outcome o = confirmNumbered(s, "text2", "sales invoice of " + date);
    const std::string number = m_lastNumber;
    m_salesNumber = std::max(m_salesNumber, static_cast<int>(Val(number)));
    if (o.result == Outcome::Result::Posted) {
        m_invoicedCustomers.emplace_back(MonthOf(date), customer);
        m_lastSales.push_back({customer, number, date});
    }
    return o;
}

Outcome Workload::confirmNumbered(InvoiceEntry& s, const char* field, const std::string& what) {
    const std::int32_t before = s.lastPosted();
    double seconds = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        // The answer to the question of a number taken meanwhile: the next free one.
        answerYes();
        const std::string typed = s.form().text(field);
        const double t0 = Seconds();
        s.click("Command1");
        // The screen clears the number after posting, or keeps the one it posted with.
        m_lastNumber = s.form().text(field).empty() ? typed : s.form().text(field);
        seconds += Seconds() - t0;
        const auto boxes = m_dialogs.boxes();
        const bool taken = boxes.size() == 1 &&
                           (boxes[0].text == kProtocolTaken || boxes[0].text == kDocumentTaken ||
                            boxes[0].text == kInvoiceTaken);
        if (!taken) {
            Outcome o = finish(what, before, s.lastPosted(), seconds);
            o.taken = attempt;
            return o;
        }
        // Another station posted the number proposed: the operator types the next one.
        m_dialogs.clear();
        s.form().input(field, Format(Val(s.form().text(field)) + 1, "0"));
    }
    return finish(what + " (no free number)", before, before, seconds);
}

Outcome Workload::purchase(const std::string& date, const std::string& docDate) {
    InvoiceEntry& s = *m_purchases;
    bool deductible = false;
    bool nonDeductible = false;
    const double total = vatRows(s, m_chart.costs, true, deductible, nonDeductible);
    const std::string supplier = pick(m_chart.suppliers);
    s.form().input("TEXT1", date);
    s.form().input("text3", docDate);
    s.form().input("text4", "Fattura di acquisto");
    s.form().input("text5", supplier);
    s.form().input("text8", "1");
    const std::string document = "A" + std::to_string(uniform(1, 99999));
    s.form().input("text2", document);
    s.form().input("text6", Whole(total));
    // The screen proposes the next protocol of the section, as it does for the operator.
    s.form().input("text7", "");
    s.focus("text7");
    Outcome o = confirmNumbered(s, "text7", "purchase invoice of " + date);
    if (o.result == Outcome::Result::Posted) {
        m_invoicedSuppliers.emplace_back(MonthOf(date), supplier);
        m_lastPurchases.push_back({supplier, document, docDate});
    }
    return o;
}

Outcome Workload::receipt(const std::string& date) {
    InvoiceEntry& s = *m_receipts;
    bool d = false;
    bool n = false;
    const double total = vatRows(s, m_chart.revenues, false, d, n);
    s.form().input("TEXT1", date);
    s.form().input("text3", date);
    s.form().input("text4", "Corrispettivi del giorno");
    s.form().input("text5", m_chart.bank);
    s.form().input("text7", "1");
    s.form().input("text6", Whole(total));
    s.form().input("text2", "");
    s.focus("text2");
    return confirmNumbered(s, "text2", "cash receipt of " + date);
}

Outcome Workload::customerCredit(const std::string& date) {
    if (m_lastSales.empty()) {
        return sale(date);
    }
    const Invoice inv =
        m_lastSales[static_cast<size_t>(uniform(0, static_cast<int>(m_lastSales.size()) - 1))];
    InvoiceEntry& s = *m_customerCredits;
    bool d = false;
    bool n = false;
    const double total = vatRows(s, m_chart.revenues, false, d, n);
    // Credit notes are numbered in the sales register with the invoices.
    const std::string number = std::to_string(++m_salesNumber);
    s.form().input("TEXT1", date);
    s.form().input("text2", number);
    s.form().input("text3", date);
    s.form().input("text4", "Nota di credito");
    s.form().input("text5", inv.party);
    s.form().input("text6", Whole(total));
    s.form().input("text7", inv.number);
    s.form().input("text8", inv.date);
    s.form().input("text9", "1");
    const std::int32_t before = s.lastPosted();
    const double t0 = Seconds();
    s.click("Command1");
    return finish("customer credit note " + number + " of " + date, before, s.lastPosted(),
                  Seconds() - t0);
}

Outcome Workload::supplierCredit(const std::string& date) {
    if (m_lastPurchases.empty()) {
        return purchase(date, date);
    }
    const Invoice inv = m_lastPurchases[static_cast<size_t>(
        uniform(0, static_cast<int>(m_lastPurchases.size()) - 1))];
    InvoiceEntry& s = *m_supplierCredits;
    bool d = false;
    bool n = false;
    const double total = vatRows(s, m_chart.costs, true, d, n);
    s.form().input("TEXT1", date);
    s.form().input("text2", std::to_string(uniform(1, 99999)));
    s.form().input("text3", date);
    s.form().input("text4", "Nota di credito fornitore");
    s.form().input("text5", inv.party);
    s.form().input("text6", Whole(total));
    s.form().input("text8", "1");
    s.form().input("text9", inv.number);
    s.form().input("text10", inv.date);
    s.form().input("text7", "");
    s.focus("text7");
    return confirmNumbered(s, "text7", "supplier credit note of " + date);
}

Outcome Workload::collection(const std::string& date, bool payment) {
    auto& invoiced = payment ? m_invoicedSuppliers : m_invoicedCustomers;
    if (invoiced.empty() || invoiced.front().first >= MonthOf(date)) {
        return payment ? movement(date, "Pagamento fornitore", pick(m_chart.suppliers), true)
                       : movement(date, "Incasso cliente", pick(m_chart.customers), false);
    }
    const std::string party = invoiced.front().second;
    invoiced.pop_front();
    CollectionEntry& c = payment ? *m_payments : *m_collections;
    c.form().input("TEXT1", date);
    c.form().input("text2", std::to_string(uniform(1, 999999)));
    c.form().input("text3", date);
    c.form().input("text4", payment ? "Pagamento fattura" : "Incasso fattura");
    c.form().input("text5", party);
    c.leave("text5");
    if (c.form().items(CollectionEntry::kOpenItems).empty()) {
        m_dialogs.clear();
        return payment ? movement(date, "Pagamento fornitore", party, true)
                       : movement(date, "Incasso cliente", party, false);
    }
    c.form().inputSelected(CollectionEntry::kOpenItems, 0);
    c.doubleClick(CollectionEntry::kOpenItems);
    c.form().input("text6", c.form().text(CellName(CollectionEntry::kAmount, 0)));
    c.form().input("text7", m_chart.bank);
    const std::int32_t before = c.lastPosted();
    const double t0 = Seconds();
    c.click("Command1");
    return finish(std::string(payment ? "payment" : "collection") + " of " + date, before,
                  c.lastPosted(), Seconds() - t0);
}

Outcome Workload::movement(const std::string& date, const std::string& description,
                           const std::string& account, bool bankPays) {
    GenericMovement& g = *m_movements;
    const std::string value = Whole(amount(100, 400000));
    g.form().input("TEXT1", date);
    g.form().input("text2", std::to_string(uniform(1, 999999)));
    g.form().input("text3", date);
    g.form().input("text4", description);
    g.form().input("conto:0", bankPays ? account : m_chart.bank);
    g.form().input("dare:0", value);
    g.form().input("conto:1", bankPays ? m_chart.bank : account);
    g.form().input("avere:1", value);
    const std::int32_t before = g.lastPosted();
    const double t0 = Seconds();
    g.click("Command1");
    return finish(description + " of " + date, before, g.lastPosted(), Seconds() - t0);
}

Outcome Workload::wages(const std::string& date) {
    GenericMovement& g = *m_movements;
    const double gross = amount(1500000, 2500000);
    const double charges = amount(20000, 60000);
    g.form().input("TEXT1", date);
    g.form().input("text2", "");
    g.form().input("text3", date);
    g.form().input("text4", "Stipendi del mese");
    g.form().input("conto:0", m_chart.wages);
    g.form().input("dare:0", Whole(gross));
    g.form().input("conto:1", m_chart.bankCharges);
    g.form().input("dare:1", Whole(charges));
    g.form().input("conto:2", m_chart.bank);
    g.form().input("avere:2", Whole(gross + charges));
    const std::int32_t before = g.lastPosted();
    const double t0 = Seconds();
    g.click("Command1");
    return finish("wages of " + date, before, g.lastPosted(), Seconds() - t0);
}

void Workload::look() {
    if (lookingTime > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(lookingTime));
    }
}

void Workload::answerYes() {
    if (!m_yesPending) {
        m_dialogs.queueAnswer(Answer::Yes);
        m_yesPending = true;
    }
}

void Workload::announce(const std::string& regNumber) {
    if (announceRemoval) {
        announceRemoval(PostingEngine(m_session).lines(regNumber));
    }
}

Outcome Workload::revise(const std::string& regNumber) {
    const auto lines = PostingEngine(m_session).lines(regNumber);
    Outcome gone;
    gone.result = Outcome::Result::Gone;
    gone.what = "revision of " + regNumber;
    if (lines.empty()) {
        return gone;
    }
    const std::string causal = lines.front().record.text(mcf::kCausal);
    auto factory = RevisionScreens().find(causal);
    if (factory == RevisionScreens().end()) {
        gone.result = Outcome::Result::Failed;
        gone.said = "no revision screen for " + causal;
        return gone;
    }
    std::unique_ptr<ScreenLogic> screen = factory->second(m_session, regNumber);
    screen->load();
    look();
    announce(regNumber);
    screen->form().input("text4", "Rettifica");
    const double t0 = Seconds();
    screen->click("Command1");
    const double seconds = Seconds() - t0;
    const std::int32_t after = LastPosted(*screen);
    screen->unload();
    return finish(gone.what + " (" + causal + ")", 0, after, seconds);
}

Outcome Workload::annul(const std::string& regNumber) {
    RevisionChooser& c = *m_annulment;
    c.form().input(RevisionChooser::kNumber, regNumber);
    c.leave(RevisionChooser::kNumber);
    Outcome gone;
    gone.result = Outcome::Result::Gone;
    gone.what = "annulment of " + regNumber;
    if (c.form().items(RevisionChooser::kList).empty()) {
        return gone;
    }
    look();
    announce(regNumber);
    answerYes();
    const double t0 = Seconds();
    c.click(RevisionChooser::kConfirm);
    const double seconds = Seconds() - t0;
    // Gone, and not because another station removed it first and this one was told so.
    const auto boxes = m_dialogs.boxes();
    const bool refused = std::any_of(boxes.begin(), boxes.end(), [](const auto& e) {
        return StartsWith(e.text, kChangedElsewhere);
    });
    const bool removed = !refused && PostingEngine(m_session).lines(regNumber).empty();
    return finish(gone.what, 0, removed ? 1 : 0, seconds);
}

std::string Workload::recentRegistration() {
    const std::int32_t last = lastLine();
    Archives& a = m_session.archives();
    for (int attempt = 0; attempt < 20 && last > 0; ++attempt) {
        // The last few dozen lines: the registrations the other stations are busy with.
        const int n = uniform(std::max(1, last - 60), last);
        if (a.getByKey(arc::kMc, Format(n, "00000000")) == 0) {
            return a.readBuffer(arc::kMc).text(mcf::kRegNumber);
        }
    }
    return {};
}

std::string Workload::someDate() {
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%s", uniform(1, 28), uniform(1, 12),
                  m_session.values().year.c_str());
    return date;
}

Outcome Workload::any(const std::string& date, bool removals) {
    if (removals) {
        const int r = uniform(0, 99);
        if (r < 10) {
            const std::string reg = recentRegistration();
            if (!reg.empty()) {
                return r < 6 ? revise(reg) : annul(reg);
            }
        }
    }
    const int kind = uniform(0, 99);
    if (kind < 36) {
        return sale(date);
    }
    if (kind < 60) {
        const int docDay = std::max(1, std::stoi(date.substr(0, 2)) - uniform(0, 6));
        char docDate[16];
        std::snprintf(docDate, sizeof docDate, "%02d%s", docDay, date.substr(2).c_str());
        return purchase(date, docDate);
    }
    if (kind < 68) {
        return receipt(date);
    }
    if (kind < 70) {
        return customerCredit(date);
    }
    if (kind < 71) {
        return supplierCredit(date);
    }
    if (kind < 85) {
        return collection(date, false);
    }
    if (kind < 96) {
        return collection(date, true);
    }
    return movement(date, "Spese bancarie", m_chart.bankCharges, true);
}

}  // namespace zelvo::bench
