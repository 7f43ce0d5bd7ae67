#include "masterdata/Counters.h"

#include <limits>

#include "archive/RecordLock.h"
#include "base/NumberText.h"

namespace zelvo {

std::int32_t NextNumber(Archives& archives, const std::string& name) {
    return ReserveNumbers(archives, name, 1);
}

std::int32_t ReserveNumbers(Archives& archives, const std::string& name, std::int32_t count) {
    if (archives.getByKeyReported(arc::kPr, name, counterpos::kRead) != 0) {
        return 0;
    }
    const double value = archives.readBuffer(arc::kPr).number(counter::kValue);
    if (value > std::numeric_limits<std::int32_t>::max() - static_cast<double>(count)) {
        // The record manager has no status for it; the report still names the counters
        // archive and this place, and nothing is written.
        archives.setStatus(isam::status::kBadArgument);
        archives.report(opn::kWrite, arc::kPr, counterpos::kOverflow);
        return 0;
    }
    // The last number taken fits (checked above); the first is counted back from it, so that
    // no sum passes the largest 32-bit number on the way.
    const std::int32_t last = static_cast<std::int32_t>(value + count);
    const std::int32_t next = last - count + 1;
    // From the record as read: the counter's text stays as it is.
    archives.copyReadToWrite(arc::kPr);
    archives.writeBuffer(arc::kPr).setNumber(counter::kValue, last);
    if (archives.putReported(arc::kPr, name, isam::mode::kWrite, counterpos::kWrite) != 0) {
        return 0;
    }
    if (archives.flush(arc::kPr) != 0) {
        archives.report(opn::kWrite, arc::kPr, counterpos::kWrite);
        return 0;
    }
    return next;
}

std::int32_t NextLockedNumber(Archives& archives, const std::string& name) {
    Registration tx(archives, arc::kPr);
    if (tx.status() != 0) {
        archives.setStatus(tx.status());
        archives.report(opn::kWrite, arc::kPr, counterpos::kCommit);
        return 0;
    }
    std::int32_t number = 0;
    {
        // Without the lock (reported) no number is taken: another station could take it too.
        RecordLock lock(archives, arc::kPr, name, counterpos::kLock);
        if (lock.held()) {
            number = NextNumber(archives, name);
        }
    }
    // Committed even after a failure: nothing was written then, and giving up the
    // transaction would also give up the caller's registration it may be nested in.
    if (tx.commit() != 0) {
        archives.report(opn::kWrite, arc::kPr, counterpos::kCommit);
        return 0;
    }
    return number;
}

std::string NextItemNumber(Archives& archives) {
    const std::int32_t number = NextLockedNumber(archives, counter::kItemNumbers);
    return number == 0 ? std::string() : Format(number, "00000");
}

}  // namespace zelvo
