#pragma once

#include <map>
#include <string>
#include <vector>

#include "session/ReportSink.h"
#include "session/Session.h"

namespace zelvo::vat {

// The annual list of customers (from the sales VAT rows) or of suppliers (from the purchase
// VAT rows) of the chosen year.
enum class ListKind { Customers, Suppliers };

// The amount columns: A taxable operations, B VAT charged, C non-taxable and exempt (for
// suppliers: purchases without tax), D (suppliers only) purchases not taxable under article
// 8 of the VAT law. A VAT code with a rate is A and B; a code without a rate is D when its
// description names "art. 8" and the list is the suppliers', C otherwise.
struct Amounts {
    int invoices = 0;
    double a = 0;
    double b = 0;
    double c = 0;
    double d = 0;
    double total() const { return a + b + c + d; }
    Amounts& operator+=(const Amounts& o);
};

// One counterpart: its chart data and the amounts of the invoices dated in the year and in
// the year before. Invoices are counted once however many VAT rows they have (the rows of
// an invoice follow each other in the register).
struct Counterpart {
    std::string number;
    std::string name;
    std::string address;
    std::string city;
    std::string vatNumber;
    bool naturalPerson = false;  // a 16-character tax code: a person, not a company
    bool imports = false;        // suppliers whose VAT number is not Italian (11 digits)
    Amounts year;
    Amounts previousYear;
};

// The counterparts with a VAT number that the rows of the open VAT archive name, in order of
// VAT number (then name), with the rows dated in `year` or the year before; rows of other
// years are left out. The VAT code table and the chart are read as the rows name them.
// False when the rows could not all be read (reported).
bool CollectCounterparts(Session& session, ListKind kind, const std::string& year,
                         std::vector<Counterpart>& out);

// Prints the list of the session's year (see the layout in AnnualList.cpp): opens the VAT
// archive and the sink (never a preview: the list goes straight to the document the program
// gives) and closes them again. False when nothing was printed.
bool PrintAnnualList(Session& session, ReportSink& sink, ListKind kind);

}  // namespace zelvo::vat
