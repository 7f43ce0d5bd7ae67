#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// The screens that exist, by name. A command whose screen is not here is shown disabled.
class ScreenRegistry {
  public:
    using Factory = std::function<std::unique_ptr<ScreenLogic>(Session&)>;

    template <typename Logic>
    static Factory make() {
        return [](Session& s) { return std::make_unique<Logic>(s); };
    }

    void add(const std::string& name, Factory factory);
    bool has(const std::string& name) const;
    // Every name registered, in name order.
    std::vector<std::string> names() const;
    std::unique_ptr<ScreenLogic> create(const std::string& name, Session& session) const;

  private:
    std::map<std::string, Factory> m_factories;
};

}  // namespace zelvo
