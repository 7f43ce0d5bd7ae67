#include "session/Clock.h"

#include <cstdio>
#include <ctime>

#include "base/NumberText.h"

namespace zelvo {

int Clock::currentYear() const {
    std::string t = today();
    return t.size() >= 10 ? WholeVal(t.substr(6, 4)) : 0;
}

std::string SystemClock::today() const {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900);
    return buf;
}

}  // namespace zelvo
