#include "app/ParametersScreen.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/Parameters.h"
#include "app/ProgramPlaces.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

constexpr const char* kZooms[] = {"40", "50", "60", "70",  "75",  "80",
                                  "85", "90", "95", "100", "120", "150"};

// The integers as the fields show them; the doubles in the host's number-to-text form
// without its blank ("1936.27").
std::string integerText(double value) {
    return std::to_string(static_cast<long long>(value));
}
std::string amountText(double value) {
    std::string s = Str(value);
    return !s.empty() && s[0] == ' ' ? s.substr(1) : s;
}

// A field's number: what the field lets through is digits (and for the rate a decimal mark
// written either way), but its length may still exceed the record's integer.
double fieldNumber(const std::string& text, double largest) {
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', '.');
    return std::min(Val(t), largest);
}

constexpr double kInt16Max = 32767;
constexpr double kInt32Max = 2147483647;

// The first line of the location file, without a carriage return; empty when it is
// missing.
std::string locationLine(const std::string& programFolder) {
    std::ifstream rr(ProgramPlaces::Of(programFolder).locationFile());
    std::string line;
    if (rr && std::getline(rr, line) && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

ParametersScreen::ParametersScreen(Session& session) : ScreenLogic(session, makeSpec()) {
    on(Event::Click, kConfirm, [this] { confirm(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
    on(Event::Click, kBrowse, [this] { browse(); });
}

FormSpec ParametersScreen::makeSpec() {
    FormSpec f;
    f.name = "Parges";
    f.title = "Parametri gestione";
    auto number = [&f](const char* name, const char* caption, int row, int digits,
                       const char* allowed = kDigits) {
        f.text(name, caption, row, digits + 1, {.allowed = allowed, .maxLength = digits});
    };
    // Lengths that keep every value inside its field of the record: four digits for the
    // 16-bit settings, nine for the 32-bit colour.
    number(kColourField, "Colore di sfondo:", 0, 9);
    f.text(kFontField, "Carattere di stampa", 1, 30);
    f.label(kFontNote, "Il carattere non deve essere proporzionale", 2, 0).columnSpan = 2;
    number(kFontSizeField, "Dimensione:", 3, 4);
    number(kLinesField, "Numero righe per pagina:", 4, 4);
    f.combo(kZoomField, "Zoom anteprima:", 5).width = 5;
    f.amount(kMinimumVatField, "Importo minimo iva a debito:", 6, 16, Amounts::Lire);
    // A rate, not an amount: its decimals are as many as it needs, written either way.
    number(kRateField, "Conversione Euro/Lire:", 7, 15, "0123456789.,");
    number(kListLengthField, "Numero massimo descrizioni nelle finestre di ricerca:", 8, 4);
    f.check(kPreviousCheck, "Visualizza anche descrizioni precedenti", 9);
    f.check(kToolbarCheck, "Mostra toolbar", 10);
    f.check(kStatusBarCheck, "Mostra barra di stato", 11);
    f.check(kAgendaCheck, "Mostra agenda all'avvio del programma", 12);
    f.option(kSingleUser, "Monoutente", "Installazione", 13, 0);
    f.option(kNetwork, "Rete", "Installazione", 13, 1);
    f.text(kProgramPath, "Percorso completo del programma (zelvo) sul server", 14, 40);
    f.button(kBrowse, "Sfoglia", 14, 1);
    f.label(kRestartNote,
            "Dopo aver confermato riavviare  il programma per rendere effettiva la scelta", 15, 0)
        .columnSpan = 2;
    f.button(kConfirm, "&Conferma", 16, 0);
    f.button(kCancel, "&Annulla", 16, 1, {.isCancel = true});
    return f;
}

void ParametersScreen::load() {
    form().setItems(kZoomField, std::vector<std::string>(std::begin(kZooms), std::end(kZooms)));
    // Kept open while the screen is: the record read here is the one confirmed later.
    m_opened = archives().open(arc::kParam);
    if (m_opened && archives().getByKeyReported(arc::kParam, param::kKey, kRead) == 0) {
        showParameters();
    }
    showLocation();
}

void ParametersScreen::unload() {
    if (m_opened) {
        archives().close(arc::kParam);
        m_opened = false;
    }
}

void ParametersScreen::browse() {
    FileRequest request;
    request.title = "Sfoglia";
    request.filter = "(zelvo)|zelvo";
    request.startDir = "/";
    if (std::optional<std::string> path = dialogs().chooseFile(request)) {
        form().setText(kProgramPath, *path);
    }
}

void ParametersScreen::showParameters() {
    using namespace param;
    const isam::Record& r = archives().readBuffer(arc::kParam);
    FormState& f = form();
    f.setText(kColourField, integerText(r.number(kBackgroundColour)));
    f.setText(kFontField, r.text(kPrintFont));
    f.setText(kFontSizeField, integerText(r.number(kFontSize)));
    f.setText(kLinesField, integerText(r.number(kLinesPerPage)));
    const auto zoom = std::find(std::begin(kZooms), std::end(kZooms), r.text(kPreviewZoom));
    f.setSelected(kZoomField,
                  zoom == std::end(kZooms) ? -1 : static_cast<int>(zoom - std::begin(kZooms)));
    f.setText(kMinimumVatField, amountText(r.number(kMinimumVatPayable)));
    f.setText(kRateField, amountText(r.number(kExchangeRate)));
    f.setText(kListLengthField, integerText(r.number(kListLength)));
    f.setChecked(kPreviousCheck, r.number(kShowPreviousDescriptions) != 0);
    f.setChecked(kToolbarCheck, r.number(kShowToolbar) != 0);
    f.setChecked(kStatusBarCheck, r.number(kShowStatusBar) != 0);
    f.setChecked(kAgendaCheck, r.number(kAgendaAtStartUp) != 0);
}

void ParametersScreen::showLocation() {
    // An empty or missing location file is a single-user installation, as at start-up.
    const std::string line = locationLine(session().values().programFolder);
    const bool network = !line.empty() && line != "mono";
    form().setChecked(kSingleUser, !network);
    form().setChecked(kNetwork, network);
    // The file holds the program's folder; the field names the program in it, so that
    // confirming again unchanged is accepted.
    // A server is named by its URI, shown and kept as written.
    if (isam::IsServerLocation(line)) {
        form().setText(kProgramPath, line);
        return;
    }
    form().setText(kProgramPath, !network             ? std::string()
                                 : line.back() == '/' ? line + kProgramFile
                                                      : line + "/" + kProgramFile);
}

bool ParametersScreen::namesProgramFile(const std::string& path) {
    const std::filesystem::path p(path);
    return AsciiLower(p.filename().string()) == kProgramFile && p.has_parent_path();
}

void ParametersScreen::confirm() {
    if (form().checked(kNetwork) && !namesProgramFile(text(kProgramPath)) &&
        !isam::IsServerLocation(text(kProgramPath))) {
        inputError("Non è stato inserito il percorso di rete", kProgramPath);
        return;
    }
    if (writeParameters()) {
        applySettings();
    }
    writeLocation();
    requestClose();
}

bool ParametersScreen::writeParameters() {
    using namespace param;
    Archives& a = archives();
    // Opened before the copy: a fresh open (the one on load failed) starts empty buffers.
    if (!a.open(arc::kParam)) {
        return false;
    }
    a.copyReadToWrite(arc::kParam);
    isam::Record& r = a.writeBuffer(arc::kParam);
    FormState& f = form();
    r.setNumber(kBackgroundColour, fieldNumber(f.text(kColourField), kInt32Max));
    r.setText(kPrintFont, f.text(kFontField).empty() ? kDefaultPrintFont : f.text(kFontField));
    r.setNumber(kFontSize, fieldNumber(f.text(kFontSizeField), kInt16Max));
    r.setNumber(kLinesPerPage, fieldNumber(f.text(kLinesField), kInt16Max));
    r.setText(kPreviewZoom, f.text(kZoomField));
    r.setNumber(kMinimumVatPayable, fieldNumber(f.text(kMinimumVatField), 1e15));
    r.setNumber(kExchangeRate, fieldNumber(f.text(kRateField), 1e15));
    r.setNumber(kListLength, fieldNumber(f.text(kListLengthField), kInt16Max));
    r.setNumber(kShowPreviousDescriptions, f.checked(kPreviousCheck) ? 1 : 0);
    r.setNumber(kShowToolbar, f.checked(kToolbarCheck) ? 1 : 0);
    r.setNumber(kShowStatusBar, f.checked(kStatusBarCheck) ? 1 : 0);
    r.setNumber(kAgendaAtStartUp, f.checked(kAgendaCheck) ? 1 : 0);
    if (a.putReported(arc::kParam, kKey, isam::mode::kWrite, kWrite) == 0) {
        if (a.flush(arc::kParam) != 0) {
            a.report(opn::kWrite, arc::kParam, kWrite);
        }
        a.getByKeyReported(arc::kParam, kKey, kReadBack);
    }
    a.close(arc::kParam);
    return true;
}

void ParametersScreen::applySettings() {
    using namespace param;
    ProgramValues& v = session().values();
    const isam::Record& r = archives().writeBuffer(arc::kParam);
    v.showToolbar = r.number(kShowToolbar) != 0;
    v.showStatusBar = r.number(kShowStatusBar) != 0;
    v.backgroundColour = static_cast<std::int32_t>(r.number(kBackgroundColour));
    v.print.font = r.text(kPrintFont);
    v.print.fontSize = static_cast<int>(r.number(kFontSize));
    v.print.linesPerPage = static_cast<int>(r.number(kLinesPerPage));
    v.exchangeRate = r.number(kExchangeRate) == 0 ? 1 : r.number(kExchangeRate);
    if (ScreenHost* host = session().host()) {
        host->settingsChanged();
    }
}

void ParametersScreen::writeLocation() {
    const std::string& path = text(kProgramPath);
    std::string line = "mono";
    if (form().checked(kNetwork) && isam::IsServerLocation(path)) {
        line = path;
    } else if (form().checked(kNetwork)) {
        // The folder of the program file, with its separator: the data directory as the
        // start-up uses it.
        line = path.substr(0, path.find_last_of('/') + 1);
    }
    // An installed program keeps the file among the user's settings, made on first use.
    const std::string file = ProgramPlaces::Of(session().values().programFolder).locationFile();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ec);
    std::ofstream(file, std::ios::trunc) << line << "\n";
}

}  // namespace zelvo
