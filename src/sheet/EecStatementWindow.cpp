#include "sheet/EecStatementWindow.h"

#include "masterdata/Chart.h"
#include "sheet/EecScheme.h"

namespace zelvo {

namespace {

sheet::Sheet Titled(const std::string& year) {
    sheet::Sheet s;
    s.title = "Bilancio " + year;
    return s;
}

}  // namespace

EecStatementWindow::EecStatementWindow(Session& session)
    : SheetWindow(session, Titled(session.values().year)) {}

void EecStatementWindow::load() {
    Archives& a = archives();
    std::vector<std::string> codes(kEecRows);
    // Without the data archive the statement still comes, with its labels and formulas.
    if (a.exists(a.fileName(arc::kCe)) && a.open(arc::kCe)) {
        for (int row = 0; row < kEecRows; ++row) {
            if (a.getByKey(arc::kCe, EecRowKey(row)) == 0) {
                codes[static_cast<size_t>(row)] = a.readBuffer(arc::kCe).text(kEecCodeField);
            }
        }
        a.close(arc::kCe);
    }
    sheet() = EecStatement(
        session().values().year, codes,
        [&a](const std::string& code) -> std::optional<double> {
            const auto item = chart::ByAccountCode(a, code);
            return item ? std::optional<double>(item->closingBalance) : std::nullopt;
        },
        [this](const std::string& code) {
            dialogs().message("La voce " + code + " non è registrata nel piano dei conti",
                              "Attenzione", Icon::Exclamation);
        });
}

}  // namespace zelvo
