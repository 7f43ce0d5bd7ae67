#include "session/SearchList.h"

namespace zelvo {

namespace {

FormSpec searchForm() {
    FormSpec f;
    f.name = "RICERCA";
    f.title = "Ricerca facilitata";
    ControlSpec& list = f.add(ControlKind::List, "List1", "", 0);
    list.width = 40;
    list.columnSpan = 2;
    list.pickByDoubleClick = true;
    f.button("Command1", "&OK", 1, 0);
    f.button("Command2", "&Annulla", 1, 1).isCancel = true;
    return f;
}

}  // namespace

SearchList::SearchList(Session& session, std::vector<std::string> items,
                       std::function<void(const std::string&)> choose)
    : ScreenLogic(session, searchForm()), m_items(std::move(items)), m_choose(std::move(choose)) {}

void SearchList::load() {
    form().setItems("List1", m_items);
    if (!m_items.empty()) {
        form().setSelected("List1", 0);
    }
}

void SearchList::pick() {
    int i = form().selected("List1");
    if (i < 0 || i >= static_cast<int>(m_items.size())) {
        return;
    }
    if (m_choose) {
        m_choose(m_items[static_cast<size_t>(i)]);
    }
    requestClose();
}

void SearchList::doubleClick(const std::string& control) {
    if (control == "List1") {
        pick();
    }
}

void SearchList::click(const std::string& control) {
    if (control == "Command1") {
        pick();
    } else if (control == "Command2") {
        requestClose();
    }
}

bool SearchList::key(const std::string& control, const std::string& key) {
    if (control == "List1" && key == "Enter") {
        pick();
        return true;
    }
    return false;
}

}  // namespace zelvo
