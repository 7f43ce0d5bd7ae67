#include "app/Parameters.h"

#include "masterdata/CompanyArchives.h"

namespace zelvo {

bool ReadParameters(Archives& archives, ProgramValues& values) {
    if (!archives.open(arc::kParam)) {
        return false;
    }
    const bool read =
        archives.getByKeyReported(arc::kParam, param::kKey, setuppos::kParametersRead) == 0;
    archives.close(arc::kParam);
    if (!read) {
        return false;
    }
    using namespace param;
    const isam::Record& r = archives.readBuffer(arc::kParam);
    values.backgroundColour = static_cast<std::int32_t>(r.number(kBackgroundColour));
    values.print.font = r.text(kPrintFont).empty() ? kDefaultPrintFont : r.text(kPrintFont);
    values.print.fontSize = static_cast<int>(r.number(kFontSize));
    values.print.linesPerPage = static_cast<int>(r.number(kLinesPerPage));
    values.print.zoom = r.text(kPreviewZoom);
    values.minimumVatPayable = r.number(kMinimumVatPayable);
    values.exchangeRate = r.number(kExchangeRate) == 0 ? 1 : r.number(kExchangeRate);
    values.listLength =
        r.number(kListLength) == 0 ? kDefaultListLength : static_cast<int>(r.number(kListLength));
    // The flags are check-box values; only the agenda asks for exactly 1 (a grey box, 2,
    // does not open it).
    values.showPreviousDescriptions = r.number(kShowPreviousDescriptions) != 0;
    values.showToolbar = r.number(kShowToolbar) != 0;
    values.showStatusBar = r.number(kShowStatusBar) != 0;
    values.agendaAtStartUp = r.number(kAgendaAtStartUp) == 1;
    return true;
}

void SetDefaultParameters(isam::Record& record) {
    using namespace param;
    record.clear();
    record.setNumber(kBackgroundColour, 0);
    record.setText(kPrintFont, kDefaultPrintFont);
    record.setNumber(kFontSize, 10);
    record.setNumber(kLinesPerPage, 60);
    record.setText(kPreviewZoom, "100");
    record.setNumber(kMinimumVatPayable, 50000);
    record.setNumber(kExchangeRate, 1936.27);
    record.setNumber(kListLength, kDefaultListLength);
    record.setNumber(kShowPreviousDescriptions, 0);
    record.setNumber(kShowToolbar, 1);
    record.setNumber(kShowStatusBar, 1);
    record.setNumber(kAgendaAtStartUp, 0);
}

}  // namespace zelvo
