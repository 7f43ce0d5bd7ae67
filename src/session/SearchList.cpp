#include "session/SearchList.h"

namespace zelvo {

namespace {

FormSpec searchForm() {
    FormSpec f;
    f.name = "RICERCA";
    f.title = "Ricerca facilitata";
    ControlSpec& list = f.list(SearchList::kList, "", 0, {.pickByDoubleClick = true});
    list.width = 40;
    list.columnSpan = 2;
    f.button(SearchList::kOk, "&OK", 1, 0);
    f.button(SearchList::kCancel, "&Annulla", 1, 1, {.isCancel = true});
    return f;
}

}  // namespace

SearchList::SearchList(Session& session, std::vector<std::string> items,
                       std::function<void(const std::string&)> choose)
    : ScreenLogic(session, searchForm()), m_items(std::move(items)), m_choose(std::move(choose)) {
    on(Event::DoubleClick, kList, [this] { pick(); });
    on(Event::Click, kOk, [this] { pick(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
    onKey(kList, [this](const std::string& key) {
        if (key != "Enter") {
            return false;
        }
        pick();
        return true;
    });
}

void SearchList::load() {
    form().setItems(kList, m_items);
    if (!m_items.empty()) {
        form().setSelected(kList, 0);
    }
}

void SearchList::pick() {
    int i = form().selected(kList);
    if (i < 0 || i >= static_cast<int>(m_items.size())) {
        return;
    }
    if (m_choose) {
        m_choose(m_items[static_cast<size_t>(i)]);
    }
    requestClose();
}

}  // namespace zelvo
