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

bool UriHoldsPassword(std::string_view uri) {
    const size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos) {
        return false;
    }
    const std::string_view rest = uri.substr(scheme + 3);
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos &&
        authority.substr(0, at).find(':') != std::string_view::npos) {
        return true;
    }
    const size_t query = rest.find('?');
    if (query == std::string_view::npos) {
        return false;
    }
    std::string params(rest.substr(query));
    for (char& c : params) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return params.find("?password=") != std::string::npos ||
           params.find("&password=") != std::string::npos;
}

std::string ServerUri(const std::string& dataDirectory) {
    if (!dataDirectory.empty() && dataDirectory.back() == '/') {
        return dataDirectory.substr(0, dataDirectory.size() - 1);
    }
    return dataDirectory;
}

}  // namespace zelvo::isam
