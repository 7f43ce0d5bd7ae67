#include "isam/ServerLocation.h"

namespace zelvo::isam {

bool IsServerLocation(std::string_view place) {
    return place.starts_with("postgresql://") || place.starts_with("postgres://");
}

bool SplitServerContainer(const std::string& container, ServerContainer& out) {
    if (!IsServerLocation(container)) {
        return false;
    }
    const size_t slash = container.rfind('/');
    std::string name = container.substr(slash + 1);
    if (name.size() > 4 && name.ends_with(".isd")) {
        name.resize(name.size() - 4);
    }
    out.uri = container.substr(0, slash);
    out.schema = std::move(name);
    return !out.schema.empty();
}

std::string ServerUri(const std::string& dataDirectory) {
    if (!dataDirectory.empty() && dataDirectory.back() == '/') {
        return dataDirectory.substr(0, dataDirectory.size() - 1);
    }
    return dataDirectory;
}

}  // namespace zelvo::isam
