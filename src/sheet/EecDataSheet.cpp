#include "sheet/EecDataSheet.h"

#include "base/Utf8.h"
#include "masterdata/Chart.h"

namespace zelvo {

namespace {

constexpr int kCodeColumn = 2;

FormSpec EecDataForm() {
    using E = EecDataSheet;
    FormSpec f;
    f.name = "REGCEE";
    f.title = "Registrazione dati bilancio CEE";
    f.sheet(E::kSheet, 0).columnSpan = 3;
    f.button(E::kSave, "&Salva", 1, 0);
    f.button(E::kCreate, "&Crea archivio", 1, 1);
    f.button(E::kClose, "&Chiudi", 1, 2, {.isCancel = true});
    return f;
}

}  // namespace

EecDataSheet::EecDataSheet(Session& session) : ScreenLogic(session, EecDataForm()) {
    onSheetEntry(
        kSheet, [this](int row, int column, const std::string& text) { enter(row, column, text); });
    on(Event::Click, kSave, [this] { save(); });
    on(Event::Click, kCreate, [this] { create(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

const SheetSource* EecDataSheet::sheetSource(const std::string& control) const {
    return control == kSheet ? this : nullptr;
}

std::string EecDataSheet::shownText(int row, int column) const {
    if (row < 0 || row >= kEecRows) {
        return {};
    }
    if (column == 0) {
        return EecLines()[static_cast<size_t>(row)].label;
    }
    return column == kCodeColumn ? m_codes[static_cast<size_t>(row)] : std::string();
}

std::string EecDataSheet::enteredText(int row, int column) const {
    return shownText(row, column);
}

SheetCellLook EecDataSheet::look(int row, int column) const {
    const bool title = column == 0 && row < kEecRows &&
                       EecLines()[static_cast<size_t>(row)].kind == EecKind::Title;
    return {"Courier New", 9, title, false};
}

int EecDataSheet::columnWidth(int column) const {
    return column == 0 ? 50 : column == kCodeColumn ? 15 : 1;
}

std::string EecDataSheet::columnTitle(int column) const {
    return column == 0 ? "Voce" : column == kCodeColumn ? "Codice conto" : "";
}

void EecDataSheet::load() {
    if (archives().exists(archives().fileName(arc::kCe))) {
        m_open = archives().open(arc::kCe);
        read();
    }
}

void EecDataSheet::unload() {
    if (m_open) {
        archives().close(arc::kCe);
    }
}

void EecDataSheet::read() {
    if (!m_open) {
        return;
    }
    for (int row = 0; row < kEecRows; ++row) {
        const std::string key = EecRowKey(row);
        m_codes[static_cast<size_t>(row)] =
            archives().getByKey(arc::kCe, key) == 0
                ? archives().readBuffer(arc::kCe).text(kEecCodeField)
                : std::string();
    }
}

// Only the account code is the operator's: the labels are the scheme's own.
void EecDataSheet::enter(int row, int column, const std::string& text) {
    if (row < 0 || row >= kEecRows || column != kCodeColumn) {
        dialogs().beep();
        return;
    }
    const size_t start = text.find_first_not_of(' ');
    m_codes[static_cast<size_t>(row)] =
        start == std::string::npos ? std::string() : RightTrim(text.substr(start));
}

bool EecDataSheet::openArchive() {
    if (!m_open) {
        m_open = archives().open(arc::kCe);
    }
    return m_open;
}

void EecDataSheet::save() {
    // Every code is checked before anything is written: a refused sheet leaves the archive
    // as it was.
    for (const std::string& code : m_codes) {
        if (!code.empty() && !chart::ByAccountCode(archives(), code)) {
            inputError("Voce non registrata nel piano dei conti");
            return;
        }
    }
    if (!openArchive()) {
        return;
    }
    Archives& a = archives();
    Registration registration(a, arc::kCe);
    for (int row = 0; row < kEecRows; ++row) {
        a.clearWriteBuffer(arc::kCe);
        isam::Record& r = a.writeBuffer(arc::kCe);
        r.setText(kEecLabelField, EecLines()[static_cast<size_t>(row)].label);
        r.setText(kEecCodeField, m_codes[static_cast<size_t>(row)]);
        if (a.putReported(arc::kCe, EecRowKey(row), isam::mode::kWrite, kWrite) != 0) {
            return;
        }
    }
    if (registration.commit() != 0) {
        a.report(opn::kWrite, arc::kCe, kWrite);
    }
}

void EecDataSheet::create() {
    if (archives().exists(archives().fileName(arc::kCe))) {
        dialogs().message("L'archivio bilancio CEE esiste già", "Attenzione", Icon::Exclamation);
        return;
    }
    if (archives().create(arc::kCe, archives().company(), archives().year(), kCreatePosition)) {
        m_open = archives().open(arc::kCe);
    }
}

}  // namespace zelvo
