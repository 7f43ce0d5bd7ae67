#include "session/ScreenRegistry.h"

namespace zelvo {

void ScreenRegistry::add(const std::string& name, Factory factory) {
    m_factories[name] = std::move(factory);
}

bool ScreenRegistry::has(const std::string& name) const {
    return m_factories.count(name) > 0;
}

std::vector<std::string> ScreenRegistry::names() const {
    std::vector<std::string> out;
    for (const auto& [name, factory] : m_factories) {
        out.push_back(name);
    }
    return out;
}

std::unique_ptr<ScreenLogic> ScreenRegistry::create(const std::string& name,
                                                    Session& session) const {
    auto it = m_factories.find(name);
    return it == m_factories.end() ? nullptr : it->second(session);
}

}  // namespace zelvo
