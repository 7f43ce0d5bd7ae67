#include "maintenance/ArchiveCopy.h"

#include "maintenance/MaintenanceCommon.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"

namespace zelvo {

namespace {

constexpr int kOpenTargetYear = 3277;
constexpr int kOpenTargetCounters = 959;
constexpr int kReadTargetCounter = 960;
constexpr int kWriteTargetChart = 961;
constexpr int kOpenTargetChart = 962;
constexpr int kCloseTargetChart = 963;
constexpr int kReadCurrentCounter = 964;
constexpr int kReadTargetCounterAgain = 965;
constexpr int kWriteTargetCounter = 966;
constexpr int kCloseTargetCounters = 967;
// Items up to this number are the predefined chart every company starts with.
constexpr std::int32_t kPredefinedItems = 50;

FormSpec copyForm() {
    using C = ArchiveCopy;
    FormSpec f;
    f.name = "COPIAPC";
    f.title = "Copia archivi dall'azienda corrente";
    f.combo(C::kCompany, "All'azienda", 0).width = 40;
    f.combo(C::kYear, "Anno di lavoro", 1).width = 6;
    f.check(C::kChart, "Piano dei conti", 2);
    f.check(C::kCustomers, "Clienti", 3);
    f.check(C::kSuppliers, "Fornitori", 4);
    f.button(C::kCopy, "&Copia", 5, 0, {.isDefault = true});
    f.button(C::kCancel, "&Annulla", 5, 1, {.isCancel = true});
    return f;
}

// A handle of the record manager for an archive of another company, closed (and the close
// reported) when it goes.
class TargetArchive {
  public:
    TargetArchive(Archives& a, int archive, const std::string& file, int openPosition,
                  int closePosition)
        : m_a(a), m_archive(archive), m_close(closePosition) {
        m_status = a.recordManager().VmxOpen(file, 0, 0, m_handle);
        a.setStatus(m_status);
        if (m_status != 0) {
            a.report(opn::kOpen, archive, openPosition);
        }
    }
    ~TargetArchive() {
        if (m_status == 0) {
            m_a.setStatus(m_a.recordManager().VmxClose(m_handle));
            m_a.report(opn::kClose, m_archive, m_close);
        }
    }
    TargetArchive(const TargetArchive&) = delete;
    TargetArchive& operator=(const TargetArchive&) = delete;
    bool ok() const { return m_status == 0; }
    std::int16_t handle() const { return m_handle; }

  private:
    Archives& m_a;
    int m_archive;
    int m_close;
    std::int16_t m_status = 0;
    std::int16_t m_handle = 0;
};

// The counter "conto" of a counters handle; -1 after a reported failure.
std::int32_t readCounter(Archives& a, std::int16_t handle, isam::Record& record, int position) {
    std::string key = counter::kItemNumbers;
    std::string keyValue;
    std::string primaryKey;
    std::int16_t s =
        a.recordManager().VmxGet(handle, 0, isam::op::kFind, key, keyValue, primaryKey, record);
    if (s == 0 && primaryKey != counter::kItemNumbers) {
        s = isam::status::kNotFound;
    }
    a.setStatus(s);
    if (s != 0) {
        a.report(opn::kRead, arc::kPr, position);
        return -1;
    }
    return static_cast<std::int32_t>(record.number(counter::kValue));
}

}  // namespace

ArchiveCopy::ArchiveCopy(Session& session) : ScreenLogic(session, copyForm()) {
    on(Event::Change, kCompany,
       [this] { maintenance::FillYears(archives(), form(), kCompany, kYear); });
    on(Event::Leave, kCompany,
       [this] { maintenance::FillYears(archives(), form(), kCompany, kYear); });
    on(Event::Click, kCopy, [this] { copy(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void ArchiveCopy::load() {
    maintenance::FillCompanies(archives(), form(), kCompany, kYear);
}

bool ArchiveCopy::wanted(const std::string& kind) {
    if (kind == "m" || kind == "cc" || kind == "s") {
        return form().checked(kChart);
    }
    return (kind == "c" && form().checked(kCustomers)) ||
           (kind == "f" && form().checked(kSuppliers));
}

void ArchiveCopy::copy() {
    Archives& a = archives();
    const std::string code = maintenance::CompanyCode(a, text(kCompany));
    const std::string year = text(kYear);
    {
        TargetArchive yearRecord(a, arc::kCt, a.fileName(arc::kCt, code, year), kOpenTargetYear, 0);
        if (code.empty() || year.empty() || !yearRecord.ok()) {
            dialogs().message("Archivi non presenti", "Errore", Icon::Exclamation);
            return;
        }
    }
    TargetArchive counters(a, arc::kPr, a.fileName(arc::kPr, code, year), kOpenTargetCounters,
                           kCloseTargetCounters);
    isam::Record record;
    const std::int32_t target =
        counters.ok() ? readCounter(a, counters.handle(), record, kReadTargetCounter) : -1;
    if (target < 0) {
        return;
    }
    if (form().checked(kChart) && target > kPredefinedItems) {
        dialogs().beep();
        dialogs().message("Operazione non effettuabile", "Errore", Icon::Exclamation);
        return;
    }
    if (a.getByKeyReported(arc::kPr, counter::kItemNumbers, kReadCurrentCounter) != 0) {
        return;
    }
    const auto current = static_cast<std::int32_t>(a.readBuffer(arc::kPr).number(counter::kValue));
    // One transaction of the target's container: a copy cut short by a crash leaves the
    // target as it was. Failed writes are reported and the copy goes on with the rest.
    isam::Transaction tx(a.recordManager(), counters.handle());
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kPc, kWriteTargetChart);
        return;
    }
    {
        TargetArchive chart(a, arc::kPc, a.fileName(arc::kPc, code, year), kOpenTargetChart,
                            kCloseTargetChart);
        if (chart.ok()) {
            copyChart(chart.handle());
        }
    }
    copyCounter(counters.handle(), current);
    a.setStatus(tx.commit());
    if (a.status() != 0) {
        a.report(opn::kWrite, arc::kPr, kWriteTargetCounter);
    }
}

bool ArchiveCopy::copyChart(std::int16_t targetChart) {
    Archives& a = archives();
    bool ok = true;
    a.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& source) {
        if (!wanted(source.text(chart::kKind))) {
            return true;
        }
        isam::Record r = source;
        r.setText(37, "");
        for (int field : {chart::kOpeningBalance, chart::kProgressiveDebit,
                          chart::kProgressiveCredit, chart::kClosingBalance, 44, 45, 36}) {
            r.setNumber(field, 0);
        }
        std::int16_t s = a.recordManager().VmxPut(targetChart, key, r, isam::mode::kAdd);
        a.setStatus(s);
        if (s != 0) {
            a.report(opn::kWrite, arc::kPc, kWriteTargetChart);
            ok = false;
        }
        return true;
    });
    return ok;
}

bool ArchiveCopy::copyCounter(std::int16_t targetCounters, std::int32_t current) {
    Archives& a = archives();
    isam::Record record;
    if (readCounter(a, targetCounters, record, kReadTargetCounterAgain) < 0) {
        return false;
    }
    record.setNumber(counter::kValue, current);
    std::int16_t s = a.recordManager().VmxPut(targetCounters, counter::kItemNumbers, record,
                                              isam::mode::kRewrite);
    a.setStatus(s);
    if (s != 0) {
        a.report(opn::kWrite, arc::kPr, kWriteTargetCounter);
        return false;
    }
    return true;
}

}  // namespace zelvo
