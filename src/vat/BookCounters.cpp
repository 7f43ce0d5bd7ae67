#include "vat/BookCounters.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/JournalFields.h"
#include "vat/VatBooks.h"

namespace zelvo {

namespace {

// Report positions of the book counters.
constexpr int kCounterRead = 6601;
constexpr int kCounterWrite = 6602;

constexpr int kSections = 9;
constexpr std::int64_t kLargestCounter = 2147483647;

std::string protocolBox(int section) {
    return "nprot" + std::to_string(section);
}
std::string receiptBox(int section) {
    return "Ncorr" + std::to_string(section);
}
std::string stateLabel(int section) {
    return "Label" + std::to_string(10 + section);
}

// The entry's number and text; nothing when it cannot be read (reported, unless missing).
std::optional<std::pair<double, std::string>> readCounter(Archives& a, const std::string& key) {
    const std::int16_t s = a.getByKey(arc::kPr, key);
    if (s == isam::status::kNotFound) {
        return std::make_pair(0.0, std::string());
    }
    if (s != 0) {
        a.report(opn::kRead, arc::kPr, kCounterRead);
        return std::nullopt;
    }
    const isam::Record& r = a.readBuffer(arc::kPr);
    return std::make_pair(r.number(prf::kValue), r.text(prf::kText));
}

}  // namespace

BookCounters::BookCounters(Session& session) : ScreenLogic(session, layout()) {
    on(Event::Click, kChange, [this] { change(); });
    on(Event::Click, kClose, [this] { requestClose(); });
}

FormSpec BookCounters::layout() {
    FormSpec f;
    f.name = "PROGRES";
    f.title = "Progressivi contabili";
    f.label("Label1", "Ultimo numero del giornale:", 0, 0);
    f.label(kJournalNumber, "", 0, 1);
    f.label("Label3", "Giornale stampato al:", 1, 0);
    f.label(kJournalDate, "", 1, 1);
    for (int s = 1; s <= kSections; ++s) {
        const std::string n = std::to_string(s);
        f.text(protocolBox(s), "Protocollo acquisti reg. " + n + ":", 1 + s, 10,
               {.allowed = kDigits, .maxLength = 10});
        f.text(receiptBox(s), "Corrispettivi reg. " + n + ":", 1 + s, 10,
               {.allowed = kDigits, .maxLength = 10})
            .column = 1;
        f.label(stateLabel(s), "", 1 + s, 2);
    }
    f.button(kChange, "&Variazione", 2 + kSections, 0, {.isDefault = true});
    f.button(kClose, "&Annulla", 2 + kSections, 1, {.isCancel = true});
    return f;
}

void BookCounters::load() {
    show();
}

void BookCounters::show() {
    Archives& a = archives();
    if (auto journal = readCounter(a, "giornale")) {
        form().setText(kJournalNumber, Format(journal->first, "0"));
        form().setText(kJournalDate, ShownDate(journal->second));
    }
    for (int s = 1; s <= kSections; ++s) {
        const std::string n = std::to_string(s);
        if (auto c = readCounter(a, "prot" + n)) {
            form().setText(protocolBox(s), Format(c->first, "0"));
        }
        if (auto c = readCounter(a, "co" + n)) {
            form().setText(receiptBox(s), Format(c->first, "0"));
        }
        auto purchases = readCounter(a, "regia" + n);
        auto sales = readCounter(a, "regiv" + n);
        const int pm = purchases ? static_cast<int>(Val(purchases->second)) : 0;
        const int sm = sales ? static_cast<int>(Val(sales->second)) : 0;
        form().setText(stateLabel(s), "Acquisti stampato a: " + MonthName(session(), pm) +
                                          "  Vendite stampato a: " + MonthName(session(), sm));
    }
}

void BookCounters::change() {
    std::vector<std::pair<std::string, double>> values;
    for (int s = 1; s <= kSections; ++s) {
        const std::string n = std::to_string(s);
        for (const auto& [box, key] : {std::make_pair(protocolBox(s), "prot" + n),
                                       std::make_pair(receiptBox(s), "co" + n)}) {
            const std::string& typed = text(box);
            if (typed.empty() || typed.find_first_not_of(kDigits) != std::string::npos ||
                typed.size() > 10 || std::stoll(typed) > kLargestCounter) {
                inputError(kBadCounter, box);
                return;
            }
            values.emplace_back(key, static_cast<double>(std::stoll(typed)));
        }
    }
    Archives& a = archives();
    Registration registration(a, arc::kPr);
    for (const auto& [key, value] : values) {
        const double number = value;
        const std::int16_t s = a.update(
            arc::kPr, key, [number](isam::Record& r) { r.setNumber(prf::kValue, number); },
            kCounterRead, kCounterWrite);
        if (s != 0) {
            return;
        }
    }
    if (registration.commit() != 0) {
        a.report(opn::kWrite, arc::kPr, kCounterWrite);
        return;
    }
    show();
}

}  // namespace zelvo
