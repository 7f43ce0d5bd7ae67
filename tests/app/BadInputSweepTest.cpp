// Bad input everywhere: every registered screen, every control that takes typed input, a
// table of inputs an office really types (letters in amounts, a lone sign, impossible dates,
// long texts, tabs and line feeds, empty masks, one character past the field). The screen
// must answer with its message or refuse quietly, never fail, and never write while a field
// is typed or left. Then every field gets the same input at once and the screen's confirm
// buttons are pressed on it: a press that refused the input (a box titled "Errore") must
// not have written either. What the fields get is what the view would let through them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <set>

#include "app/ProgramScreens.h"
#include "app/StartUp.h"
#include "session/ReportSink.h"
#include "support/ArchiveDump.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;

class Fonts : public FontCatalog {
  public:
    bool printerAvailable() const override { return true; }
    bool isInstalled(const std::string&) const override { return true; }
};

// The program around the screen: reports go to a file outside the data directory, other
// screens are not opened.
class SweepHost : public ScreenHost {
  public:
    explicit SweepHost(std::string reportFile) : m_report(std::move(reportFile)) {}
    void openScreen(const std::string&) override {}
    void openScreen(std::unique_ptr<ScreenLogic>, bool) override {}
    int visibleWindows() const override { return 1; }
    void endProgram() override {}
    void setBusy(bool) override {}
    void panelChanged(int) override {}
    void settingsChanged() override {}
    std::unique_ptr<ReportSink> openReport() override {
        return std::make_unique<TextReportSink>(m_report);
    }

  private:
    std::string m_report;
};

// The inputs of the sweep; `{length}` ones are made per field.
std::vector<std::string> BadInputs(int length) {
    const std::string digits(static_cast<size_t>(std::max(length, 1)) + 1, '7');
    const std::string letters(static_cast<size_t>(std::max(length, 1)) + 1, 'W');
    std::string accented;
    for (int i = 0; i < 150; ++i) {
        accented += "è";
    }
    return {"abc",
            "12a4",
            "-",
            "+",
            ",",
            "31/02/2026",
            "99/99/9999",
            "00/00/0000",
            "ABCDEFGHIJKLMNOPQRST",
            std::string(300, 'x'),
            accented,
            "\t",
            "a\tb",
            "riga\nriga",
            "\r\n",
            "",
            "__/__/____",
            "  /  /    ",
            " ",
            "999999999999999999999",
            "-999999999999999",
            "0",
            "' OR '1'='1",
            "%_*?",
            digits,
            letters};
}

// What the view lets into a field from typed text: an entry mask keeps the digits in its
// places, a validator refuses each character that would make the entry unfit, a maximum
// length stops the typing. The view's rules, read from the layout, character by character.
std::string Typed(const std::string& input, bool dateMask, const std::string& allowed,
                  const std::string& pattern, int maxLength) {
    if (dateMask) {
        std::string out = "__/__/____";
        size_t at = 0;
        for (char c : input) {
            if (at < out.size() && c >= '0' && c <= '9') {
                if (out[at] == '/') {
                    ++at;
                }
                out[at++] = c;
            }
        }
        return out;
    }
    const std::regex fit(pattern.empty() ? std::string(".*") : pattern);
    std::string out;
    int length = 0;
    for (size_t i = 0; i < input.size();) {
        size_t n = 1;
        while (i + n < input.size() && (static_cast<unsigned char>(input[i + n]) & 0xC0) == 0x80) {
            ++n;
        }
        const std::string c = input.substr(i, n);
        i += n;
        if ((maxLength > 0 && length >= maxLength) ||
            (!allowed.empty() && allowed.find(c) == std::string::npos) ||
            (!pattern.empty() && !std::regex_match(out + c, fit))) {
            continue;
        }
        out += c;
        ++length;
    }
    return out;
}

// A control or cell that takes typed text, with what the view would let through.
struct Field {
    std::string name;
    bool dateMask = false;
    std::string allowed;
    std::string pattern;
    int maxLength = 0;
    int width = 0;
};

// The grid rows swept: the first and the last in CI, every one with ZELVO_SWEEP_ALL_ROWS=1.
std::set<int> SweptRows(int rows) {
    std::set<int> out{0, rows - 1};
    if (const char* all = std::getenv("ZELVO_SWEEP_ALL_ROWS"); all != nullptr && all[0] == '1') {
        for (int r = 0; r < rows; ++r) {
            out.insert(r);
        }
    }
    return out;
}

std::vector<Field> TypedFields(const FormSpec& layout) {
    std::vector<Field> out;
    for (const ControlSpec& c : layout.controls) {
        switch (c.kind) {
            case ControlKind::Text: {
                const auto& t = c.as<TextSettings>();
                if (!t.readOnly) {
                    out.push_back({c.name, false, t.allowed, t.pattern, t.maxLength, c.width});
                }
                break;
            }
            case ControlKind::Date:
                out.push_back({c.name, true, {}, {}, 0, 10});
                break;
            case ControlKind::Amount:
                out.push_back(
                    {c.name, false, {}, AmountPattern(c.as<AmountSettings>().amounts), 0, c.width});
                break;
            case ControlKind::Account:
                out.push_back({c.name, false, {}, {}, 0, c.width});
                break;
            case ControlKind::Combo:
                if (c.as<ComboSettings>().editable) {
                    out.push_back({c.name, false, {}, {}, 0, c.width});
                }
                break;
            case ControlKind::Grid: {
                const auto& g = c.as<GridSettings>();
                for (const GridColumn& col : g.columns) {
                    if (col.kind == ColumnKind::Label || col.kind == ColumnKind::Check) {
                        continue;
                    }
                    const std::string pattern =
                        col.kind == ColumnKind::Amount ? AmountPattern(col.amounts) : col.pattern;
                    for (int row : SweptRows(g.rows)) {
                        out.push_back({CellName(col.name, row), false, {}, pattern, 0, col.width});
                    }
                }
                break;
            }
            default:
                break;
        }
    }
    return out;
}

bool IsConfirm(const ControlSpec& c) {
    static const std::set<std::string> kConfirms = {
        "Registra", "Conferma", "OK", "Ok", "Salva", "Inserisci", "Aggiorna", "Stampa", "Calcola"};
    if (c.kind != ControlKind::Button) {
        return false;
    }
    const auto& b = c.as<ButtonSettings>();
    std::string caption;
    for (char ch : c.caption) {
        if (ch != '&') {
            caption += ch;
        }
    }
    return !b.isCancel && b.richAction.empty() && (b.isDefault || kConfirms.contains(caption));
}

// One installation, copied for every screen: a screen that deletes or restores works on its
// own copy.
class Installation {
  public:
    Installation() {
        ScriptedDialogs dialogs;
        FixedClock clock("15/03/2026");
        Session s(dialogs, clock);
        s.values().programFolder = m_dir.prefix();
        Fonts fonts;
        m_ok = StartUp(s, fonts).run();
    }
    bool ok() const { return m_ok; }
    void copyTo(const fs::path& to) const {
        for (const auto& e : fs::directory_iterator(m_dir.path())) {
            fs::copy_file(e.path(), to / e.path().filename());
        }
    }

  private:
    test::TempDir m_dir;
    bool m_ok = false;
};

const Installation& Template() {
    static const Installation kInstallation;
    return kInstallation;
}

// Whether the archives of a data directory changed since last asked. Every commit writes the
// WAL, so a file that kept its size and time has kept its records; only when one moved (a
// checkpoint moves them too) are the records themselves compared.
class DataWatch {
  public:
    explicit DataWatch(std::string dir) : m_dir(std::move(dir)) { changed(); }
    bool changed() {
        auto now = stamps();
        if (now == m_stamps) {
            return false;
        }
        m_stamps = std::move(now);
        auto dump = test::DumpAll(m_dir);
        const bool differs = dump != m_dump;
        m_dump = std::move(dump);
        return differs;
    }

  private:
    using Stamps = std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>;
    Stamps stamps() const {
        Stamps out;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            const std::string name = e.path().filename().string();
            if (name.ends_with("-shm") || name.ends_with("-lck") || e.file_size() == 0) {
                continue;
            }
            out[name] = {e.file_size(), e.last_write_time()};
        }
        return out;
    }
    std::string m_dir;
    Stamps m_stamps;
    std::map<std::string, std::vector<std::string>> m_dump;
};

// What one screen's sweep saw.
struct Tally {
    int fields = 0;
    int inputs = 0;
    int refusals = 0;  // inputs answered with a box
    int confirms = 0;
    int saves = 0;
};

class BadInputSweep : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Template().ok());
        fs::create_directory(m_dir.path() / "dati");
        Template().copyTo(m_dir.path() / "dati");
        m_data = (m_dir.path() / "dati").string() + "/";
        m_session.values().programFolder = m_data;
        Fonts fonts;
        ASSERT_TRUE(StartUp(m_session, fonts).run());
        m_session.chooseCompany("AB", "Azienda di prova", "2026");
        for (int archive : {arc::kCt, arc::kPr, arc::kPc}) {
            ASSERT_TRUE(m_session.archives().open(archive));
        }
        m_session.setHost(&m_host);
        m_dialogs.clear();
    }
    void TearDown() override {
        if (m_screen) {
            m_screen->unload();
        }
    }

    void openScreen() {
        if (m_screen) {
            m_screen->unload();
        }
        m_screen = ProgramScreens().create(GetParam(), m_session);
        m_screen->load();
    }
    // Runs one event; an exception escaping it is a fault of the screen.
    template <typename F>
    void event(const std::string& what, F&& f) {
        try {
            f();
        } catch (const std::exception& e) {
            ADD_FAILURE() << GetParam() << ": " << what << ": " << e.what();
        }
        // The one archive report bad input may earn is the one the screens give for a
        // company or year without archives (status 8), which they then explain; any other
        // status means the input reached the record manager in a shape it refused.
        for (const auto& b : m_dialogs.boxes()) {
            EXPECT_TRUE(b.title != "Errore durante operazione sugli archivi" ||
                        b.text.rfind("Errore: 8\r", 0) == 0)
                << GetParam() << ": " << what << ": " << b.text;
        }
    }
    // Presses each confirm button on what the fields hold: a press that refused the input
    // must not have written.
    void pressConfirms() {
        // A copy: a screen that closes is opened again, and its layout goes with the old one.
        const FormSpec layout = m_screen->layout();
        for (const ControlSpec& c : layout.controls) {
            if (!IsConfirm(c) || !m_screen->form().enabled(c.name)) {
                continue;
            }
            m_watch->changed();
            m_dialogs.clear();
            event("click " + c.name, [&] { m_screen->click(c.name); });
            ++m_tally.confirms;
            const auto boxes = m_dialogs.boxes();
            const bool refused = std::any_of(boxes.begin(), boxes.end(),
                                             [](const auto& b) { return b.title == "Errore"; });
            const bool wrote = m_watch->changed();
            m_tally.saves += wrote ? 1 : 0;
            EXPECT_FALSE(refused && wrote) << GetParam() << ": " << c.name << " refused and wrote";
            if (m_screen->closeRequested()) {
                openScreen();
            }
        }
    }
    void typeInto(const Field& f, const std::string& input) {
        const std::string typed = Typed(input, f.dateMask, f.allowed, f.pattern, f.maxLength);
        m_dialogs.clear();
        const std::string what = f.name + " <- \"" + typed + "\"";
        event(what, [&] {
            m_screen->focus(f.name);
            m_screen->form().input(f.name, typed);
            m_screen->leave(f.name);
        });
        ++m_tally.inputs;
        m_tally.refusals += m_dialogs.boxes().empty() ? 0 : 1;
        if (m_screen->closeRequested()) {
            openScreen();
        }
    }

    test::TempDir m_dir;
    std::string m_data;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock{"15/03/2026"};
    Session m_session{m_dialogs, m_clock};
    SweepHost m_host{(m_dir.path() / "stampa.txt").string()};
    std::unique_ptr<ScreenLogic> m_screen;
    std::unique_ptr<DataWatch> m_watch;
    Tally m_tally;
};

TEST_P(BadInputSweep, EveryFieldRefusesBadInputWithoutFailingOrWriting) {
    openScreen();
    m_watch = std::make_unique<DataWatch>(m_data);
    const std::vector<Field> fields = TypedFields(m_screen->layout());
    for (const Field& f : fields) {
        if (!m_screen->form().enabled(f.name)) {
            continue;
        }
        ++m_tally.fields;
        for (const std::string& input : BadInputs(f.maxLength > 0 ? f.maxLength : f.width)) {
            typeInto(f, input);
        }
    }
    EXPECT_FALSE(m_watch->changed()) << GetParam() << ": a field wrote while typed";

    // Then the same inputs in every field at once, and each confirm button pressed on them.
    const size_t kinds = BadInputs(0).size();
    for (size_t k = 0; k < kinds; ++k) {
        for (const Field& f : fields) {
            if (m_screen->form().enabled(f.name)) {
                typeInto(f, BadInputs(f.maxLength > 0 ? f.maxLength : f.width)[k]);
            }
        }
        pressConfirms();
    }
    std::cout << "sweep " << GetParam() << ": " << m_tally.fields << " fields, " << m_tally.inputs
              << " inputs, " << m_tally.refusals << " answered with a box, " << m_tally.confirms
              << " confirms, " << m_tally.saves << " saves\n";
}

INSTANTIATE_TEST_SUITE_P(AllScreens, BadInputSweep, ::testing::ValuesIn(ProgramScreens().names()),
                         [](const auto& info) {
                             std::string n;
                             for (char c : info.param) {
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return n;
                         });

}  // namespace
}  // namespace zelvo
