#include "posting/GenericMovement.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "posting/BalanceCheck.h"
#include "posting/DateChecks.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

// Kinds a generic movement may post to: every sub-account, never a mastro or conto.
const std::vector<std::string> kPostable = {"s", "c", "f", "ag"};

FormSpec movementForm(GenericMovement::Variant v) {
    using V = GenericMovement::Variant;
    FormSpec f;
    f.name = v == V::Lire ? "MCMG" : v == V::Euro ? "MCMG3" : "MCMG2";
    f.title = v == V::Lire   ? "Registrazione movimento generico"
              : v == V::Euro ? "Registrazione movimento generico in Euro"
                             : "Revisione movimento generico";
    f.date("TEXT1", "Data registrazione:", 0);
    f.text("text2", "N. doc.:", 1, 8).pattern = "[0-9]{0,6}";
    f.date("text3", "Data doc.:", 2);
    f.text("text4", "Descrizione  movimento:", 3, 40);
    ControlSpec& grid = f.add(ControlKind::Grid, GenericMovement::kGrid, "", 4);
    grid.columnSpan = 4;
    grid.rows = GenericMovement::kRows;
    grid.pageRows = GenericMovement::kPageRows;
    const char* amounts = v == V::Euro ? kEuroPattern : kLirePattern;
    grid.columns = {
        AccountColumn("conto", "Sottoconto", 28),
        TextColumn("agg", "Descr.aggiunt.", 18),
        TextColumn("dare", "Dare", 15, amounts),
        TextColumn("avere", "Avere", 15, amounts),
        LabelColumn("LabelX", "", 28),
    };
    ControlSpec& spin = f.add(ControlKind::Spin, "Spin1", "Pagina precedente/seguente:", 5);
    spin.minimum = 0;
    spin.maximum = GenericMovement::kRows / GenericMovement::kPageRows - 1;
    f.button("Command1", "&Registra", 6, 0);
    int column = 1;
    if (v == V::Euro) {
        f.button("Command2", "&Converti in Lire", 6, column++);
    }
    f.button("Command3", "Nuovo &sottoconto", 6, column++);
    f.button("Command4", "&Annulla", 6, column).isCancel = true;
    return f;
}

}  // namespace

GenericMovement::GenericMovement(Session& session, Variant variant, std::string regNumber)
    : ScreenLogic(session, movementForm(variant)),
      m_variant(variant),
      m_regNumber(std::move(regNumber)),
      m_euro(variant == Variant::Euro, "Command2", "Command1") {}

void GenericMovement::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
    form().setText("TEXT1", session().values().yearDateMask);
    form().setText("text3", session().values().yearDateMask);
    form().setText("Spin1", "0");
    form().setSelected(kGrid, 0);
    m_euro.reset(form());
    if (m_variant == Variant::Revision) {
        fillFromRegistration();
    }
}

void GenericMovement::unload() {
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

std::vector<std::string> GenericMovement::suggestions(const std::string& control,
                                                      const std::string& typed, bool full) {
    std::string column;
    int row = 0;
    if (!ParseCell(control, column, row) || column != "conto") {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed, kPostable, full);
}

void GenericMovement::showPage(int page) {
    form().setSelected(kGrid, page);
    form().setText("Spin1", std::to_string(page));
}

void GenericMovement::change(const std::string& control) {
    if (control == "Spin1") {
        showPage(WholeVal(text("Spin1"), 0, kRows / kPageRows - 1));
    } else if (control == kGrid) {
        // The view moved to another page (to show a cell): the spinner follows.
        form().setText("Spin1", std::to_string(form().selected(kGrid)));
    }
}

bool GenericMovement::leaveRegistrationDate() {
    std::string date = text("TEXT1");
    ClearEmptyDate(date);
    if (!IsValidDateText(date, 1950, 2050)) {
        inputError("La data inserita non è valida", "TEXT1");
        return false;
    }
    if (date.substr(6, 4) != session().values().year) {
        dialogs().message("L'anno inserito non corrisponde all'anno di lavoro", "Zelvo",
                          Icon::Exclamation);
        requestFocus("TEXT1");
        return false;
    }
    CheckJournalPrinted(session(), date);
    return true;
}

bool GenericMovement::leaveAccount(int row) {
    const std::string name = text(CellName("conto", row));
    std::string& account = m_accounts[static_cast<size_t>(row)];
    account.clear();
    form().setText(CellName("LabelX", row), "");
    if (name.empty()) {
        return true;
    }
    auto item = chart::ByDescription(archives(), name);
    if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
        dialogs().beep();
        focusCell(kGrid, "conto", row);
        form().setText("Spin1", std::to_string(pageOf(kGrid, row)));
        return false;
    }
    account = item->number;
    form().setText(CellName("LabelX", row), item->description);
    return true;
}

void GenericMovement::leave(const std::string& control) {
    if (control == "TEXT1") {
        leaveRegistrationDate();
        return;
    }
    if (control == "text3") {
        std::string date = text("text3");
        if (!CheckDocumentDate(session(), date)) {
            requestFocus("text3");
        }
        return;
    }
    std::string column;
    int row = 0;
    if (!ParseCell(control, column, row)) {
        return;
    }
    if (column == "conto") {
        leaveAccount(row);
    }
}

double GenericMovement::amount(const std::string& column, int row) const {
    return m_euro.amount(text(CellName(column, row)));
}

void GenericMovement::click(const std::string& control) {
    if (control == "Command1") {
        confirm();
    } else if (control == "Command2" && m_euro.active()) {
        std::vector<std::string> amounts;
        for (int row = 0; row < kRows; ++row) {
            amounts.push_back(CellName("dare", row));
            amounts.push_back(CellName("avere", row));
        }
        m_euro.convert(form(), session().values().exchangeRate, amounts);
    } else if (control == "Command3" && host() != nullptr) {
        host()->openScreen("RPC");
    } else if (control == "Command4") {
        requestClose();
    }
}

void GenericMovement::confirm() {
    if (m_euro.inEuro()) {
        return;
    }
    if (!leaveRegistrationDate()) {
        return;
    }
    std::string docDate = text("text3");
    if (!CheckDocumentDate(session(), docDate)) {
        requestFocus("text3");
        return;
    }
    // The accounts are read again: another station may have renamed or annulled one.
    std::vector<BalanceRow> rows(kRows);
    for (int row = 0; row < kRows; ++row) {
        if (!leaveAccount(row)) {
            return;
        }
        rows[static_cast<size_t>(row)] = {text(CellName("conto", row)), amount("dare", row),
                                          amount("avere", row)};
    }
    BalanceResult check = CheckBalance(dialogs(), rows);
    if (check.balanceError) {
        if (check.errorRow >= 0) {
            bool inCredit =
                amount("dare", check.errorRow) == 0 && amount("avere", check.errorRow) != 0;
            std::string column = check.errorColumn == 1 ? "conto" : inCredit ? "avere" : "dare";
            focusCell(kGrid, column, check.errorRow);
            form().setText("Spin1", std::to_string(pageOf(kGrid, check.errorRow)));
        }
        return;
    }

    JournalEntry entry;
    entry.regDate = text("TEXT1");
    entry.docNumber = text("text2");
    entry.docDate = docDate;
    entry.causal = "mg";
    const isam::FieldDesc* detail = session().records().description(archives().handle(arc::kTt));
    for (int row = 0; row < kRows; ++row) {
        const std::string& account = m_accounts[static_cast<size_t>(row)];
        if (account.empty()) {
            continue;
        }
        const std::string agg = text(CellName("agg", row));
        double debit = amount("dare", row);
        double credit = amount("avere", row);
        entry.lines.push_back({account, debit, credit, text("text4") + " " + agg});
        NumberedRecord d{arc::kTt, "dati", isam::Record(*detail)};
        d.record.setText(ttf::kCell1, account);
        d.record.setText(ttf::kCell2, agg);
        d.record.setText(ttf::kCell3, Str(debit));
        d.record.setText(ttf::kCell4, Str(credit));
        entry.detailRows.push_back(std::move(d));
    }
    if (entry.lines.empty()) {
        return;
    }
    PostingEngine engine(session());
    m_lastPosted = m_variant == Variant::Revision ? engine.replace(m_regNumber, m_loaded, entry)
                                                  : engine.post(entry);
    if (m_variant == Variant::Revision) {
        requestClose();
        return;
    }
    clearRows();
}

void GenericMovement::clearRows() {
    for (int row = 0; row < kRows; ++row) {
        for (const char* column : {"conto", "agg", "dare", "avere", "LabelX"}) {
            if (!text(CellName(column, row)).empty()) {
                form().setText(CellName(column, row), "");
            }
        }
        m_accounts[static_cast<size_t>(row)].clear();
    }
    showPage(0);
    m_euro.reset(form());
}

void GenericMovement::fillFromRegistration() {
    PostingEngine engine(session());
    m_loaded = engine.lines(m_regNumber);
    const auto& lines = m_loaded;
    if (lines.empty()) {
        return;
    }
    const isam::Record& first = lines.front().record;
    auto shownDate = [](const std::string& key) {
        return key.empty() ? std::string() : InputToDate(FromKeyDate(key));
    };
    form().setText("TEXT1", shownDate(first.text(mcf::kRegDate)));
    form().setText("text2", wholeNumber(Val(first.text(mcf::kDocNumber))));
    form().setText("text3", shownDate(first.text(mcf::kDocDate)));

    auto details = engine.detailRows(m_regNumber);
    std::string description = first.text(mcf::kDescription);
    std::string firstAgg = details.empty() ? std::string() : details.front().text(ttf::kCell2);
    // The line description is the movement's description, a blank and the row's own.
    std::string suffix = " " + firstAgg;
    if (description.size() >= suffix.size() &&
        description.compare(description.size() - suffix.size(), suffix.size(), suffix) == 0) {
        description.resize(description.size() - suffix.size());
    }
    form().setText("text4", description);

    int row = 0;
    auto fill = [this, &row](const std::string& account, const std::string& agg, double debit,
                             double credit) {
        if (row >= kRows) {
            return;
        }
        auto item = chart::ByNumber(archives(), account);
        std::string name = item ? item->description : std::string();
        form().setText(CellName("conto", row), name);
        form().setText(CellName("LabelX", row), name);
        form().setText(CellName("agg", row), agg);
        form().setText(CellName("dare", row), wholeNumber(debit));
        form().setText(CellName("avere", row), wholeNumber(credit));
        m_accounts[static_cast<size_t>(row)] = account;
        ++row;
    };
    if (!details.empty()) {
        for (const isam::Record& d : details) {
            fill(d.text(ttf::kCell1), d.text(ttf::kCell2), Val(d.text(ttf::kCell3)),
                 Val(d.text(ttf::kCell4)));
        }
    } else {
        for (const auto& l : lines) {
            fill(l.record.text(mcf::kAccount), "", l.record.number(mcf::kDebit),
                 l.record.number(mcf::kCredit));
        }
    }
}

}  // namespace zelvo
