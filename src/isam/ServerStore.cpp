#include "isam/ServerStore.h"

namespace zelvo::isam {

struct ServerStore::Impl {};

ServerStore::ServerStore() : m_impl(std::make_unique<Impl>()) {}
ServerStore::~ServerStore() = default;

}  // namespace zelvo::isam
