#pragma once

#include <array>
#include <string>

#include "session/ScreenLogic.h"
#include "sheet/EecScheme.h"

namespace zelvo {

// REGCEE, the EEC data sheet: the 170 rows of the scheme with their labels in the first
// column and, in column C, the account code the operator assigns to each (typed only
// there). "Salva" checks every code against the chart and writes the rows to the archive
// "bilancio cee"; "Crea archivio" creates that archive. Each record holds the row's three
// cells under the row number "001" to "170".
class EecDataSheet : public ScreenLogic, private SheetSource {
  public:
    static constexpr const char* kSheet = "F1Book1";
    static constexpr const char* kSave = "Command1";
    static constexpr const char* kClose = "Command2";
    static constexpr const char* kCreate = "Command3";

    // Report positions of the archive's reads and writes.
    static constexpr int kWrite = 2324;
    static constexpr int kCreatePosition = 2325;

    explicit EecDataSheet(Session& session);
    void load() override;
    void unload() override;
    const SheetSource* sheetSource(const std::string& control) const override;

  private:
    int rowCount() const override { return kEecRows; }
    int columnCount() const override { return 3; }
    std::string shownText(int row, int column) const override;
    std::string enteredText(int row, int column) const override;
    SheetCellLook look(int row, int column) const override;
    int columnWidth(int column) const override;
    std::string columnTitle(int column) const override;

    void enter(int row, int column, const std::string& text);
    void save();
    void create();
    bool openArchive();
    void read();

    std::array<std::string, kEecRows> m_codes;
    bool m_open = false;
};

}  // namespace zelvo
