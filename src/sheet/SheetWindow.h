#pragma once

#include "session/ScreenLogic.h"
#include "sheet/Sheet.h"

namespace zelvo {

// "Foglio", the spreadsheet window: a sheet of cells the operator types texts, numbers and
// formulas into, opened empty from its commands or holding what another screen laid out
// (the EEC statement, the parametric print of customers and suppliers). It saves and opens
// its own files, exports to CSV and to an office workbook with the formulas kept, and
// prints through the report output.
class SheetWindow : public ScreenLogic, private SheetSource {
  public:
    static constexpr const char* kSheet = "F1Book1";
    static constexpr const char* kOpen = "Command1";
    static constexpr const char* kSave = "Command2";
    static constexpr const char* kCsv = "Command3";
    static constexpr const char* kXlsx = "Command4";
    static constexpr const char* kPrint = "Command5";
    static constexpr const char* kClose = "Command6";
    static constexpr const char* kPreview = "Check1";

    explicit SheetWindow(Session& session);
    // With a sheet laid out by another screen; its title is the window's.
    SheetWindow(Session& session, sheet::Sheet sheet);

    const SheetSource* sheetSource(const std::string& control) const override;
    sheet::Sheet& sheet() { return m_sheet; }

  private:
    int rowCount() const override { return m_sheet.rows(); }
    int columnCount() const override { return m_sheet.columns(); }
    std::string shownText(int row, int column) const override;
    std::string enteredText(int row, int column) const override;
    SheetCellLook look(int row, int column) const override;
    int columnWidth(int column) const override { return m_sheet.columnWidth(column); }
    std::string columnTitle(int column) const override;

    void open();
    void save();
    void exportTo(bool workbook);
    void print();
    std::optional<std::string> choose(const char* title, const char* filter, bool save);

    sheet::Sheet m_sheet;
};

}  // namespace zelvo
