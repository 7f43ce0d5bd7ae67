#pragma once

#include <optional>

#include "session/ScreenLogic.h"
#include "vat/VatBooks.h"

namespace zelvo {

// The register chosen with `Option1` "Acquisti", `Option2` "Vendite", `Option3`
// "Corrispettivi" (frame "Registro iva").
VatBook ChosenBook(const FormState& form);

// RMIVA, "Registrazione manuale nel registro iva": one VAT row without a journal movement.
// `TEXT1` "Data registr.:", `text2` "Numero doc.:", `text3` "Data doc.:", `text4`
// "Protocollo:", `text5` the customer or supplier (its caption `Label1` follows the
// register), `text6` "Imponibile:", `text7` "Codice iva:", `text8` "Importo iva:", `text9`
// "Registro:"; `Command1` "&Registra", `Command2` "&Annulla". The row and its register's
// counter ("ia", "iv", "ic") are written in one transaction.
class ManualVatEntry : public ScreenLogic {
  public:
    static constexpr const char* kRegDate = "TEXT1";
    static constexpr const char* kDocNumber = "text2";
    static constexpr const char* kDocDate = "text3";
    static constexpr const char* kProtocol = "text4";
    static constexpr const char* kPartyCaption = "Label1";
    static constexpr const char* kParty = "text5";
    static constexpr const char* kTaxable = "text6";
    static constexpr const char* kVatCode = "text7";
    static constexpr const char* kVat = "text8";
    static constexpr const char* kSection = "text9";
    static constexpr const char* kConfirm = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ManualVatEntry(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    void showCaption();
    std::optional<VatRow> readRow();
    void confirm();
};

// ANNRIVA, "Annullamento registrazione nel registro iva": deletes the rows of one document
// from a register section. `text1` "Registro:", `text2` the number (its caption `Label1`
// follows the register), `Command1` "&Elimina", `Command2` "&Annulla".
class VatRowAnnulment : public ScreenLogic {
  public:
    static constexpr const char* kSection = "text1";
    static constexpr const char* kNumberCaption = "Label1";
    static constexpr const char* kNumber = "text2";
    static constexpr const char* kDelete = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit VatRowAnnulment(Session& session);
    static FormSpec layout();
    void load() override;
    void unload() override;

  private:
    void showCaption();
    void remove();
};

// The rows of `book` in `section` whose number (protocol, invoice or document number) is
// `number`, by primary key; nothing when the reading failed (reported).
std::optional<std::vector<std::string>> MatchingVatRows(Archives& archives, VatBook book,
                                                        const std::string& section, double number);

inline constexpr const char* kNoParty = "Non è stato inserito il cliente/fornitore";
inline constexpr const char* kNoDate = "Non è stata inserita la data";
inline constexpr const char* kNoDocument = "Non è stata inserito il documento";
inline constexpr const char* kNoProtocol = "Non è stata inserito il protocollo";
inline constexpr const char* kNoVatCode = "Non è stata inserito il codice iva";
inline constexpr const char* kUnknownVatCode = "Il codice iva non è nella tabella iva";
inline constexpr const char* kNoNumber = "Non è stato inserito il numero";

}  // namespace zelvo
