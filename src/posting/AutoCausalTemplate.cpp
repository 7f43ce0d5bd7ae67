#include "posting/AutoCausalTemplate.h"

#include "posting/EntryAccounts.h"

namespace zelvo {

namespace {

constexpr int kWritePosition = 771;
// Field 1 the description, then per row: sub-account code, additional description, side.
constexpr int FieldOf(int row, int part) {
    return 2 + 3 * row + part;
}

FormSpec templateForm() {
    using T = AutoCausalTemplate;
    FormSpec f;
    f.name = "regxx";
    f.title = "Registrazione schema causale automatizzata";
    f.text(T::kCode, "Causale:", 0, 12, {.maxLength = 30});
    f.text(T::kDescription, "Descrizione:", 1, 40);
    f.grid(T::kGrid, 2,
           {.columns = {AccountColumn(T::kAccount, "Sottoconto", 28),
                        TextColumn(T::kExtra, "Descr.aggiunt.", 18), CheckColumn(T::kDebit, "Dare"),
                        CheckColumn(T::kCredit, "Avere")},
            .rows = T::kRows,
            .pageRows = T::kRows})
        .columnSpan = 3;
    f.button(T::kSave, "&Registra", 3, 0);
    f.button(T::kDelete, "&Elimina", 3, 1);
    f.button(T::kCancel, "&Annulla", 3, 2, {.isCancel = true});
    return f;
}

}  // namespace

AutoCausalTemplate::AutoCausalTemplate(Session& session) : ScreenLogic(session, templateForm()) {
    on(Event::Leave, kCode, [this] { leaveCode(); });
    onCell(Event::Leave, kAccount, [this](int row) { leaveAccount(row); });
    onCell(Event::Change, kDebit, [this](int row) { sideChosen(kDebit, row); });
    onCell(Event::Change, kCredit, [this](int row) { sideChosen(kCredit, row); });
    on(Event::Click, kSave, [this] { save(); });
    on(Event::Click, kDelete, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void AutoCausalTemplate::load() {
    archives().open(arc::kAx);
}

void AutoCausalTemplate::unload() {
    archives().close(arc::kAx);
}

std::vector<std::string> AutoCausalTemplate::suggestions(const std::string& control,
                                                         const std::string& typed, bool full) {
    return CellAccountSuggestions(session(), control, kAccount, typed, full);
}

// A stored causal is shown for changing.
void AutoCausalTemplate::leaveCode() {
    Archives& a = archives();
    if (text(kCode).empty() || a.getByKey(arc::kAx, text(kCode)) != 0) {
        return;
    }
    const isam::Record r = a.readBuffer(arc::kAx);
    form().setText(kDescription, r.text(1));
    for (int row = 0; row < kRows; ++row) {
        auto item = chart::ByNumber(a, r.text(FieldOf(row, 0)));
        form().setText(CellName(kAccount, row), item ? item->description : r.text(FieldOf(row, 0)));
        form().setText(CellName(kExtra, row), r.text(FieldOf(row, 1)));
        form().setChecked(CellName(kDebit, row), r.text(FieldOf(row, 2)) == "d");
        form().setChecked(CellName(kCredit, row), r.text(FieldOf(row, 2)) == "a");
    }
}

bool AutoCausalTemplate::leaveAccount(int row) {
    const std::string name = text(CellName(kAccount, row));
    if (name.empty()) {
        return true;
    }
    if (!PostableAccount(archives(), name)) {
        dialogs().beep();
        focusCell(kGrid, kAccount, row);
        return false;
    }
    return true;
}

// The two sides of a row are options of one frame.
void AutoCausalTemplate::sideChosen(const char* column, int row) {
    if (form().checked(CellName(column, row))) {
        const char* other = std::string(column) == kDebit ? kCredit : kDebit;
        form().setChecked(CellName(other, row), false);
    }
}

void AutoCausalTemplate::save() {
    if (text(kCode).empty()) {
        inputError("NON E' STATA INSERITA LA CAUSALE", kCode);
        return;
    }
    Archives& a = archives();
    a.clearWriteBuffer(arc::kAx);
    isam::Record& r = a.writeBuffer(arc::kAx);
    r.setText(1, text(kDescription));
    bool debit = false;
    bool credit = false;
    int stored = 0;
    for (int row = 0; row < kRows; ++row) {
        if (text(CellName(kAccount, row)).empty()) {
            continue;
        }
        const bool d = form().checked(CellName(kDebit, row));
        const bool c = form().checked(CellName(kCredit, row));
        if (!d && !c) {
            inputError("NON E' STATA INSERITA LA SCELTA DARE/AVERE");
            focusCell(kGrid, kDebit, row);
            return;
        }
        if (!leaveAccount(row)) {
            return;
        }
        auto item = PostableAccount(a, text(CellName(kAccount, row)));
        // Rows are kept in order, without the gaps the grid may have.
        r.setText(FieldOf(stored, 0), item->number);
        r.setText(FieldOf(stored, 1), text(CellName(kExtra, row)));
        r.setText(FieldOf(stored, 2), d ? "d" : "a");
        ++stored;
        debit = debit || d;
        credit = credit || c;
    }
    if (!debit || !credit) {
        inputError(!debit ? "NON E' STATA INSERITA NESSUNA VOCE IN DARE"
                          : "NON E' STATA INSERITA NESSUNA VOCE IN AVERE");
        return;
    }
    if (a.putReported(arc::kAx, text(kCode), isam::mode::kWrite, kWritePosition) == 0) {
        a.flush(arc::kAx);
    }
    form().setText(kCode, "");
    form().setText(kDescription, "");
    clearRows();
    requestFocus(kCode);
}

void AutoCausalTemplate::remove() {
    if (text(kCode).empty()) {
        inputError("NON E' STATA INSERITA LA CAUSALE", kCode);
        return;
    }
    if (archives().remove(arc::kAx, text(kCode)) != 0) {
        dialogs().beep();
        return;
    }
    form().setText(kCode, "");
    form().setText(kDescription, "");
    clearRows();
    requestFocus(kCode);
}

void AutoCausalTemplate::clearRows() {
    for (int row = 0; row < kRows; ++row) {
        form().setText(CellName(kAccount, row), "");
        form().setText(CellName(kExtra, row), "");
        form().setChecked(CellName(kDebit, row), false);
        form().setChecked(CellName(kCredit, row), false);
    }
}

}  // namespace zelvo
