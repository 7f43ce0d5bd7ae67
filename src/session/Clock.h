#pragma once

#include <string>

namespace zelvo {

// Where today comes from: the system's calendar, or a fixed date for tests and scripts.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::string today() const = 0;  // "dd/mm/yyyy"
    int currentYear() const;
};

class SystemClock : public Clock {
  public:
    std::string today() const override;
};

class FixedClock : public Clock {
  public:
    explicit FixedClock(std::string today) : m_today(std::move(today)) {}
    std::string today() const override { return m_today; }
    void set(std::string today) { m_today = std::move(today); }

  private:
    std::string m_today;
};

}  // namespace zelvo
