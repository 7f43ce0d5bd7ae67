#include "yearend/TotalsRebuild.h"

#include "yearend/RunningTotals.h"

namespace zelvo {

namespace {

FormSpec rebuildForm() {
    using T = TotalsRebuild;
    FormSpec f;
    f.name = "RICO";
    f.title = "Ricostruzione progressivi";
    f.label(T::kText, "Ricostruzione dei progressivi del piano dei conti", 0, 0).columnSpan = 2;
    f.progress(T::kProgress, 1).columnSpan = 2;
    f.button(T::kRun, "&Ok", 2, 0, {.isDefault = true});
    f.button(T::kCancel, "&Annulla", 2, 1, {.isCancel = true});
    return f;
}

}  // namespace

TotalsRebuild::TotalsRebuild(Session& session) : ScreenLogic(session, rebuildForm()) {
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void TotalsRebuild::load() {
    archives().open(arc::kMc);
    form().setText(kProgress, "0");
}

void TotalsRebuild::unload() {
    archives().close(arc::kMc);
}

void TotalsRebuild::run() {
    BusyCursor busy(session().host());
    int shown = 0;
    RebuildRunningTotals(archives(), session().values().year,
                         [this, &shown](std::int64_t done, std::int64_t maximum) {
                             const int percent =
                                 maximum <= 0 ? 100 : static_cast<int>(done * 100 / maximum);
                             if (percent != shown) {
                                 shown = percent > 100 ? 100 : percent;
                                 form().setText(kProgress, std::to_string(shown));
                                 repaint();
                             }
                         });
    requestClose();
}

}  // namespace zelvo
