#include "app/ScreenRegistry.h"

#include "app/AboutBox.h"
#include "app/CompanyCreation.h"
#include "app/CompanySelection.h"

namespace zelvo {

namespace {

template <typename Logic>
ScreenRegistry::Factory make() {
    return [](Session& s) { return std::make_unique<Logic>(s); };
}

ScreenRegistry buildProgram() {
    ScreenRegistry r;
    r.add("SCELTA", make<CompanySelection>());
    r.add("APRIAZ", make<CompanyCreation>());
    r.add("primo", make<AboutBox>());
    return r;
}

}  // namespace

const ScreenRegistry& ScreenRegistry::Program() {
    static const ScreenRegistry kProgram = buildProgram();
    return kProgram;
}

void ScreenRegistry::add(const std::string& name, Factory factory) {
    m_factories[name] = std::move(factory);
}

bool ScreenRegistry::has(const std::string& name) const {
    return m_factories.count(name) > 0;
}

std::unique_ptr<ScreenLogic> ScreenRegistry::create(const std::string& name,
                                                    Session& session) const {
    auto it = m_factories.find(name);
    return it == m_factories.end() ? nullptr : it->second(session);
}

}  // namespace zelvo
