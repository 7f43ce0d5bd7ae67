#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zelvo {

// A screen's controls, described as data. One generic view builds any screen from this,
// so that a screen is its logic class and nothing else; the objectName of every widget is
// the control's name. Each kind has its own settings, read by the one builder the view has
// for that kind; what every kind shares sits in ControlSpec itself.
enum class ControlKind {
    Label,     // a caption standing alone (or a text the logic fills)
    Text,      // a one-line input
    Date,      // a date typed as dd/mm/yyyy through the mask "__/__/____"
    Amount,    // a number in lire or euro, right-aligned
    Account,   // the name of an account: completion as typed and the F5 quick search
    Button,    //
    Check,     //
    Option,    // exclusive within its group, framed with the group's caption
    List,      //
    Combo,     // a drop-down list
    Spin,      // an up-down whole number
    Grid,      // rows of cells shown a page at a time
    RichText,  // formatted notes; the text is the document as HTML
    Tree,      // nodes under nodes, shown expanded; its items are TreeItem texts
    Progress,  // a progress bar; the text is the percentage done, "0" to "100"
    Sheet,     // a spreadsheet: cells the view asks the logic's SheetSource for, row by row
};

// What an amount field accepts as typed: whole lire of at most 15 digits, or euro with a
// decimal comma and at most two decimals; optionally with a leading minus.
enum class Amounts { Lire, SignedLire, Euro, SignedEuro };
// The regular expression an entry of that kind must fit while it is typed.
std::string AmountPattern(Amounts amounts);
// An amount as a field or cell shows it while the operator is not typing in it: a number of
// that kind (as AmountPattern takes it, with at least one digit) with the program's number
// mask, thousands grouped, euro with their two decimals; any other text, a blank, a half-typed
// "12," or a text the logic wrote already formatted, as it is.
// ShownAmount("1500000", Lire) = "1.500.000", ShownAmount("1234,5", Euro) = "1.234,50".
std::string ShownAmount(std::string_view typed, Amounts amounts);

struct TextSettings {
    std::string allowed;  // the only characters accepted on entry; empty: any
    std::string pattern;  // a regular expression the whole entry must fit while typed
    int maxLength = 0;    // 0: no limit
    bool readOnly = false;
};
struct AmountSettings {
    Amounts amounts = Amounts::Lire;
};
struct ButtonSettings {
    bool isDefault = false;  // the button that Enter presses when no other takes it
    bool isCancel = false;   // the button that Escape presses
    // A button that formats the rich text named `target` without the logic: "font" (font and
    // colour of the selection), "left", "center", "right" (paragraph alignment).
    std::string richAction;
    std::string target;
};
struct OptionSettings {
    std::string group;  // the exclusive set, and the caption of the frame around it
};
struct ListSettings {
    bool pickByDoubleClick = false;  // entries are chosen by double click
};
struct ComboSettings {
    bool editable = false;
};
struct SpinSettings {
    int minimum = 0;
    int maximum = 0;
};
struct RichTextSettings {
    bool readOnly = false;
};

// A column of a grid. Cells are addressed by their absolute row, whatever page shows them.
enum class ColumnKind { Text, Amount, Account, Label, Check };
struct GridColumn {
    std::string name;     // "conto", "dare": the cells are "conto:0", "conto:1", ...
    std::string caption;  // the column heading
    int width = 10;       // in characters
    ColumnKind kind = ColumnKind::Text;
    std::string pattern;  // Text: a regular expression the whole entry must fit while typed
    Amounts amounts = Amounts::Lire;  // Amount
};
GridColumn TextColumn(std::string name, std::string caption, int width, std::string pattern = {});
GridColumn AmountColumn(std::string name, std::string caption, int width,
                        Amounts amounts = Amounts::Lire);
GridColumn AccountColumn(std::string name, std::string caption, int width);
GridColumn LabelColumn(std::string name, std::string caption, int width);
GridColumn CheckColumn(std::string name, std::string caption);

struct GridSettings {
    std::vector<GridColumn> columns;
    int rows = 0;      // rows held by the logic
    int pageRows = 0;  // rows shown at a time
};

// A tree's items are its nodes in pre-order (each node followed by its children), each
// indented by two blanks per level below the root: the form state, the view and the
// operator scripts read them alike. The text loses leading blanks of its own, so that it
// cannot pass for a deeper node.
std::string TreeItem(int depth, std::string_view text);
// The level and text of a tree item.
int TreeDepth(std::string_view item, std::string& text);

// A grid cell's one name, in the logic, the form state and the view alike: "conto:25" is
// the cell of column "conto" in absolute row 25, whatever page shows it.
std::string CellName(std::string_view column, int row);
// Splits "conto:25"; false when the name is not a cell's.
bool ParseCell(std::string_view name, std::string& column, int& row);

using ControlSettings =
    std::variant<std::monostate, TextSettings, AmountSettings, ButtonSettings, OptionSettings,
                 ListSettings, ComboSettings, SpinSettings, GridSettings, RichTextSettings>;

struct ControlSpec {
    ControlKind kind = ControlKind::Text;
    std::string name;
    std::string caption;  // a field's label, a button's or check box's text, with "&"
    int row = 0;
    int column = 0;
    int columnSpan = 1;
    int width = 0;    // in characters; 0: the view's default
    std::string tab;  // the caption of the tab page holding the control; empty: none
    ControlSettings settings;

    // The settings of the control's kind; asking a control for another kind's settings is a
    // programming error (std::bad_variant_access).
    template <typename S>
    const S& as() const {
        return std::get<S>(settings);
    }
    template <typename S>
    S& as() {
        return std::get<S>(settings);
    }
    // Whether the control (a field, or a grid whose columns say so) names an account.
    bool isAccount() const { return kind == ControlKind::Account; }
};

// A screen's layout. The helpers add one control of their kind and return it, so that the
// shared placement (columnSpan, width, tab) can follow: `f.grid(...).columnSpan = 4`.
struct FormSpec {
    std::string name;   // "APRIAZ"
    std::string title;  // the window caption
    std::vector<ControlSpec> controls;

    ControlSpec& label(std::string name, std::string caption, int row, int column = 0);
    ControlSpec& text(std::string name, std::string caption, int row, int width = 30,
                      TextSettings settings = {});
    ControlSpec& date(std::string name, std::string caption, int row, int column = 0);
    ControlSpec& amount(std::string name, std::string caption, int row, int width = 16,
                        Amounts amounts = Amounts::Lire);
    ControlSpec& account(std::string name, std::string caption, int row, int width = 40);
    ControlSpec& button(std::string name, std::string caption, int row, int column,
                        ButtonSettings settings = {});
    ControlSpec& check(std::string name, std::string caption, int row, int column = 0);
    ControlSpec& option(std::string name, std::string caption, std::string group, int row,
                        int column = 0);
    ControlSpec& list(std::string name, std::string caption, int row, ListSettings settings = {});
    ControlSpec& combo(std::string name, std::string caption, int row, ComboSettings settings = {});
    ControlSpec& spin(std::string name, std::string caption, int row, SpinSettings settings);
    ControlSpec& grid(std::string name, int row, GridSettings settings);
    ControlSpec& richText(std::string name, int row, RichTextSettings settings = {});
    ControlSpec& tree(std::string name, int row);
    ControlSpec& progress(std::string name, int row);
    // The screen answers ScreenLogic::sheetSource for it and hears each cell typed through
    // its onSheetEntry handler.
    ControlSpec& sheet(std::string name, int row);

    const ControlSpec* find(std::string_view name) const;
    // The grid holding a column of that name, or nullptr.
    const ControlSpec* gridOf(std::string_view column) const;
    const GridColumn* column(std::string_view column) const;
    // Whether the name is a control of this layout or a cell of one of its grids, within
    // the grid's rows.
    bool knows(std::string_view control) const;
    // Whether the control (a field or a grid cell) names an account.
    bool isAccountField(std::string_view control) const;
    // Throws std::logic_error unless every name is unique and every grid is whole: the
    // mistakes of a layout are found when its screen is first built, by any test.
    void validate() const;

  private:
    ControlSpec& add(ControlKind kind, std::string name, std::string caption, int row, int column,
                     ControlSettings settings);
};

inline constexpr const char* kDateMask = "99/99/9999;_";
inline constexpr const char* kDigits = "0123456789";

// The state of a screen's controls as the logic sees them: texts, check marks, list items,
// the selected entry, enabled flags. The view copies the operator's input in before every
// event and copies back what the logic changed (the dirty controls) afterwards.
//
// Every name must be a control of the layout or a cell of one of its grids: any other is a
// programming error and throws std::logic_error, so that a misspelt name fails the first
// test that passes through it instead of quietly reading an empty text.
class FormState {
  public:
    // A state without a layout accepts any name; screens always have one.
    FormState() = default;
    explicit FormState(const FormSpec* layout) : m_layout(layout) {}

    const std::string& text(std::string_view control) const;
    void setText(std::string_view control, std::string value);
    bool checked(std::string_view control) const;
    void setChecked(std::string_view control, bool value);
    const std::vector<std::string>& items(std::string_view control) const;
    void setItems(std::string_view control, std::vector<std::string> items);
    int selected(std::string_view control) const;  // -1: none
    void setSelected(std::string_view control, int index);
    bool enabled(std::string_view control) const;
    void setEnabled(std::string_view control, bool value);

    // The view's side: input without marking anything dirty.
    void input(std::string_view control, std::string text);
    void inputChecked(std::string_view control, bool value);
    void inputSelected(std::string_view control, int index);

    std::set<std::string> takeDirty();

  private:
    struct Control {
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
        bool enabled = true;
    };
    void check(std::string_view control) const;
    const Control& get(std::string_view control) const;
    Control& change(std::string_view control);
    Control& entry(std::string_view control);

    const FormSpec* m_layout = nullptr;
    std::map<std::string, Control, std::less<>> m_controls;
    std::set<std::string> m_dirty;
};

}  // namespace zelvo
