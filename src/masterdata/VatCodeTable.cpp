#include "masterdata/VatCodeTable.h"

#include <algorithm>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/VatCodeFields.h"

namespace zelvo {

namespace {

// Rates are typed in percent with at most one decimal after a comma, as the grid shows them.
constexpr const char* kRatePattern = "[0-9]{0,3}(,[0-9]?)?";
constexpr const char* kRateMask = "0,0";

double rateValue(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return Val(text);
}

}  // namespace

VatCodeTable::VatCodeTable(Session& session, Mode mode)
    : ScreenLogic(session, makeSpec(mode)), m_mode(mode) {
    if (mode == Mode::Registration) {
        onCell(Event::Leave, kRate, [this](int row) { leaveRate(row); });
        on(Event::Click, kRegister, [this] { registerTable(); });
    }
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec VatCodeTable::makeSpec(Mode mode) {
    const bool view = mode == Mode::View;
    FormSpec f;
    f.name = view ? "vistiva" : "rtiva";
    f.title = view ? "Tabella Iva" : "Registrazione tabella Iva";
    // Every slot in sight at once: the table is short and read as a whole.
    GridSettings grid{.rows = vatcode::kSlots, .pageRows = vatcode::kSlots};
    if (view) {
        grid.columns = {
            LabelColumn(kCode, "Codice", 10),
            LabelColumn(kRate, "Aliquota", 8),
            LabelColumn(kNonDeductible, "Indetraibile", 12),
            LabelColumn(kDescription, "Descrizione", 40),
        };
        f.grid(kGrid, 0, std::move(grid)).columnSpan = 2;
        f.button(kCancel, "&Annulla", 1, 0, {.isCancel = true});
        return f;
    }
    grid.columns = {
        TextColumn(kCode, "Codice", 10),
        TextColumn(kRate, "Aliquota", 8, kRatePattern),
        CheckColumn(kNonDeductible, "Indetraibile"),
        TextColumn(kDescription, "Descrizione", 40),
    };
    f.grid(kGrid, 0, std::move(grid)).columnSpan = 2;
    f.button(kRegister, "&Registra", 1, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

void VatCodeTable::load() {
    Archives& a = archives();
    form().setSelected(kGrid, 0);
    for (int row = 0; row < vatcode::kSlots; ++row) {
        // A slot that was never written is a free one, like a slot with an empty code.
        if (a.getByKey(arc::kCiva, vatcode::SlotKey(row)) != 0) {
            if (a.status() != isam::status::kNotFound) {
                a.report(opn::kRead, arc::kCiva, kSlotRead);
                return;
            }
            continue;
        }
        const isam::Record& r = a.readBuffer(arc::kCiva);
        if (r.text(vatcode::kVatCode).empty()) {
            continue;
        }
        const bool nonDeductible = r.number(vatcode::kNonDeductiblePercent) == 100;
        form().setText(CellName(kCode, row), r.text(vatcode::kVatCode));
        form().setText(CellName(kRate, row), Format(r.number(vatcode::kVatRate), kRateMask));
        form().setText(CellName(kDescription, row), r.text(vatcode::kVatDescription));
        if (m_mode == Mode::View) {
            form().setText(CellName(kNonDeductible, row), nonDeductible ? "Sì" : "");
        } else {
            form().setChecked(CellName(kNonDeductible, row), nonDeductible);
        }
    }
}

void VatCodeTable::leaveRate(int row) {
    const std::string cell = CellName(kRate, row);
    const std::string& rate = text(cell);
    if (!rate.empty()) {
        form().setText(cell, Format(rateValue(rate), kRateMask));
    }
}

bool VatCodeTable::refuseDuplicates() {
    for (int row = 0; row < vatcode::kSlots; ++row) {
        const std::string& code = text(CellName(kCode, row));
        if (code.empty()) {
            continue;
        }
        const std::string folded = AsciiLower(code);
        int count = 0;
        int last = row;
        for (int other = 0; other < vatcode::kSlots; ++other) {
            if (AsciiLower(text(CellName(kCode, other))) == folded) {
                ++count;
                last = other;
            }
        }
        if (count > 1) {
            inputError(
                "Il codice " + code + " è stato inserito " + std::to_string(count) + " volte",
                CellName(kCode, last));
            return true;
        }
    }
    return false;
}

void VatCodeTable::registerTable() {
    if (refuseDuplicates()) {
        return;
    }
    Archives& a = archives();
    // The whole table lands at once: a failure half-way leaves the codes as they were, never
    // a mix of old and new slots that the registers would read.
    Registration tx(a, arc::kCiva);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kCiva, kCommit);
        return;
    }
    for (int row = 0; row < vatcode::kSlots; ++row) {
        a.clearWriteBuffer(arc::kCiva);
        isam::Record& r = a.writeBuffer(arc::kCiva);
        r.setText(vatcode::kVatCode, text(CellName(kCode, row)));
        r.setNumber(vatcode::kVatRate, rateValue(text(CellName(kRate, row))));
        r.setNumber(vatcode::kNonDeductiblePercent,
                    form().checked(CellName(kNonDeductible, row)) ? 100 : 0);
        r.setText(vatcode::kVatDescription, text(CellName(kDescription, row)));
        // Empty rows are written too: clearing a code frees its slot.
        if (a.putReported(arc::kCiva, vatcode::SlotKey(row), isam::mode::kWrite, kSlotWrite) != 0) {
            return;
        }
    }
    if (a.flush(arc::kCiva) != 0) {
        a.report(opn::kWrite, arc::kCiva, kFlush);
        return;
    }
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kCiva, kCommit);
    }
}

}  // namespace zelvo
