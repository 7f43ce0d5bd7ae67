#include "vat/SettlementScreen.h"

#include "base/NumberText.h"
#include "vat/VatRegister.h"

namespace zelvo {

namespace {

constexpr int kExcludedCodes = 5;

std::string excludedCodeControl(int i) {
    return "text" + std::to_string(4 + i);
}

void addVentilation(FormSpec& f, int row, const char* caption) {
    using S = SettlementScreen;
    f.check(S::kVentilation, caption, row);
    f.amount(S::kReceiptsAmount, "Importo corrispettivi:", row + 1, 16, Amounts::Lire);
    f.label("Label1",
            "Codici iva delle registrazioni da non inserire nel calcolo dell'ammontare degli "
            "acquisti:",
            row + 2)
        .columnSpan = 4;
    for (int i = 0; i < kExcludedCodes; ++i) {
        f.text(excludedCodeControl(i), "", row + 3, 4, {.maxLength = 3}).width = 4;
    }
}

}  // namespace

void PeriodControls::add(FormSpec& f, int row) {
    f.option(kMonthly, "Mensile", "Periodo", row, 0);
    f.option(kQuarterly, "Trimestrale", "Periodo", row, 1);
    AddMonthOptions(f, "Mese", row + 1);
    for (int q = 1; q <= 4; ++q) {
        f.option("trim" + std::to_string(q), std::to_string(q) + "° Trimestre", "Trimestre",
                 row + 4, q - 1);
    }
}

void PeriodControls::start(FormState& form) {
    form.setChecked(kMonthly, true);
    enable(form);
}

void PeriodControls::enable(FormState& form) {
    const bool monthly = !form.checked(kQuarterly);
    for (int m = 1; m <= 12; ++m) {
        form.setEnabled("mese" + std::to_string(m), monthly);
    }
    for (int q = 1; q <= 4; ++q) {
        form.setEnabled("trim" + std::to_string(q), !monthly);
    }
}

std::optional<VatPeriod> PeriodControls::read(
    ScreenLogic&, FormState& form,
    const std::function<void(const std::string&, const std::string&)>& refuse) {
    if (!form.checked(kQuarterly)) {
        const int month = ChosenMonth(form);
        if (month == 0) {
            refuse(kNoMonth, "mese1");
            return std::nullopt;
        }
        return VatPeriod{VatPeriod::Month, month};
    }
    for (int q = 1; q <= 4; ++q) {
        if (form.checked("trim" + std::to_string(q))) {
            return VatPeriod{VatPeriod::Quarter, q};
        }
    }
    refuse(kNoQuarter, "trim1");
    return std::nullopt;
}

SettlementScreen::SettlementScreen(Session& session, Kind kind)
    : ScreenLogic(session, layout(kind)), m_kind(kind) {
    if (kind != Kind::Annual) {
        on(Event::Change, PeriodControls::kMonthly, [this] { PeriodControls::enable(form()); });
        on(Event::Change, PeriodControls::kQuarterly, [this] { PeriodControls::enable(form()); });
    }
    if (kind != Kind::SingleRegister) {
        on(Event::Change, kVentilation, [this] { enableVentilation(); });
    }
    on(Event::Click, kPrint, [this] { print(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

FormSpec SettlementScreen::layout(Kind kind) {
    FormSpec f;
    int row = 0;
    if (kind == Kind::Annual) {
        f.name = "LIQIVA1";
        f.title = "Liquidazione Iva annuale";
        f.label("Label2", "Dati riepilogativi iva anno", row++);
        f.check(kCompanyHeading, "Intestazione azienda", row++);
        f.check(kPreview, "Anteprima di stampa", row++);
        addVentilation(f, row, "Ventilazione iva");
        row += 4;
    } else {
        const bool periodic = kind == Kind::Periodic;
        f.name = periodic ? "LIQIVA" : "LIQIVASR";
        f.title = periodic ? "Liquidazione Iva" : "Liquidazione iva singolo registro";
        PeriodControls::add(f, row);
        row += 5;
        if (!periodic) {
            f.text(kSection, "Registro:", row++, 4, {.allowed = kDigits, .maxLength = 1});
        }
        f.text(kSkipLines, "Salto righe iniziali:", row++, 4, {.allowed = kDigits, .maxLength = 3});
        f.check(kCompanyHeading, "Intestaz. azienda", row, 0);
        f.check(kPreview, "Antepr. di stampa", row++, 1);
        if (periodic) {
            f.check(kDefinitive, "Definitiva", row++);
            addVentilation(f, row, "Ventilazione Iva");
            row += 4;
            f.text(kNote1, "Note:", row++, 60);
            f.text(kNote2, "", row++, 60);
        }
    }
    f.button(kPrint, "&Stampa", row, 0, {.isDefault = true});
    f.button(kCancel, "&Annulla", row, 1, {.isCancel = true});
    return f;
}

void SettlementScreen::load() {
    OpenVatBooks(archives());
    if (m_kind != Kind::Annual) {
        PeriodControls::start(form());
    }
    if (m_kind != Kind::SingleRegister) {
        enableVentilation();
    }
}

void SettlementScreen::unload() {
    CloseVatBooks(archives());
}

void SettlementScreen::enableVentilation() {
    const bool on = form().checked(kVentilation);
    form().setEnabled(kReceiptsAmount, on);
    for (int i = 0; i < kExcludedCodes; ++i) {
        form().setEnabled(excludedCodeControl(i), on);
    }
}

bool SettlementScreen::readRequest(SettlementPrint& print) {
    auto refuse = [this](const std::string& message, const std::string& focus) {
        inputError(message, focus);
    };
    SettlementRequest& request = print.request;
    if (m_kind != Kind::SingleRegister && !readVentilation(request)) {
        return false;
    }
    if (m_kind == Kind::Annual) {
        request.period = {VatPeriod::Year, 0};
    } else {
        const std::optional<VatPeriod> period = PeriodControls::read(*this, form(), refuse);
        if (!period) {
            return false;
        }
        request.period = *period;
        print.skipLines = SkipLinesOf(text(kSkipLines), session().values().print.linesPerPage);
        if (print.skipLines < 0) {
            refuse(kBadSkipLines, kSkipLines);
            return false;
        }
    }
    if (m_kind == Kind::SingleRegister) {
        request.section = SectionOf(text(kSection));
        if (request.section.empty()) {
            refuse(kBadSection, kSection);
            return false;
        }
        request.withReceiptsSection = false;
    }
    return true;
}

// The receipts to apportion are asked before anything else is read.
bool SettlementScreen::readVentilation(SettlementRequest& request) {
    request.ventilation = form().checked(kVentilation);
    if (request.ventilation) {
        request.receiptsAmount = Val(text(kReceiptsAmount));
        if (request.receiptsAmount == 0) {
            inputError(kNoReceiptsAmount, kReceiptsAmount);
            return false;
        }
        for (int i = 0; i < kExcludedCodes; ++i) {
            if (!text(excludedCodeControl(i)).empty()) {
                request.excludedCodes.push_back(text(excludedCodeControl(i)));
            }
        }
    }
    return true;
}

void SettlementScreen::print() {
    SettlementPrint print;
    if (!readRequest(print)) {
        return;
    }
    print.companyHeading = form().checked(kCompanyHeading);
    print.preview = form().checked(kPreview);
    if (m_kind == Kind::Periodic) {
        print.definitive = form().checked(kDefinitive);
        print.note1 = text(kNote1);
        print.note2 = text(kNote2);
    }
    printReport([&](ReportSink& sink) { return RunSettlement(session(), sink, print); });
}

}  // namespace zelvo
