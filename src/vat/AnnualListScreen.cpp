#include "vat/AnnualListScreen.h"

#include <memory>

#include "session/ReportSink.h"

namespace zelvo {

AnnualListScreen::AnnualListScreen(Session& session, vat::ListKind kind)
    : ScreenLogic(session, layout(kind)), m_kind(kind) {
    on(Event::Click, kPrint, [this] { print(); });
    on(Event::Click, kSavePdf, [this] { savePdf(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec AnnualListScreen::layout(vat::ListKind kind) {
    const bool customers = kind == vat::ListKind::Customers;
    FormSpec f;
    f.name = customers ? "elc" : "ELF";
    f.title = customers ? "Elenco clienti" : "Elenco fornitori";
    f.button(kPrint, "&Stampa", 0, 0, {.isDefault = true});
    f.button(kSavePdf, "Salva &PDF", 0, 1);
    f.button(kCancel, "&Annulla", 0, 2, {.isCancel = true});
    return f;
}

void AnnualListScreen::print() {
    printReport([this](ReportSink& sink) { return vat::PrintAnnualList(session(), sink, m_kind); });
}

void AnnualListScreen::savePdf() {
    ScreenHost* h = host();
    if (h == nullptr) {
        return;
    }
    const auto path = dialogs().chooseFile({"Salva PDF", "PDF (*.pdf)|*.pdf", "", true});
    if (!path) {
        return;
    }
    std::unique_ptr<ReportSink> sink = h->openPdfReport(*path);
    if (sink != nullptr) {
        h->setBusy(true);
        vat::PrintAnnualList(session(), *sink, m_kind);
        h->setBusy(false);
    }
}

void RegisterAnnualListScreens(ScreenRegistry& registry) {
    registry.add("elc", [](Session& s) {
        return std::make_unique<AnnualListScreen>(s, vat::ListKind::Customers);
    });
    registry.add("ELF", [](Session& s) {
        return std::make_unique<AnnualListScreen>(s, vat::ListKind::Suppliers);
    });
}

}  // namespace zelvo
