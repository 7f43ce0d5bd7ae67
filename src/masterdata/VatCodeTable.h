#pragma once

#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// The VAT code table of the installation, one grid row per slot of "civa": "rtiva"
// ("Registrazione tabella Iva") edits it, "vistiva" ("Tabella Iva") only shows it.
//
// A rate that was left takes the one-decimal form the grid shows. "&Registra" registers the
// whole table, "&Annulla" closes.
class VatCodeTable : public ScreenLogic {
  public:
    enum class Mode { Registration, View };

    VatCodeTable(Session& session, Mode mode);

    static FormSpec makeSpec(Mode mode);

    // Reads the slots by their keys into the grid.
    void load() override;

    static constexpr const char* kGrid = "Grid1";
    // Registration only.
    static constexpr const char* kRegister = "Command1";
    static constexpr const char* kCancel = "Command2";
    // Grid columns: the cells are "codice:0" ... "descrizione:24".
    static constexpr const char* kCode = "codice";
    static constexpr const char* kRate = "aliquota";
    static constexpr const char* kNonDeductible = "indetraibile";
    static constexpr const char* kDescription = "descrizione";

    // Report positions.
    static constexpr int kSlotRead = 3401;
    static constexpr int kSlotWrite = 3402;
    static constexpr int kFlush = 3403;
    static constexpr int kCommit = 3404;

  private:
    void leaveRate(int row);
    void registerTable();
    // A code typed in more than one row (letter case aside) is refused with the count of its
    // rows; true when one was.
    bool refuseDuplicates();

    Mode m_mode;
};

}  // namespace zelvo
