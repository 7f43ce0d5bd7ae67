#include "masterdata/PartyPrint.h"

#include <algorithm>
#include <memory>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/ChartFields.h"
#include "session/ReportPager.h"
#include "session/ReportRun.h"

namespace zelvo {

using party::Party;

namespace {

struct Column {
    const char* check;    // the check box that ticks it
    const char* caption;  // of its check box
    const char* title;    // over the printed column
    int width;
    int field;
    bool amount;
};

constexpr Column kColumns[kPartyPrintColumns] = {
    {"Check1", "Ragione sociale", "Ragione sociale", 30, chart::kDescription, false},
    {"Check2", "Seconda riga ragione sociale", "Seconda riga ragione sociale", 30,
     chart::kNameLine2, false},
    {"Check3", "Indirizzo", "Indirizzo", 30, chart::kAddress, false},
    {"Check4", "CAP", "CAP", 5, chart::kPostCode, false},
    {"Check5", "Città", "Città", 25, chart::kCity, false},
    {"Check6", "Provincia", "Provincia", 9, chart::kProvince, false},
    {"Check7", "Partita iva", "Partita iva", 16, chart::kVatNumber, false},
    {"Check8", "Codice fiscale", "Codice fiscale", 16, chart::kTaxCode, false},
    {"Check9", "Telefono", "Telefono", 15, chart::kPhone, false},
    {"Check10", "Fax", "Fax", 15, chart::kFax, false},
    {"Check11", "Condizioni pagamento", "Condizioni pagamento", 30, chart::kPaymentTerms, false},
    {"Check12", "Saldo contabile", "          Saldo", 15, chart::kClosingBalance, true},
};

constexpr const char* kBalanceMask = "##,###,###,##0";
constexpr const char* kCaption = "Label1";

// The ticked columns line by line: a column that would pass the page's right edge starts
// the next line.
std::vector<std::vector<int>> layOut(const std::vector<bool>& ticked) {
    std::vector<std::vector<int>> lines;
    int used = 0;
    for (int i = 0; i < kPartyPrintColumns; ++i) {
        if (!ticked[static_cast<size_t>(i)]) {
            continue;
        }
        const int width = kColumns[i].width;
        if (!lines.empty() && used + 1 + width <= kReportWidth) {
            lines.back().push_back(i);
            used += 1 + width;
        } else {
            lines.push_back({i});
            used = width;
        }
    }
    return lines;
}

template <typename Cell>
std::vector<std::string> compose(const std::vector<std::vector<int>>& layout, Cell cell) {
    std::vector<std::string> out;
    for (const std::vector<int>& line : layout) {
        std::string text;
        for (int i : line) {
            const Column& c = kColumns[i];
            text += (text.empty() ? "" : " ") +
                    (c.amount ? PadLeft(cell(c), c.width)
                              : PadRight(Utf8Left(cell(c), c.width), c.width));
        }
        out.push_back(RightTrim(text));
    }
    return out;
}

// The parties of the list in name order (the whole archive by key field 1), those of the
// kind only, and only those with a balance when asked. False when a read failed: reported,
// and what was read so far was handed on.
bool ForEachParty(Archives& a, Party party, bool nonZeroOnly,
                  const std::function<void(const isam::Record&)>& each) {
    const std::string kind = party::TraitsOf(party).kind;
    std::int16_t s = a.bof(arc::kPc, chart::kDescription);
    while (s == 0) {
        s = a.get(arc::kPc, chart::kDescription, isam::op::kNext, "");
        if (s != 0) {
            break;
        }
        const isam::Record& r = a.readBuffer(arc::kPc);
        if (r.text(chart::kKind) == kind &&
            !(nonZeroOnly && r.number(chart::kClosingBalance) == 0)) {
            each(r);
        }
    }
    if (s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, arc::kPc, PartyPrint::kListRead);
        return false;
    }
    return true;
}

}  // namespace

bool ListParties(Session& session, Party party, const std::vector<bool>& columns, bool nonZeroOnly,
                 PartyTable& table) {
    std::vector<int> ticked;
    for (int i = 0; i < kPartyPrintColumns; ++i) {
        if (columns[static_cast<size_t>(i)]) {
            ticked.push_back(i);
            table.titles.push_back(kColumns[i].caption);
            table.amounts.push_back(kColumns[i].amount);
        }
    }
    if (ticked.empty()) {
        return false;
    }
    table.title = party == Party::Customer ? "STAMPA CLIENTI" : "STAMPA FORNITORI";
    return ForEachParty(session.archives(), party, nonZeroOnly, [&](const isam::Record& r) {
        std::vector<std::string> row;
        for (int i : ticked) {
            row.push_back(kColumns[i].amount ? Str(r.number(kColumns[i].field))
                                             : r.text(kColumns[i].field));
        }
        table.rows.push_back(std::move(row));
    });
}

bool PrintParties(Session& session, ReportSink& sink, Party party, const std::vector<bool>& columns,
                  bool nonZeroOnly, bool preview) {
    const std::vector<std::vector<int>> layout = layOut(columns);
    if (layout.empty()) {
        return false;
    }
    ReportRun run(session, sink, preview);
    if (!run.opened()) {
        return false;
    }
    const ProgramValues& v = session.values();
    const std::vector<std::string> titles =
        compose(layout, [](const Column& c) { return std::string(c.title); });
    const char* title = party == Party::Customer ? "STAMPA CLIENTI" : "STAMPA FORNITORI";
    ReportPager pager(
        sink, v.print.linesPerPage,
        [&](int page) {
            // The title in the middle of the 97 columns, the page number at the right edge.
            std::vector<std::string> h = {PadRight("Data: " + v.today, 41) + PadRight(title, 42) +
                                              PadLeft("Pag. " + std::to_string(page), 14),
                                          ""};
            h.insert(h.end(), titles.begin(), titles.end());
            h.push_back(Rule('-'));
            return h;
        },
        Rule('-'));
    pager.start();

    ForEachParty(session.archives(), party, nonZeroOnly, [&](const isam::Record& r) {
        for (const std::string& line : compose(layout, [&r](const Column& c) {
                 return c.amount ? Format(r.number(c.field), kBalanceMask) : r.text(c.field);
             })) {
            pager.print(line);
        }
        // A party's lines stay on one page.
        pager.breakIfFull();
    });
    pager.print(Rule('-'));
    return true;
}

PartyPrint::PartyPrint(Session& session, Party party, PartyTableTarget toSheet)
    : ScreenLogic(session, makeSpec(party)), m_party(party), m_toSheet(std::move(toSheet)) {
    on(Event::Click, kPrint, [this] { print(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec PartyPrint::makeSpec(Party party) {
    FormSpec f;
    const bool customer = party == Party::Customer;
    f.name = customer ? "sps" : "spsforn";
    f.title = customer ? "Stampa parametrica clienti" : "Stampa parametrica fornitori";
    f.label(kCaption, "Dati da stampare", 0).columnSpan = 2;
    for (int i = 0; i < kPartyPrintColumns; ++i) {
        f.check(kColumns[i].check, kColumns[i].caption, 1 + i / 2, i % 2);
    }
    const int row = 1 + kPartyPrintColumns / 2;
    f.check(kNonZeroOnly, "Solo con saldo finale diverso da zero", row).columnSpan = 2;
    f.check(kPreview, "Anteprima di stampa", row + 1).columnSpan = 2;
    f.check(kSpreadsheet, "Carica dati nel foglio elettronico", row + 2).columnSpan = 2;
    f.button(kPrint, "&Stampa", row + 3, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", row + 3, 1, {.isCancel = true});
    return f;
}

void PartyPrint::load() {
    form().setEnabled(kSpreadsheet, static_cast<bool>(m_toSheet));
}

void PartyPrint::print() {
    std::vector<bool> columns;
    for (const Column& c : kColumns) {
        columns.push_back(form().checked(c.check));
    }
    if (std::find(columns.begin(), columns.end(), true) == columns.end()) {
        inputError("Non è stato selezionato nessun dato da stampare");
        return;
    }
    if (m_toSheet && form().checked(kSpreadsheet)) {
        PartyTable table;
        if (ListParties(session(), m_party, columns, form().checked(kNonZeroOnly), table)) {
            m_toSheet(session(), std::move(table));
        }
        return;
    }
    printReport([&](ReportSink& sink) {
        return PrintParties(session(), sink, m_party, columns, form().checked(kNonZeroOnly),
                            form().checked(kPreview));
    });
}

}  // namespace zelvo
