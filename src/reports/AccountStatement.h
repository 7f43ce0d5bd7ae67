#pragma once

#include <set>
#include <string>
#include <vector>

#include "isam/Record.h"
#include "reports/CardLayout.h"
#include "session/PrintScreen.h"
#include "session/ReportSink.h"

namespace zelvo {

// A customer's or supplier's statement ("ESTRATTO CONTO  "): the party's movements in date
// order, all of them ("Storico") or only those of documents still open ("Partite aperte").
// A document is the document number and date a movement carries: the collection or
// payment of an invoice carries the invoice's own, so an invoice is open while its
// movements on the party do not net to zero. Movements without a document count as one
// document of their own.

// The documents of the account whose movements do not net to zero, as document date and
// number (the account's part of the account-and-document key). False on a failed read.
bool OpenDocuments(Archives& archives, const std::string& account, std::set<std::string>& open);
// The document a movement belongs to, as OpenDocuments names it.
std::string DocumentOf(const isam::Record& row);

// A statement row: document number and date, description, debit, credit and the running
// balance after the row.
std::string StatementRow(const isam::Record& row, const CardAmounts& amounts, double balance);
inline constexpr const char* kStatementHeading =
    "  N. e data doc.   Descrizione movimento                         Dare         Avere"
    "         Saldo";

struct StatementRequest {
    std::string account;  // the party's item number
    bool openOnly = true;
    bool euro = false;
    bool preview = false;
};

// The statement print: per page "Data: ", the title and "Pag.", "Cliente: " or "Fornitore: "
// with the name and the column headings; a row per movement; the footer with the opening
// balance and the party's running totals. False when nothing was printed.
bool PrintAccountStatement(Session& session, ReportSink& sink, const StatementRequest& request);

// STEC, "Stampa estratto conto".
class AccountStatementPrint : public PrintScreen {
  public:
    static constexpr const char* kParty = "text1";
    static constexpr const char* kOpenItems = "Option1";
    static constexpr const char* kHistory = "Option2";
    static constexpr const char* kEuro = "Check1";

    explicit AccountStatementPrint(Session& session);
    static FormSpec layout();
    void load() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  protected:
    void printRequested() override;
};

}  // namespace zelvo
