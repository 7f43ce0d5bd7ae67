#pragma once

#include "session/ReportSink.h"
#include "session/ScreenLogic.h"

namespace zelvo {

struct ChartPrintRequest {
    bool alphabetic = true;  // description order; else account-code order ("Per mastro")
    bool customers = false;
    bool suppliers = false;  // suppliers and agents
    bool preview = false;
};

// The chart of accounts ("PIANO DEI CONTI"): every mastro, conto and sottoconto, customers
// and suppliers when asked for, each with its running totals. In description order a mastro
// is marked with a leading "*"; in account-code order each mastro is followed by its conti
// and each conto by its items, indented by level. False when nothing was printed.
bool PrintChart(Session& session, ReportSink& sink, const ChartPrintRequest& request);

// STPC, "Stampa Piano dei Conti": "Ordine" with `Option1` "Alfabetico" and `Option2` "Per
// mastro", `Check1` "Clienti", `Check2` "Fornitori", `Check3` "Anteprima di stampa",
// `Command1` "&Stampa", `Command2` "&Annulla".
class ChartPrint : public ScreenLogic {
  public:
    static constexpr const char* kAlphabetic = "Option1";
    static constexpr const char* kByMastro = "Option2";
    static constexpr const char* kCustomers = "Check1";
    static constexpr const char* kSuppliers = "Check2";
    static constexpr const char* kPreview = "Check3";
    static constexpr const char* kPrint = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ChartPrint(Session& session);
    static FormSpec layout();
    void load() override;
};

}  // namespace zelvo
