#pragma once

#include <optional>

#include "session/ScreenLogic.h"
#include "vat/Settlement.h"

namespace zelvo {

// The period of the settlement screens: `Option1` "Mensile" and `Option2` "Trimestrale",
// the months `mese1` .. `mese12` (frame "Mese") and the quarters `trim1` .. `trim4` (frame
// "Trimestre"), enabled by the kind chosen. Rows `row` to `row + 4`.
class PeriodControls {
  public:
    static constexpr const char* kMonthly = "Option1";
    static constexpr const char* kQuarterly = "Option2";

    static void add(FormSpec& f, int row);
    // Monthly at first; the months enabled.
    static void start(FormState& form);
    // The kind changed: enables the months or the quarters.
    static void enable(FormState& form);
    // The period chosen; none (and the refusal told) when no month or quarter is.
    static std::optional<VatPeriod> read(
        ScreenLogic& screen, FormState& form,
        const std::function<void(const std::string&, const std::string&)>& refuse);
};

inline constexpr const char* kNoQuarter = "Non è stato scelto il trimestre";
inline constexpr const char* kNoReceiptsAmount = "Non è stato inserito l'importo";

// LIQIVA ("Liquidazione Iva"), LIQIVA1 ("Liquidazione Iva annuale") and LIQIVASR
// ("Liquidazione iva singolo registro"): one screen in three forms. `Check4` company heading,
// `Check3` preview, `Check2` ventilation with `text3` "Importo corrispettivi:" and the codes
// left out `text4` .. `text8`; the periodic settlement adds `Check1` "Definitiva", the notes
// `Text1`, `Text2` and `text40` "Salto righe iniziali:"; the single register `Text1`
// "Registro:" and `text40`. `Command1` "&Stampa", `Command2` "&Annulla".
class SettlementScreen : public ScreenLogic {
  public:
    enum class Kind { Periodic, Annual, SingleRegister };
    static constexpr const char* kCompanyHeading = "Check4";
    static constexpr const char* kPreview = "Check3";
    static constexpr const char* kVentilation = "Check2";
    static constexpr const char* kDefinitive = "Check1";
    static constexpr const char* kReceiptsAmount = "text3";
    static constexpr const char* kNote1 = "Text1";
    static constexpr const char* kNote2 = "Text2";
    static constexpr const char* kSection = "Text1";
    static constexpr const char* kSkipLines = "text40";
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";

    SettlementScreen(Session& session, Kind kind);
    static FormSpec layout(Kind kind);
    void load() override;
    void unload() override;

  private:
    void enableVentilation();
    void print();
    bool readRequest(SettlementPrint& print);
    bool readVentilation(SettlementRequest& request);

    Kind m_kind;
};

}  // namespace zelvo
