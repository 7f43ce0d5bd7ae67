#include "session/Form.h"

#include <algorithm>
#include <stdexcept>

#include "base/NumberText.h"

namespace zelvo {

namespace {

constexpr const char* kLireMask = "###,###,###,###,##0";
constexpr const char* kEuroMask = "#,###,###,###,##0.00";

// Whether text is digits only, at least lowest and at most highest of them.
bool DigitsOnly(std::string_view text, int lowest, int highest) {
    const auto n = static_cast<int>(text.size());
    return n >= lowest && n <= highest &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string AmountPattern(Amounts amounts) {
    switch (amounts) {
        case Amounts::Lire:
            return "[0-9]{0,15}";
        case Amounts::SignedLire:
            return "-?[0-9]{0,15}";
        case Amounts::Euro:
            return "[0-9]{0,13}(,[0-9]{0,2})?";
        case Amounts::SignedEuro:
            return "-?[0-9]{0,13}(,[0-9]{0,2})?";
    }
    return {};
}

std::string ShownAmount(std::string_view typed, Amounts amounts) {
    std::string_view digits = typed;
    if (!digits.empty() && digits.front() == '-') {
        digits.remove_prefix(1);
    }
    const bool euro = amounts == Amounts::Euro || amounts == Amounts::SignedEuro;
    if (!euro) {
        return DigitsOnly(digits, 1, 15) ? Format(Val(typed), kLireMask) : std::string(typed);
    }
    const size_t comma = digits.find(',');
    const std::string_view whole = digits.substr(0, comma);
    const std::string_view cents =
        comma == std::string_view::npos ? std::string_view("0") : digits.substr(comma + 1);
    if (!DigitsOnly(whole, 1, 13) || !DigitsOnly(cents, 1, 2)) {
        return std::string(typed);
    }
    std::string decimal(typed);
    if (comma != std::string_view::npos) {
        decimal[decimal.size() - digits.size() + comma] = '.';
    }
    return Format(Val(decimal), kEuroMask);
}

ControlSpec& FormSpec::add(ControlKind kind, std::string name, std::string caption, int row,
                           int column, ControlSettings settings) {
    ControlSpec c;
    c.kind = kind;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.row = row;
    c.column = column;
    c.settings = std::move(settings);
    controls.push_back(std::move(c));
    return controls.back();
}

ControlSpec& FormSpec::label(std::string name, std::string caption, int row, int column) {
    return add(ControlKind::Label, std::move(name), std::move(caption), row, column, {});
}

ControlSpec& FormSpec::text(std::string name, std::string caption, int row, int width,
                            TextSettings settings) {
    ControlSpec& c =
        add(ControlKind::Text, std::move(name), std::move(caption), row, 0, std::move(settings));
    c.width = width;
    return c;
}

ControlSpec& FormSpec::date(std::string name, std::string caption, int row, int column) {
    ControlSpec& c = add(ControlKind::Date, std::move(name), std::move(caption), row, column, {});
    c.width = 10;
    return c;
}

ControlSpec& FormSpec::amount(std::string name, std::string caption, int row, int width,
                              Amounts amounts) {
    ControlSpec& c = add(ControlKind::Amount, std::move(name), std::move(caption), row, 0,
                         AmountSettings{amounts});
    c.width = width;
    return c;
}

ControlSpec& FormSpec::account(std::string name, std::string caption, int row, int width) {
    ControlSpec& c = add(ControlKind::Account, std::move(name), std::move(caption), row, 0, {});
    c.width = width;
    return c;
}

ControlSpec& FormSpec::button(std::string name, std::string caption, int row, int column,
                              ButtonSettings settings) {
    return add(ControlKind::Button, std::move(name), std::move(caption), row, column,
               std::move(settings));
}

ControlSpec& FormSpec::check(std::string name, std::string caption, int row, int column) {
    return add(ControlKind::Check, std::move(name), std::move(caption), row, column, {});
}

ControlSpec& FormSpec::option(std::string name, std::string caption, std::string group, int row,
                              int column) {
    return add(ControlKind::Option, std::move(name), std::move(caption), row, column,
               OptionSettings{std::move(group)});
}

ControlSpec& FormSpec::list(std::string name, std::string caption, int row, ListSettings settings) {
    return add(ControlKind::List, std::move(name), std::move(caption), row, 0, settings);
}

ControlSpec& FormSpec::combo(std::string name, std::string caption, int row,
                             ComboSettings settings) {
    return add(ControlKind::Combo, std::move(name), std::move(caption), row, 0, settings);
}

ControlSpec& FormSpec::spin(std::string name, std::string caption, int row, SpinSettings settings) {
    return add(ControlKind::Spin, std::move(name), std::move(caption), row, 0, settings);
}

ControlSpec& FormSpec::grid(std::string name, int row, GridSettings settings) {
    return add(ControlKind::Grid, std::move(name), "", row, 0, std::move(settings));
}

ControlSpec& FormSpec::tree(std::string name, int row) {
    return add(ControlKind::Tree, std::move(name), "", row, 0, {});
}

std::string TreeItem(int depth, std::string_view text) {
    const size_t start = text.find_first_not_of(' ');
    return std::string(static_cast<size_t>(2 * std::max(depth, 0)), ' ') +
           std::string(start == std::string_view::npos ? std::string_view() : text.substr(start));
}

int TreeDepth(std::string_view item, std::string& text) {
    size_t blanks = item.find_first_not_of(' ');
    if (blanks == std::string_view::npos) {
        blanks = item.size();
    }
    const int depth = static_cast<int>(blanks / 2);
    text = std::string(item.substr(static_cast<size_t>(depth) * 2));
    return depth;
}

ControlSpec& FormSpec::progress(std::string name, int row) {
    return add(ControlKind::Progress, std::move(name), "", row, 0, std::monostate{});
}

ControlSpec& FormSpec::sheet(std::string name, int row) {
    return add(ControlKind::Sheet, std::move(name), "", row, 0, std::monostate{});
}

ControlSpec& FormSpec::richText(std::string name, int row, RichTextSettings settings) {
    return add(ControlKind::RichText, std::move(name), "", row, 0, settings);
}

const ControlSpec* FormSpec::find(std::string_view name) const {
    for (const ControlSpec& c : controls) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

const ControlSpec* FormSpec::gridOf(std::string_view column) const {
    for (const ControlSpec& c : controls) {
        if (c.kind == ControlKind::Grid) {
            for (const GridColumn& g : c.as<GridSettings>().columns) {
                if (g.name == column) {
                    return &c;
                }
            }
        }
    }
    return nullptr;
}

const GridColumn* FormSpec::column(std::string_view column) const {
    if (const ControlSpec* g = gridOf(column)) {
        for (const GridColumn& c : g->as<GridSettings>().columns) {
            if (c.name == column) {
                return &c;
            }
        }
    }
    return nullptr;
}

bool FormSpec::knows(std::string_view control) const {
    if (find(control) != nullptr) {
        return true;
    }
    std::string column;
    int row = 0;
    if (!ParseCell(control, column, row)) {
        return false;
    }
    const ControlSpec* g = gridOf(column);
    return g != nullptr && row < g->as<GridSettings>().rows;
}

bool FormSpec::isAccountField(std::string_view control) const {
    std::string name;
    int row = 0;
    if (ParseCell(control, name, row)) {
        const GridColumn* c = column(name);
        return c != nullptr && c->kind == ColumnKind::Account;
    }
    const ControlSpec* c = find(control);
    return c != nullptr && c->isAccount();
}

void FormSpec::validate() const {
    std::set<std::string, std::less<>> names;
    auto claim = [&](const std::string& n) {
        if (n.empty() || n.find(':') != std::string::npos || !names.insert(n).second) {
            throw std::logic_error("screen " + name + ": control name \"" + n +
                                   "\" is empty, holds ':' or is used twice");
        }
    };
    for (const ControlSpec& c : controls) {
        claim(c.name);
        if (c.kind == ControlKind::Grid) {
            const auto& g = c.as<GridSettings>();
            if (g.rows <= 0 || g.pageRows <= 0 || g.rows % g.pageRows != 0 || g.columns.empty()) {
                throw std::logic_error("screen " + name + ": grid " + c.name +
                                       " needs rows that are whole pages and columns");
            }
            for (const GridColumn& col : g.columns) {
                claim(col.name);
            }
        }
    }
}

GridColumn TextColumn(std::string name, std::string caption, int width, std::string pattern) {
    GridColumn c;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.width = width;
    c.pattern = std::move(pattern);
    return c;
}

GridColumn AmountColumn(std::string name, std::string caption, int width, Amounts amounts) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), width);
    c.kind = ColumnKind::Amount;
    c.amounts = amounts;
    return c;
}

GridColumn AccountColumn(std::string name, std::string caption, int width) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), width);
    c.kind = ColumnKind::Account;
    return c;
}

GridColumn LabelColumn(std::string name, std::string caption, int width) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), width);
    c.kind = ColumnKind::Label;
    return c;
}

GridColumn CheckColumn(std::string name, std::string caption) {
    GridColumn c = TextColumn(std::move(name), std::move(caption), 3);
    c.kind = ColumnKind::Check;
    return c;
}

std::string CellName(std::string_view column, int row) {
    std::string name(column);
    name += ':';
    name += std::to_string(row);
    return name;
}

bool ParseCell(std::string_view name, std::string& column, int& row) {
    const size_t colon = name.find(':');
    // At most six digits: a row number, never one that could overflow.
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= name.size() ||
        name.size() - colon - 1 > 6) {
        return false;
    }
    int value = 0;
    for (size_t i = colon + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return false;
        }
        value = value * 10 + (name[i] - '0');
    }
    row = value;
    column = std::string(name.substr(0, colon));
    return true;
}

void FormState::check(std::string_view control) const {
    if (m_layout != nullptr && !m_layout->knows(control)) {
        throw std::logic_error("screen " + m_layout->name + " has no control \"" +
                               std::string(control) + "\"");
    }
}

const FormState::Control& FormState::get(std::string_view control) const {
    static const Control kEmpty;
    check(control);
    auto it = m_controls.find(control);
    return it == m_controls.end() ? kEmpty : it->second;
}

FormState::Control& FormState::entry(std::string_view control) {
    check(control);
    auto it = m_controls.find(control);
    if (it == m_controls.end()) {
        it = m_controls.emplace(std::string(control), Control{}).first;
    }
    return it->second;
}

FormState::Control& FormState::change(std::string_view control) {
    Control& c = entry(control);
    m_dirty.emplace(control);
    return c;
}

const std::string& FormState::text(std::string_view control) const {
    return get(control).text;
}
void FormState::setText(std::string_view control, std::string value) {
    change(control).text = std::move(value);
}
bool FormState::checked(std::string_view control) const {
    return get(control).checked;
}
void FormState::setChecked(std::string_view control, bool value) {
    change(control).checked = value;
}
const std::vector<std::string>& FormState::items(std::string_view control) const {
    return get(control).items;
}
void FormState::setItems(std::string_view control, std::vector<std::string> items) {
    Control& c = change(control);
    c.items = std::move(items);
    // Refilled, the list shows nothing chosen: a text kept from the old entries would be
    // taken for a choice the new ones may not offer.
    c.selected = -1;
    c.text.clear();
}
int FormState::selected(std::string_view control) const {
    return get(control).selected;
}
void FormState::setSelected(std::string_view control, int index) {
    Control& c = change(control);
    c.selected = index;
    c.text = index >= 0 && index < static_cast<int>(c.items.size())
                 ? c.items[static_cast<size_t>(index)]
                 : std::string();
}
bool FormState::enabled(std::string_view control) const {
    return get(control).enabled;
}
void FormState::setEnabled(std::string_view control, bool value) {
    change(control).enabled = value;
}

void FormState::input(std::string_view control, std::string text) {
    entry(control).text = std::move(text);
}
void FormState::inputChecked(std::string_view control, bool value) {
    entry(control).checked = value;
}
void FormState::inputSelected(std::string_view control, int index) {
    Control& c = entry(control);
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
