#include "posting/OpenItemReference.h"

#include "archive/RecordLock.h"
#include "base/DateText.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr const char* kAmountMask = "#,###,###,###";
const std::vector<std::string> kPartyKinds = {"c", "f", "ag"};

}  // namespace

OpenItemReference::OpenItemReference(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Leave, kParty, [this] { leaveParty(); });
    on(Event::Click, kGroup, [this] { group(); });
    on(Event::Click, kRemove, [this] { remove(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec OpenItemReference::layout() {
    using O = OpenItemReference;
    FormSpec f;
    f.name = "VARRIFP";
    f.title = "Variazione riferimento partita";
    f.account(O::kParty, "Cliente/Fornitore", 0);
    f.label(O::kHeading,
            " N.doc. Data doc.   Descrizione movimento                        Dare         Avere",
            1)
        .columnSpan = 3;
    GridSettings grid;
    grid.columns = {CheckColumn(O::kSelect, ""),
                    LabelColumn(O::kDocNumber, "N.doc.", 6),
                    LabelColumn(O::kDocDate, "Data doc.", 10),
                    LabelColumn(O::kDescription, "Descrizione movimento", 40),
                    LabelColumn(O::kDebit, "Dare", 13),
                    LabelColumn(O::kCredit, "Avere", 13)};
    grid.rows = O::kRows;
    grid.pageRows = O::kPageRows;
    f.grid(O::kGrid, 2, std::move(grid)).columnSpan = 3;
    f.button(O::kGroup, "&Raggruppa", 3, 0);
    f.button(O::kRemove, "&Elimina", 3, 1);
    f.button(O::kCancel, "&Annulla", 3, 2, {.isCancel = true});
    return f;
}

void OpenItemReference::load() {
    archives().open(arc::kMc);
}

void OpenItemReference::unload() {
    archives().close(arc::kMc);
}

std::vector<std::string> OpenItemReference::suggestions(const std::string& control,
                                                        const std::string& typed, bool full) {
    if (control != kParty) {
        return {};
    }
    return chart::AccountSuggestions(archives(), session().values(), typed, kPartyKinds, full);
}

void OpenItemReference::leaveParty() {
    if (text(kParty).empty()) {
        return;
    }
    auto item = chart::ByDescription(archives(), text(kParty));
    const bool party = item && (item->kind == "c" || item->kind == "f" || item->kind == "ag");
    if (!party) {
        clearGrid();
        m_account.clear();
        dialogs().beep();
        requestFocus(kParty);
        return;
    }
    list(item->number);
}

void OpenItemReference::clearGrid() {
    for (size_t row = 0; row < m_listed.size(); ++row) {
        const int r = static_cast<int>(row);
        form().setChecked(CellName(kSelect, r), false);
        for (const char* column : {kDocNumber, kDocDate, kDescription, kDebit, kCredit}) {
            form().setText(CellName(column, r), "");
        }
    }
    m_listed.clear();
}

void OpenItemReference::list(const std::string& account) {
    clearGrid();
    m_account = account;
    Archives& a = archives();
    std::int16_t s = a.recordManager().scan(
        a.handle(arc::kMc), mcf::kAccountDocKey, account,
        [&](const std::string& pk, const isam::Record& r) {
            const std::string reference = r.text(mcf::kAccountDocKey);
            if (reference.compare(0, account.size(), account) != 0 || m_listed.size() >= kRows) {
                return false;
            }
            const int row = static_cast<int>(m_listed.size());
            form().setText(CellName(kDocNumber, row), r.text(mcf::kDocNumber));
            form().setText(CellName(kDocDate, row), ShownDate(r.text(mcf::kDocDate)));
            form().setText(CellName(kDescription, row), r.text(mcf::kDescription));
            form().setText(CellName(kDebit, row), Format(r.number(mcf::kDebit), kAmountMask));
            form().setText(CellName(kCredit, row), Format(r.number(mcf::kCredit), kAmountMask));
            m_listed.push_back({pk, reference});
            return true;
        });
    a.setStatus(s);
    if (s != 0) {
        a.report(opn::kRead, arc::kMc, kReadPosition);
    }
}

std::vector<size_t> OpenItemReference::selectedRows() {
    std::vector<size_t> rows;
    for (size_t row = 0; row < m_listed.size(); ++row) {
        if (form().checked(CellName(kSelect, static_cast<int>(row)))) {
            rows.push_back(row);
        }
    }
    return rows;
}

bool OpenItemReference::rewrite(const std::vector<size_t>& rows, const std::string& reference) {
    Archives& a = archives();
    bool changedElsewhere = false;
    bool written = false;
    {
        Registration tx(a, arc::kMc);
        if (tx.status() != 0) {
            a.setStatus(tx.status());
            a.report(opn::kWrite, arc::kMc, kWritePosition);
            return false;
        }
        std::vector<std::unique_ptr<RecordLock>> locks;
        for (size_t row : rows) {
            const Listed& l = m_listed[row];
            locks.push_back(std::make_unique<RecordLock>(a, arc::kMc, l.line, kWritePosition));
            if (!locks.back()->held()) {
                return false;  // reported; the transaction rolls back
            }
            if (a.getByKey(arc::kMc, l.line) != 0 ||
                a.readBuffer(arc::kMc).text(mcf::kAccountDocKey) != l.reference) {
                changedElsewhere = true;
                break;
            }
            a.copyReadToWrite(arc::kMc);
            a.writeBuffer(arc::kMc).setText(mcf::kAccountDocKey, reference);
            if (a.putReported(arc::kMc, l.line, isam::mode::kRewrite, kWritePosition) != 0) {
                return false;
            }
        }
        if (!changedElsewhere) {
            written = tx.commit() == 0;
            if (!written) {
                a.report(opn::kWrite, arc::kMc, kWritePosition);
            }
        }
    }
    if (changedElsewhere) {
        dialogs().beep();
        dialogs().message(
            "I movimenti sono stati modificati da un'altra postazione: nessuna variazione "
            "è stata registrata.",
            "Attenzione", Icon::Exclamation);
    }
    list(m_account);
    return written;
}

void OpenItemReference::group() {
    const std::vector<size_t> rows = selectedRows();
    if (rows.empty()) {
        dialogs().beep();
        return;
    }
    rewrite(rows, m_listed[rows.front()].reference);
}

void OpenItemReference::remove() {
    const std::vector<size_t> rows = selectedRows();
    if (rows.empty()) {
        dialogs().beep();
        return;
    }
    if (dialogs().ask("Eliminare le partite selezionate  ?", "Zelvo", Icon::Question, true) !=
        Answer::Yes) {
        return;
    }
    rewrite(rows, "");
}

}  // namespace zelvo
