#include "posting/GenericMovement.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "posting/BalanceCheck.h"
#include "posting/DateChecks.h"
#include "posting/EntryAccounts.h"
#include "posting/InvoiceEntryParts.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"

namespace zelvo {

namespace {

FormSpec causalForm() {
    using G = GenericMovement;
    FormSpec f;
    f.name = "MCXX";
    f.title = "Registrazione causale automatizzata";
    f.date(G::kRegDate, "Data reg.:", 0);
    f.text(G::kDocNumber, "N. doc.:", 1, 8, {.pattern = "[0-9]{0,6}"});
    f.date(G::kDocDate, "Data doc.:", 2);
    f.text(G::kDescription, "Descrizione:", 3, 40);
    f.combo(G::kCausal, "Causale", 4).width = 30;
    f.grid(G::kGrid, 5,
           {.columns = {AccountColumn(G::kAccount, "Conto", 28),
                        TextColumn(G::kExtra, "Descr.aggiunt.", 18),
                        AmountColumn(G::kDebit, "Dare", 15, Amounts::Lire),
                        AmountColumn(G::kCredit, "Avere", 15, Amounts::Lire),
                        LabelColumn(G::kAccountName, "", 28)},
            .rows = G::kCausalRows,
            .pageRows = G::kCausalRows})
        .columnSpan = 4;
    f.button(G::kConfirm, "&Registra", 6, 0);
    f.button(G::kCausalCancel, "&Annulla", 6, 1, {.isCancel = true});
    return f;
}

FormSpec movementForm(GenericMovement::Variant v) {
    using V = GenericMovement::Variant;
    using G = GenericMovement;
    if (v == V::Causal) {
        return causalForm();
    }
    FormSpec f;
    f.name = v == V::Lire ? "MCMG" : v == V::Euro ? "MCMG3" : "MCMG2";
    f.title = v == V::Lire   ? "Registrazione movimento generico"
              : v == V::Euro ? "Registrazione movimento generico in Euro"
                             : "Revisione movimento generico";
    f.date(G::kRegDate, "Data registrazione:", 0);
    f.text(G::kDocNumber, "N. doc.:", 1, 8, {.pattern = "[0-9]{0,6}"});
    f.date(G::kDocDate, "Data doc.:", 2);
    f.text(G::kDescription, "Descrizione  movimento:", 3, 40);
    const Amounts amounts = v == V::Euro ? Amounts::Euro : Amounts::Lire;
    f.grid(G::kGrid, 4,
           {.columns = {AccountColumn(G::kAccount, "Sottoconto", 28),
                        TextColumn(G::kExtra, "Descr.aggiunt.", 18),
                        AmountColumn(G::kDebit, "Dare", 15, amounts),
                        AmountColumn(G::kCredit, "Avere", 15, amounts),
                        LabelColumn(G::kAccountName, "", 28)},
            .rows = G::kRows,
            .pageRows = G::kPageRows})
        .columnSpan = 4;
    f.spin(G::kPage, "Pagina precedente/seguente:", 5,
           {.minimum = 0, .maximum = G::kRows / G::kPageRows - 1});
    f.button(G::kConfirm, "&Registra", 6, 0);
    int column = 1;
    if (v == V::Euro) {
        f.button(G::kConvert, "&Converti in Lire", 6, column++);
    }
    f.button(G::kNewAccount, "Nuovo &sottoconto", 6, column++);
    f.button(G::kCancel, "&Annulla", 6, column, {.isCancel = true});
    return f;
}

}  // namespace

GenericMovement::GenericMovement(Session& session, Variant variant, std::string regNumber)
    : ScreenLogic(session, movementForm(variant)),
      m_variant(variant),
      m_regNumber(std::move(regNumber)),
      m_euro(variant == Variant::Euro, kConvert, kConfirm) {
    registerEvents();
}

void GenericMovement::registerEvents() {
    on(Event::Leave, kRegDate, [this] { leaveRegistrationDate(); });
    on(Event::Leave, kDocDate, [this] {
        std::string date = text(kDocDate);
        if (!CheckDocumentDate(this->session(), date)) {
            requestFocus(kDocDate);
        }
    });
    onCell(Event::Leave, kAccount, [this](int row) { leaveAccount(row); });
    on(Event::Click, kConfirm, [this] { confirm(); });
    if (m_variant == Variant::Causal) {
        on(Event::Change, kCausal, [this] { fillFromCausal(); });
        on(Event::Leave, kCausal, [this] { fillFromCausal(); });
        on(Event::Click, kCausalCancel, [this] { requestClose(); });
        return;
    }
    on(Event::Change, kPage, [this] { showPage(WholeVal(text(kPage), 0, kRows / kPageRows - 1)); });
    // The view moved to another page (to show a cell): the spinner follows.
    on(Event::Change, kGrid,
       [this] { form().setText(kPage, std::to_string(form().selected(kGrid))); });
    if (m_euro.active()) {
        on(Event::Click, kConvert, [this] { convert(); });
    }
    on(Event::Click, kNewAccount, [this] {
        if (host() != nullptr) {
            host()->openScreen("RPC");
        }
    });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void GenericMovement::convert() {
    std::vector<std::string> amounts;
    for (int row = 0; row < rows(); ++row) {
        amounts.push_back(CellName(kDebit, row));
        amounts.push_back(CellName(kCredit, row));
    }
    m_euro.convert(form(), session().values().exchangeRate, amounts);
}

bool GenericMovement::annul() {
    return PostingEngine(session()).annul(m_regNumber, m_loaded);
}

void GenericMovement::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kDocDate, session().values().yearDateMask);
    form().setSelected(kGrid, 0);
    m_euro.reset(form());
    if (m_variant == Variant::Revision) {
        fillFromRegistration();
    }
    if (m_variant != Variant::Causal) {
        form().setText(kPage, "0");
        return;
    }
    // The causals in key order.
    Archives& a = archives();
    a.open(arc::kAx);
    std::vector<std::string> codes;
    a.bof(arc::kAx, 0);
    while (a.get(arc::kAx, 0, isam::op::kNext, "") == 0) {
        codes.push_back(a.primaryKey(arc::kAx));
    }
    form().setItems(kCausal, codes);
}

void GenericMovement::unload() {
    if (m_variant == Variant::Causal) {
        archives().close(arc::kAx);
    }
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

std::vector<std::string> GenericMovement::suggestions(const std::string& control,
                                                      const std::string& typed, bool full) {
    return CellAccountSuggestions(session(), control, kAccount, typed, full);
}

void GenericMovement::showPage(int page) {
    form().setSelected(kGrid, page);
    if (m_variant != Variant::Causal) {
        form().setText(kPage, std::to_string(page));
    }
}

bool GenericMovement::leaveRegistrationDate() {
    std::string date = text(kRegDate);
    ClearEmptyDate(date);
    if (!IsValidDateText(date, 1950, 2050)) {
        inputError("La data inserita non è valida", kRegDate);
        return false;
    }
    if (date.substr(6, 4) != session().values().year) {
        dialogs().message("L'anno inserito non corrisponde all'anno di lavoro", "Zelvo",
                          Icon::Exclamation);
        requestFocus(kRegDate);
        return false;
    }
    CheckJournalPrinted(session(), date);
    return true;
}

bool GenericMovement::leaveAccount(int row) {
    const std::string name = text(CellName(kAccount, row));
    std::string& account = m_accounts[static_cast<size_t>(row)];
    account.clear();
    // MCXX shows the template's side there instead of the name.
    const bool showName = m_variant != Variant::Causal;
    if (showName) {
        form().setText(CellName(kAccountName, row), "");
    }
    if (name.empty()) {
        return true;
    }
    auto item = PostableAccount(archives(), name);
    if (!item) {
        dialogs().beep();
        showPage(pageOf(kGrid, row));
        focusCell(kGrid, kAccount, row);
        return false;
    }
    account = item->number;
    if (showName) {
        form().setText(CellName(kAccountName, row), item->description);
    }
    return true;
}

double GenericMovement::amount(const std::string& column, int row) const {
    return m_euro.amount(text(CellName(column, row)));
}

void GenericMovement::confirm() {
    if (m_euro.inEuro()) {
        return;
    }
    if (!leaveRegistrationDate()) {
        return;
    }
    std::string docDate = text(kDocDate);
    if (!CheckDocumentDate(session(), docDate)) {
        requestFocus(kDocDate);
        return;
    }
    if (m_variant == Variant::Causal && !causalAccountsExist()) {
        return;
    }
    // The accounts are read again: another station may have renamed or annulled one.
    std::vector<BalanceRow> balance(static_cast<size_t>(rows()));
    for (int row = 0; row < rows(); ++row) {
        if (!leaveAccount(row)) {
            return;
        }
        balance[static_cast<size_t>(row)] = {text(CellName(kAccount, row)), amount(kDebit, row),
                                             amount(kCredit, row)};
    }
    BalanceResult check = CheckBalance(dialogs(), balance);
    if (check.balanceError) {
        if (check.errorRow >= 0) {
            bool inCredit =
                amount(kDebit, check.errorRow) == 0 && amount(kCredit, check.errorRow) != 0;
            std::string column = check.errorColumn == 1 ? kAccount : inCredit ? kCredit : kDebit;
            showPage(pageOf(kGrid, check.errorRow));
            focusCell(kGrid, column, check.errorRow);
        }
        return;
    }

    JournalEntry entry;
    entry.regDate = text(kRegDate);
    entry.docNumber = text(kDocNumber);
    entry.docDate = docDate;
    entry.causal = "mg";
    for (int row = 0; row < rows(); ++row) {
        const std::string& account = m_accounts[static_cast<size_t>(row)];
        if (account.empty()) {
            continue;
        }
        const std::string agg = text(CellName(kExtra, row));
        double debit = amount(kDebit, row);
        double credit = amount(kCredit, row);
        entry.lines.push_back({account, debit, credit, text(kDescription) + " " + agg});
        NumberedRecord d{arc::kTt, "dati", archives().blankRecord(arc::kTt)};
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
    // Nothing was posted (the disk was full, say, and the operator has been told): the
    // movement stays on the screen, to be confirmed again once the trouble is over.
    if (m_lastPosted == 0) {
        return;
    }
    clearRows();
    if (m_variant == Variant::Causal) {
        fillFromCausal();  // the next movement of the same causal
    }
}

void GenericMovement::clearRows() {
    for (int row = 0; row < rows(); ++row) {
        for (const char* column : {kAccount, kExtra, kDebit, kCredit, kAccountName}) {
            if (!text(CellName(column, row)).empty()) {
                form().setText(CellName(column, row), "");
            }
        }
        m_accounts[static_cast<size_t>(row)].clear();
        if (row < kCausalRows) {
            m_causalCodes[static_cast<size_t>(row)].clear();
        }
    }
    showPage(0);
    m_euro.reset(form());
}

void GenericMovement::fillFromCausal() {
    Archives& a = archives();
    const std::string code = text(kCausal);
    if (code.empty() || a.getByKey(arc::kAx, code) != 0) {
        return;
    }
    const isam::Record causal = a.readBuffer(arc::kAx);
    clearRows();
    int row = 0;
    for (int i = 0; i < 14 && row < kCausalRows; ++i) {
        const std::string account = causal.text(2 + 3 * i);
        if (account.empty()) {
            continue;
        }
        // An account deleted since shows its code, and the confirm names it.
        auto item = chart::ByNumber(a, account);
        form().setText(CellName(kAccount, row), item ? item->description : account);
        form().setText(CellName(kExtra, row), causal.text(3 + 3 * i));
        form().setText(CellName(kAccountName, row),
                       causal.text(4 + 3 * i) == "d" ? "Dare" : "Avere");
        m_accounts[static_cast<size_t>(row)] = item ? item->number : std::string();
        m_causalCodes[static_cast<size_t>(row)] = account;
        ++row;
    }
}

bool GenericMovement::causalAccountsExist() {
    for (int row = 0; row < kCausalRows; ++row) {
        const std::string& code = m_causalCodes[static_cast<size_t>(row)];
        if (!code.empty() && !chart::ByNumber(archives(), code)) {
            dialogs().beep();
            dialogs().message(
                "Un conto (" + code + ") non risulta più registrato nel piano dei conti", "Errore",
                Icon::Exclamation);
            return false;
        }
    }
    return true;
}

void GenericMovement::fillFromRegistration() {
    PostingEngine engine(session());
    const auto& lines = m_loaded = engine.lines(m_regNumber);
    if (lines.empty()) {
        return;
    }
    const isam::Record& first = lines.front().record;
    form().setText(kRegDate, ShownDate(first.text(mcf::kRegDate)));
    form().setText(kDocNumber, wholeNumber(Val(first.text(mcf::kDocNumber))));
    form().setText(kDocDate, ShownDate(first.text(mcf::kDocDate)));

    auto details = engine.detailRows(m_regNumber);
    std::string description = first.text(mcf::kDescription);
    std::string firstAgg = details.empty() ? std::string() : details.front().text(ttf::kCell2);
    // The line description is the movement's description, a blank and the row's own.
    std::string suffix = " " + firstAgg;
    if (description.size() >= suffix.size() &&
        description.compare(description.size() - suffix.size(), suffix.size(), suffix) == 0) {
        description.resize(description.size() - suffix.size());
    }
    form().setText(kDescription, description);

    int row = 0;
    auto fill = [this, &row](const std::string& account, const std::string& agg, double debit,
                             double credit) {
        if (row >= rows()) {
            return;
        }
        auto item = chart::ByNumber(archives(), account);
        std::string name = item ? item->description : std::string();
        form().setText(CellName(kAccount, row), name);
        form().setText(CellName(kAccountName, row), name);
        form().setText(CellName(kExtra, row), agg);
        form().setText(CellName(kDebit, row), wholeNumber(debit));
        form().setText(CellName(kCredit, row), wholeNumber(credit));
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
