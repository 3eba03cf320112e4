#include "version.hpp"

#include <cstring>

namespace touch {

std::string major_minor(const char* version) {
    const char* first_dot = std::strchr(version, '.');
    if (!first_dot) return version;
    const char* end = first_dot + 1;
    while (*end >= '0' && *end <= '9') ++end;
    return std::string(version, end);
}

bool same_major_minor(const char* built, const char* running_version) {
    return major_minor(built) == major_minor(running_version);
}

}  // namespace touch
