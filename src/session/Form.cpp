#include "session/Form.h"

namespace zelvo {

ControlSpec& FormSpec::add(ControlKind kind, std::string name, std::string caption, int row,
                           int column) {
    ControlSpec c;
    c.kind = kind;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.row = row;
    c.column = column;
    controls.push_back(std::move(c));
    return controls.back();
}

ControlSpec& FormSpec::text(std::string name, std::string caption, int row, int width) {
    ControlSpec& c = add(ControlKind::Text, std::move(name), std::move(caption), row);
    c.width = width;
    return c;
}

ControlSpec& FormSpec::date(std::string name, std::string caption, int row) {
    ControlSpec& c = text(std::move(name), std::move(caption), row, 10);
    c.mask = kDateMask;
    return c;
}

ControlSpec& FormSpec::button(std::string name, std::string caption, int row, int column) {
    return add(ControlKind::Button, std::move(name), std::move(caption), row, column);
}

const ControlSpec* FormSpec::find(const std::string& name) const {
    for (const ControlSpec& c : controls) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

const ControlSpec* FormSpec::gridOf(const std::string& column) const {
    for (const ControlSpec& c : controls) {
        if (c.kind == ControlKind::Grid) {
            for (const GridColumn& g : c.columns) {
                if (g.name == column) {
                    return &c;
                }
            }
        }
    }
    return nullptr;
}

bool FormSpec::isAccountField(const std::string& control) const {
    std::string column;
    int row = 0;
    if (ParseCell(control, column, row)) {
        if (const ControlSpec* g = gridOf(column)) {
            for (const GridColumn& c : g->columns) {
                if (c.name == column) {
                    return c.account;
                }
            }
        }
        return false;
    }
    const ControlSpec* c = find(control);
    return c != nullptr && c->account;
}

GridColumn TextColumn(std::string name, std::string caption, int width, std::string pattern) {
    GridColumn c;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.width = width;
    c.pattern = std::move(pattern);
    return c;
}

GridColumn AccountColumn(std::string name, std::string caption, int width) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), width);
    c.account = true;
    return c;
}

GridColumn LabelColumn(std::string name, std::string caption, int width) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), width);
    c.label = true;
    return c;
}

GridColumn CheckColumn(std::string name, std::string caption) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), 3);
    c.check = true;
    return c;
}

std::string CellName(const std::string& column, int row) {
    return column + ":" + std::to_string(row);
}

bool ParseCell(const std::string& name, std::string& column, int& row) {
    size_t colon = name.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= name.size()) {
        return false;
    }
    row = 0;
    for (size_t i = colon + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
        row = row * 10 + (name[i] - '0');
    }
    column = name.substr(0, colon);
    return true;
}

const FormState::Control& FormState::get(const std::string& control) const {
    static const Control kEmpty;
    auto it = m_controls.find(control);
    return it == m_controls.end() ? kEmpty : it->second;
}

FormState::Control& FormState::change(const std::string& control) {
    m_dirty.insert(control);
    return m_controls[control];
}

const std::string& FormState::text(const std::string& control) const {
    return get(control).text;
}
void FormState::setText(const std::string& control, std::string value) {
    change(control).text = std::move(value);
}
bool FormState::checked(const std::string& control) const {
    return get(control).checked;
}
void FormState::setChecked(const std::string& control, bool value) {
    change(control).checked = value;
}
const std::vector<std::string>& FormState::items(const std::string& control) const {
    return get(control).items;
}
void FormState::setItems(const std::string& control, std::vector<std::string> items) {
    Control& c = change(control);
    c.items = std::move(items);
    // Refilled, the list shows nothing chosen: a text kept from the old entries would be
    // taken for a choice the new ones may not offer.
    c.selected = -1;
    c.text.clear();
}
int FormState::selected(const std::string& control) const {
    return get(control).selected;
}
void FormState::setSelected(const std::string& control, int index) {
    Control& c = change(control);
    c.selected = index;
    c.text = index >= 0 && index < static_cast<int>(c.items.size())
                 ? c.items[static_cast<size_t>(index)]
                 : std::string();
}
bool FormState::enabled(const std::string& control) const {
    return get(control).enabled;
}
void FormState::setEnabled(const std::string& control, bool value) {
    change(control).enabled = value;
}

void FormState::input(const std::string& control, std::string text) {
    m_controls[control].text = std::move(text);
}
void FormState::inputChecked(const std::string& control, bool value) {
    m_controls[control].checked = value;
}
void FormState::inputSelected(const std::string& control, int index) {
    Control& c = m_controls[control];
    c.selected = index;
    if (index >= 0 && index < static_cast<int>(c.items.size())) {
        c.text = c.items[static_cast<size_t>(index)];
    } else if (!c.items.empty() || index < 0) {
        // Nothing chosen shows nothing (an editable combo's typed text comes as input after).
        c.text.clear();
    }
}

std::set<std::string> FormState::takeDirty() {
    std::set<std::string> d;
    d.swap(m_dirty);
    return d;
}

}  // namespace zelvo
