#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zelvo {

// A screen's controls, described as data. One generic view builds any screen from this,
// so that a screen is its logic class and nothing else; the objectName of every widget is
// the control's name.
enum class ControlKind {
    Label,  // a caption standing alone (or a text the logic fills)
    Text,   // a one-line input; `mask` and `allowed` shape what it accepts
    Button,
    Check,
    Option,  // exclusive within its `group`
    List,
    Combo,     // a drop-down list; editable when `editable`
    Spin,      // an up-down number between `minimum` and `maximum`
    Grid,      // rows of cells shown a page at a time; cells are named "column:row"
    RichText,  // formatted notes; the text is the document as HTML
};

// A column of a grid. Cells are addressed by their absolute row, whatever page shows them.
struct GridColumn {
    std::string name;      // "conto", "dare": the cells are "conto:0", "conto:1", ...
    std::string caption;   // the column heading
    int width = 10;        // in characters
    std::string allowed;   // the only characters accepted on entry; empty: any
    std::string pattern;   // a regular expression the whole entry must fit while typed
    bool label = false;    // a read-only text the logic fills (the name of the account)
    bool check = false;    // a check box per row; the cell's state is `checked`
    bool account = false;  // names an account: completion and the F5 search
};

// Grid columns by kind, so that screens never depend on the order of GridColumn's members.
GridColumn TextColumn(std::string name, std::string caption, int width, std::string pattern = {});
GridColumn AccountColumn(std::string name, std::string caption, int width);
GridColumn LabelColumn(std::string name, std::string caption, int width);
GridColumn CheckColumn(std::string name, std::string caption);

std::string CellName(const std::string& column, int row);
// Splits "conto:25"; false when the name is not a cell's.
bool ParseCell(const std::string& name, std::string& column, int& row);

struct ControlSpec {
    ControlKind kind = ControlKind::Text;
    std::string name;
    std::string caption;  // a field's label, a button's or check box's text, with "&"
    int row = 0;
    int column = 0;
    int columnSpan = 1;
    int width = 0;          // in characters; 0: the view's default
    std::string mask;       // an input mask: "99/99/9999;_" for dates
    std::string allowed;    // the only characters accepted on entry; empty: any
    std::string pattern;    // a regular expression the whole entry must fit while typed
    int maxLength = 0;      // 0: no limit
    std::string group;      // the group of an option button, the frame caption of a set
    bool editable = false;  // combos
    bool readOnly = false;
    bool isDefault = false;           // the button that Enter presses when no other takes it
    bool isCancel = false;            // the button that Escape presses
    bool account = false;             // a field naming an account: completion and the F5 search
    bool pickByDoubleClick = false;   // a list whose entries are chosen by double click
    int minimum = 0;                  // Spin
    int maximum = 0;                  // Spin
    std::vector<GridColumn> columns;  // Grid
    std::string tab;  // the caption of the tab page holding the control; empty: none
    // A button that formats the rich text named `target` without the logic: "font" (font and
    // colour of the selection), "left", "center", "right" (paragraph alignment).
    std::string richAction;
    std::string target;
    int rows = 0;      // Grid: rows held by the logic
    int pageRows = 0;  // Grid: rows shown at a time
};

struct FormSpec {
    std::string name;   // "APRIAZ"
    std::string title;  // the window caption
    std::vector<ControlSpec> controls;

    ControlSpec& add(ControlKind kind, std::string name, std::string caption, int row,
                     int column = 0);
    ControlSpec& text(std::string name, std::string caption, int row, int width = 30);
    ControlSpec& date(std::string name, std::string caption, int row);
    ControlSpec& button(std::string name, std::string caption, int row, int column);
    const ControlSpec* find(const std::string& name) const;
    // The grid holding a column of that name, or nullptr.
    const ControlSpec* gridOf(const std::string& column) const;
    // Whether the control (a field or a grid cell) names an account.
    bool isAccountField(const std::string& control) const;
};

inline constexpr const char* kDateMask = "99/99/9999;_";
inline constexpr const char* kDigits = "0123456789";
// Amounts as typed: whole lire of at most 15 digits, or euro with a decimal comma and at
// most two decimals.
inline constexpr const char* kLirePattern = "[0-9]{0,15}";
inline constexpr const char* kEuroPattern = "[0-9]{0,13}(,[0-9]{0,2})?";

// The state of a screen's controls as the logic sees them: texts, check marks, list items,
// the selected entry, enabled flags. The view copies the operator's input in before every
// event and copies back what the logic changed (the dirty controls) afterwards.
class FormState {
  public:
    const std::string& text(const std::string& control) const;
    void setText(const std::string& control, std::string value);
    bool checked(const std::string& control) const;
    void setChecked(const std::string& control, bool value);
    const std::vector<std::string>& items(const std::string& control) const;
    void setItems(const std::string& control, std::vector<std::string> items);
    int selected(const std::string& control) const;  // -1: none
    void setSelected(const std::string& control, int index);
    bool enabled(const std::string& control) const;
    void setEnabled(const std::string& control, bool value);

    // The view's side: input without marking anything dirty.
    void input(const std::string& control, std::string text);
    void inputChecked(const std::string& control, bool value);
    void inputSelected(const std::string& control, int index);

    std::set<std::string> takeDirty();

  private:
    struct Control {
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
        bool enabled = true;
    };
    const Control& get(const std::string& control) const;
    Control& change(const std::string& control);

    std::map<std::string, Control> m_controls;
    std::set<std::string> m_dirty;
};

}  // namespace zelvo
