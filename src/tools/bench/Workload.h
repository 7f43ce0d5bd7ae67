#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/Dialogs.h"
#include "posting/PostingEngine.h"
#include "session/Session.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo {
class CollectionEntry;
class GenericMovement;
class InvoiceEntry;
class RevisionChooser;
}  // namespace zelvo

namespace zelvo::bench {

// How one registration of the workload ended.
struct Outcome {
    enum class Result {
        Posted,    // written: `regNumber` is the new registration (1 for an annulment)
        Conflict,  // another station was first and the program said so (`said`)
        Gone,      // the registration to revise or annul was no longer there to open
        Failed,    // the program said something no race explains, or wrote nothing
    };
    Result result = Result::Failed;
    std::int32_t regNumber = 0;
    std::string what;    // the kind and document, for messages
    std::string said;    // the boxes the program showed, "[title: text]" each
    double seconds = 0;  // the confirm alone
    int questions = 0;   // number races answered Yes
    int taken = 0;       // numbers refused as "già registrato" and retyped
};

// Every kind of registration, posted through the entry screens' own logic as an operator
// would: generic movements, sales and purchase invoices, cash receipts, customer and supplier
// credit notes, collections and payments that settle open instalments, revisions through the
// revision screen of a registration's causal and annulments through the single-registration
// annulment. Amounts, parties and documents come from a seeded generator, so a run can be
// repeated. Several stations may run workloads on one data directory at once: a number taken
// meanwhile is answered as the operator would (Yes to the next free number, or the next
// number typed after "già registrato"), and each outcome says which answer the program gave.
class Workload {
  public:
    // Sales invoices and credit notes are numbered from the highest number of the sales
    // register plus `numbers`: stations working at once start apart, and a number another
    // station took meanwhile is refused and retyped.
    Workload(Session& session, ScriptedDialogs& dialogs, const GeneratedChart& chart,
             std::uint32_t seed, int numbers = 0);
    ~Workload();
    Workload(const Workload&) = delete;
    Workload& operator=(const Workload&) = delete;

    // Opens and closes the entry screens.
    void load();
    void unload();

    Outcome sale(const std::string& date);
    Outcome purchase(const std::string& date, const std::string& docDate);
    Outcome receipt(const std::string& date);
    Outcome customerCredit(const std::string& date);
    Outcome supplierCredit(const std::string& date);
    // Settles the first open instalment of a party invoiced at least a month before `date`;
    // a generic movement of the money when there is none.
    Outcome collection(const std::string& date, bool payment);
    // A two-line movement between the bank and `account`: the bank pays when `bankPays`.
    Outcome movement(const std::string& date, const std::string& description,
                     const std::string& account, bool bankPays);
    Outcome wages(const std::string& date);
    // The registration revised through its causal's revision screen, its description changed.
    Outcome revise(const std::string& regNumber);
    // The registration annulled through "annsr", answering Yes to its question.
    Outcome annul(const std::string& regNumber);

    // One registration of the year's mix on `date`; with `removals` also revisions and
    // annulments of registrations posted so far by any station.
    Outcome any(const std::string& date, bool removals);

    // Told the lines of a registration just before a revision or annulment may remove them,
    // so that a check after a crash can tell a removed registration from a lost one.
    std::function<void(const std::vector<PostingEngine::PostedLine>&)> announceRemoval;

    // A date of the session's year: days 1 to 28 of any month.
    std::string someDate();

    // How long the operator looks at a revision or annulment before confirming it, in
    // seconds: the time another station has to change the registration meanwhile.
    double lookingTime = 0;

    // The counter "mc": the last line number used.
    std::int32_t lastLine();

  private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    const std::string& pick(const std::vector<std::string>& v);
    double amount(int lo, int hi) { return static_cast<double>(uniform(lo, hi)) * 50; }
    Outcome finish(std::string what, std::int32_t before, std::int32_t after, double seconds);
    // Fills the VAT grid of `s` with 1..4 rows on `accounts`; returns the document's total.
    double vatRows(InvoiceEntry& s, const std::vector<std::string>& accounts, bool purchase,
                   bool& deductible, bool& nonDeductible);
    // Confirms a screen that allocates a number per section, retyping the next one when
    // another station took it first.
    Outcome confirmNumbered(InvoiceEntry& s, const char* field, const std::string& what);
    // A registration of any station in the journal, chosen at random among the last ones.
    std::string recentRegistration();
    void announce(const std::string& regNumber);
    // Queues the operator's Yes for the next question, once: a question the program did not
    // ask leaves it waiting for the next.
    void answerYes();
    void look();

    Session& m_session;
    ScriptedDialogs& m_dialogs;
    const GeneratedChart& m_chart;
    std::mt19937 m_rng;
    bool m_yesPending = false;
    std::string m_lastNumber;  // the number the last numbered confirm posted with
    int m_numbers;
    int m_salesNumber = 0;
    std::unique_ptr<InvoiceEntry> m_sales;
    std::unique_ptr<InvoiceEntry> m_purchases;
    std::unique_ptr<InvoiceEntry> m_receipts;
    std::unique_ptr<InvoiceEntry> m_customerCredits;
    std::unique_ptr<InvoiceEntry> m_supplierCredits;
    std::unique_ptr<CollectionEntry> m_collections;
    std::unique_ptr<CollectionEntry> m_payments;
    std::unique_ptr<GenericMovement> m_movements;
    std::unique_ptr<RevisionChooser> m_annulment;
    // The parties invoiced, with the month (year × 12 + month) of the invoice, oldest first.
    std::deque<std::pair<int, std::string>> m_invoicedCustomers;
    std::deque<std::pair<int, std::string>> m_invoicedSuppliers;
    // The last invoices, for the credit notes that correct them: party, number, date.
    struct Invoice {
        std::string party, number, date;
    };
    std::vector<Invoice> m_lastSales;
    std::vector<Invoice> m_lastPurchases;
};

// The VAT the invoice screens compute for a row: rounded up unless the fraction is below a
// tenth.
double RowVat(double taxable, double rate);

}  // namespace zelvo::bench
