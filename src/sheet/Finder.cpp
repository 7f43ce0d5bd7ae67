#include "sheet/Finder.h"

#include <memory>

#include "reports/AccountStatementView.h"

namespace zelvo {

namespace {

FormSpec finderForm() {
    using F = Finder;
    FormSpec f;
    f.name = "TROVA";
    f.title = "Cerca cliente/fornitore";
    f.text(F::kQuery, "Cerca:", 0, 40).columnSpan = 2;
    f.button(F::kSearch, "&Cerca", 0, 3, {.isDefault = true});
    f.list(F::kResults, "Trovati:", 1, {.pickByDoubleClick = true}).columnSpan = 4;
    f.button(F::kCard, "&Scheda", 2, 1);
    f.button(F::kStatement, "&Estratto conto", 2, 2);
    f.button(F::kClose, "C&hiudi", 2, 3, {.isCancel = true});
    return f;
}

// The statement of a party chosen elsewhere: vec, already showing it.
class ChosenStatement : public AccountStatementView {
  public:
    ChosenStatement(Session& session, std::string name)
        : AccountStatementView(session), m_name(std::move(name)) {}
    void load() override {
        AccountStatementView::load();
        form().setText(kAccount, m_name);
        show({});
    }

  private:
    std::string m_name;
};

}  // namespace

Finder::Finder(Session& session) : ScreenLogic(session, finderForm()) {
    on(Event::Click, kSearch, [this] { search(); });
    // Keyboard first: Enter in the search text searches rather than moving on.
    onKey(kQuery, [this](const std::string& key) {
        if (key != "Enter") {
            return false;
        }
        search();
        return true;
    });
    on(Event::DoubleClick, kResults, [this] { openCard(); });
    on(Event::Click, kCard, [this] { openCard(); });
    on(Event::Click, kStatement, [this] { openStatement(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

void Finder::search() {
    if (text(kQuery).find_first_not_of(' ') == std::string::npos) {
        inputError("Non è stato inserito il testo da cercare", kQuery);
        return;
    }
    m_found = FindParties(archives(), text(kQuery));
    std::vector<std::string> lines;
    for (const FoundParty& p : m_found) {
        lines.push_back(p.line());
    }
    form().setItems(kResults, lines);
    if (m_found.empty()) {
        dialogs().message("Nessun cliente o fornitore corrisponde alla ricerca", "Zelvo",
                          Icon::Information);
        requestFocus(kQuery);
        return;
    }
    form().setSelected(kResults, 0);
    requestFocus(kResults);
}

const FoundParty* Finder::chosen() {
    const int i = form().selected(kResults);
    if (i < 0 || i >= static_cast<int>(m_found.size())) {
        inputError("Non è stato selezionato nessun cliente o fornitore", kResults);
        return nullptr;
    }
    return &m_found[static_cast<size_t>(i)];
}

void Finder::openCard() {
    if (const FoundParty* p = chosen(); p != nullptr && host() != nullptr) {
        session().values().chosenAccount = p->name;
        host()->openScreen("visched1");
    }
}

void Finder::openStatement() {
    if (const FoundParty* p = chosen(); p != nullptr && host() != nullptr) {
        host()->openScreen(std::make_unique<ChosenStatement>(session(), p->name), false);
    }
}

}  // namespace zelvo
