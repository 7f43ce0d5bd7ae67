#include "sheet/SheetWindow.h"

#include "archive/InstallationNotes.h"
#include "sheet/SheetFile.h"

namespace zelvo {

namespace {

constexpr const char* kSheetFilter = "Foglio elettronico (*.zfg)|*.zfg";

FormSpec SheetWindowForm(const std::string& title) {
    using W = SheetWindow;
    FormSpec f;
    f.name = "Foglio";
    f.title = title.empty() ? "Foglio elettronico" : title;
    f.sheet(W::kSheet, 0).columnSpan = 7;
    f.button(W::kOpen, "&Apri...", 1, 0);
    f.button(W::kSave, "&Salva...", 1, 1);
    f.button(W::kCsv, "Esporta &CSV...", 1, 2);
    f.button(W::kXlsx, "Esporta &XLSX...", 1, 3);
    f.check(W::kPreview, "Anteprima di stampa", 1, 4);
    f.button(W::kPrint, "S&tampa", 1, 5);
    f.button(W::kClose, "&Chiudi", 1, 6, {.isCancel = true});
    return f;
}

}  // namespace

SheetWindow::SheetWindow(Session& session) : SheetWindow(session, sheet::Sheet()) {}

SheetWindow::SheetWindow(Session& session, sheet::Sheet sheet)
    : ScreenLogic(session, SheetWindowForm(sheet.title)), m_sheet(std::move(sheet)) {
    onSheetEntry(kSheet, [this](int row, int column, const std::string& text) {
        m_sheet.setEntry({row, column}, text);
    });
    on(Event::Click, kOpen, [this] { open(); });
    on(Event::Click, kSave, [this] { save(); });
    on(Event::Click, kCsv, [this] { exportTo(false); });
    on(Event::Click, kXlsx, [this] { exportTo(true); });
    on(Event::Click, kPrint, [this] { print(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

const SheetSource* SheetWindow::sheetSource(const std::string& control) const {
    return control == kSheet ? this : nullptr;
}

std::string SheetWindow::shownText(int row, int column) const {
    return m_sheet.shown({row, column});
}

std::string SheetWindow::enteredText(int row, int column) const {
    return m_sheet.entry({row, column});
}

SheetCellLook SheetWindow::look(int row, int column) const {
    const sheet::CellFont f = m_sheet.font({row, column});
    const auto kind = m_sheet.value({row, column}).kind;
    return {f.family, f.size, f.bold,
            kind == sheet::CellValue::Kind::Number || kind == sheet::CellValue::Kind::Error};
}

std::string SheetWindow::columnTitle(int column) const {
    return sheet::ColumnLabel(column);
}

std::optional<std::string> SheetWindow::choose(const char* title, const char* filter, bool save) {
    return dialogs().chooseFile(
        {title, filter, LocalFilesFolder(session().values().dataDirectory), save});
}

void SheetWindow::open() {
    const auto path = choose("Apri foglio", kSheetFilter, false);
    if (!path) {
        return;
    }
    // A file that is not a sheet leaves the sheet on screen as it was.
    if (!sheet::OpenSheet(*path, m_sheet)) {
        dialogs().message("Il file " + *path + " non è un foglio elettronico leggibile", "Errore",
                          Icon::Exclamation);
    }
}

void SheetWindow::save() {
    const auto path = choose("Salva foglio", kSheetFilter, true);
    if (path && !sheet::SaveSheet(m_sheet, *path)) {
        dialogs().message("Impossibile scrivere il file " + *path, "Errore", Icon::Exclamation);
    }
}

void SheetWindow::exportTo(bool workbook) {
    const auto path = workbook ? choose("Esporta", "Cartella di lavoro (*.xlsx)|*.xlsx", true)
                               : choose("Esporta", "Testo CSV (*.csv)|*.csv", true);
    if (!path) {
        return;
    }
    const bool written =
        workbook ? sheet::ExportXlsx(m_sheet, *path) : sheet::ExportCsv(m_sheet, *path);
    if (!written) {
        dialogs().message("Impossibile scrivere il file " + *path, "Errore", Icon::Exclamation);
    }
}

void SheetWindow::print() {
    if (m_sheet.lastRow() < 0) {
        inputError("Il foglio è vuoto: non c'è nulla da stampare");
        return;
    }
    printReport([this](ReportSink& sink) {
        return sheet::PrintSheet(session(), sink, m_sheet, form().checked(kPreview));
    });
}

}  // namespace zelvo
