#include "sheet/FavouriteAccounts.h"

#include <algorithm>

#include "masterdata/Favourites.h"

namespace zelvo {

namespace {

// The kinds a movement line may name: sottoconti, customers, suppliers, agents.
const std::vector<std::string> kListable{chart::kSottoconto, chart::kCustomer, chart::kSupplier,
                                         "ag"};

FormSpec favouritesForm() {
    using F = FavouriteAccounts;
    FormSpec f;
    f.name = "REGFACIL";
    f.title = "Sottoconti più usati";
    f.account(F::kAccount, "Sottoconto:", 0).columnSpan = 3;
    f.button(F::kAdd, "&Aggiungi", 0, 4, {.isDefault = true});
    f.list(F::kList, "Elenco:", 1).columnSpan = 4;
    f.button(F::kRemove, "&Togli", 2, 1);
    f.button(F::kUp, "&Su", 2, 2);
    f.button(F::kDown, "&Giù", 2, 3);
    f.button(F::kClose, "&Chiudi", 2, 4, {.isCancel = true});
    return f;
}

}  // namespace

FavouriteAccounts::FavouriteAccounts(Session& session) : ScreenLogic(session, favouritesForm()) {
    on(Event::Click, kAdd, [this] { add(); });
    on(Event::Click, kRemove, [this] { removeChosen(); });
    on(Event::Click, kUp, [this] { move(-1); });
    on(Event::Click, kDown, [this] { move(1); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

void FavouriteAccounts::load() {
    Archives& a = archives();
    if (!a.exists(a.fileName(arc::kFf)) &&
        !a.create(arc::kFf, a.company(), a.year(), favourites::pos::kCreate)) {
        return;
    }
    m_open = a.open(arc::kFf);
    if (m_open) {
        m_items = favourites::Listed(a);
    }
    show(-1);
}

void FavouriteAccounts::unload() {
    if (m_open) {
        archives().close(arc::kFf);
    }
}

std::vector<std::string> FavouriteAccounts::suggestions(const std::string&,
                                                        const std::string& typed, bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, kListable, full);
}

void FavouriteAccounts::show(int select) {
    std::vector<std::string> lines;
    for (const chart::Item& item : m_items) {
        lines.push_back(item.description);
    }
    form().setItems(kList, lines);
    if (select >= 0 && select < static_cast<int>(m_items.size())) {
        form().setSelected(kList, select);
    }
}

void FavouriteAccounts::store(int select) {
    if (!favourites::Store(archives(), m_items)) {
        m_items = favourites::Listed(archives());  // as the archive still has it
        select = -1;
    }
    show(select);
}

void FavouriteAccounts::add() {
    if (!m_open) {
        return;
    }
    const std::string name = text(kAccount);
    if (name.find_first_not_of(' ') == std::string::npos) {
        inputError("Non è stato inserito il sottoconto", kAccount);
        return;
    }
    auto item = chart::ByDescription(archives(), name);
    if (!item) {
        inputError("Sottoconto inesistente", kAccount);
        return;
    }
    if (std::find(kListable.begin(), kListable.end(), item->kind) == kListable.end()) {
        inputError("Mastri e conti non sono sottoconti: non possono essere inseriti nell'elenco",
                   kAccount);
        return;
    }
    auto same = [&item](const chart::Item& i) { return i.number == item->number; };
    if (std::any_of(m_items.begin(), m_items.end(), same)) {
        inputError("Il sottoconto è già nell'elenco", kAccount);
        return;
    }
    m_items.push_back(*item);
    store(static_cast<int>(m_items.size()) - 1);
    form().setText(kAccount, "");
    requestFocus(kAccount);
}

int FavouriteAccounts::chosen() {
    const int i = form().selected(kList);
    if (i < 0 || i >= static_cast<int>(m_items.size())) {
        inputError("Non è stato selezionato nessun sottoconto", kList);
        return -1;
    }
    return i;
}

void FavouriteAccounts::removeChosen() {
    const int i = chosen();
    if (i < 0) {
        return;
    }
    m_items.erase(m_items.begin() + i);
    store(std::min(i, static_cast<int>(m_items.size()) - 1));
}

void FavouriteAccounts::move(int step) {
    const int i = chosen();
    if (i < 0) {
        return;
    }
    const int to = i + step;
    if (to < 0 || to >= static_cast<int>(m_items.size())) {
        dialogs().beep();
        return;
    }
    std::swap(m_items[static_cast<size_t>(i)], m_items[static_cast<size_t>(to)]);
    store(to);
}

}  // namespace zelvo
