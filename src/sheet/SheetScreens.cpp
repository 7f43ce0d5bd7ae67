#include "sheet/SheetScreens.h"

#include <algorithm>

#include "base/Utf8.h"
#include "masterdata/PartyPrint.h"
#include "sheet/Agenda.h"
#include "sheet/CalculatorScreen.h"
#include "sheet/EecDataSheet.h"
#include "sheet/EecStatementWindow.h"
#include "sheet/FavouriteAccounts.h"
#include "sheet/Finder.h"
#include "sheet/SheetWindow.h"

namespace zelvo {

namespace {

// The parametric print's list in a new spreadsheet window: the titles on the first row,
// amounts as numbers, every other field as the text it is (a post code "00100" stays so).
void OpenPartyTable(Session& session, PartyTable table) {
    sheet::Sheet s;
    s.title = table.title;
    s.beginBatch();
    for (size_t c = 0; c < table.titles.size(); ++c) {
        const int column = static_cast<int>(c);
        s.setEntry({0, column}, "'" + table.titles[c]);
        size_t widest = static_cast<size_t>(Utf8Length(table.titles[c]));
        for (size_t r = 0; r < table.rows.size(); ++r) {
            const std::string& field = table.rows[r][c];
            s.setEntry({static_cast<int>(r) + 1, column}, table.amounts[c] ? field : "'" + field);
            widest = std::max(widest, static_cast<size_t>(Utf8Length(field)));
        }
        s.setColumnWidth(column, static_cast<int>(std::min<size_t>(widest, 40)));
        if (table.amounts[c]) {
            s.setFormat({{1, column}, {static_cast<int>(table.rows.size()), column}}, "#.##0");
        }
    }
    s.endBatch();
    if (ScreenHost* host = session.host()) {
        host->openScreen(std::make_unique<SheetWindow>(session, std::move(s)), false);
    }
}

}  // namespace

void RegisterSheetScreens(ScreenRegistry& registry) {
    // The utilities of "Va&rie", the toolbar and "P&iano conti".
    registry.add("AGENDA", ScreenRegistry::make<Agenda>());
    registry.add("TROVA", ScreenRegistry::make<Finder>());
    registry.add("REGFACIL", ScreenRegistry::make<FavouriteAccounts>());
    registry.add("CALC", ScreenRegistry::make<CalculatorScreen>());
    // The spreadsheet window, and the EEC statement that opens in it.
    registry.add("Foglio", ScreenRegistry::make<SheetWindow>());
    registry.add("BILCEE", ScreenRegistry::make<EecStatementWindow>());
    registry.add("REGCEE", ScreenRegistry::make<EecDataSheet>());
    // The parametric prints of customers and suppliers, registered here because they can load
    // their list into the spreadsheet window.
    for (party::Party p : {party::Party::Customer, party::Party::Supplier}) {
        registry.add(p == party::Party::Customer ? "sps" : "spsforn", [p](Session& s) {
            return std::make_unique<PartyPrint>(s, p, OpenPartyTable);
        });
    }
}

}  // namespace zelvo
