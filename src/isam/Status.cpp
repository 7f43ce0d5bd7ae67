#include "isam/Status.h"

namespace zelvo::isam {

const char* StatusText(std::int16_t s) {
    switch (s) {
        case status::kOk:
            return "ok";
        case status::kNotFound:
            return "not found";
        case status::kEndOfIndex:
            return "end of index";
        case status::kBeginningOfIndex:
            return "beginning of index";
        case status::kDuplicateKey:
            return "duplicate key";
        case status::kNoCurrentRecord:
            return "no record to rewrite";
        case status::kLocked:
            return "record locked";
        case status::kArchiveMissing:
            return "archive missing";
        case status::kBadArgument:
            return "bad argument";
        case status::kCorrupt:
            return "archive damaged";
        case status::kDiskFull:
            return "disk full";
        case status::kOutOfMemory:
            return "out of memory";
        case status::kOsError:
            return "refused by the system";
        case status::kIoError:
            return "I/O error";
        case status::kBusy:
            return "archive busy";
        case status::kTooManyFiles:
            return "too many open files";
        default:
            return "unknown status";
    }
}

}  // namespace zelvo::isam
