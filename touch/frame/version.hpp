// The start-up check that the module runs under the Python it was built for.
#pragma once

#include <string>

namespace touch {

// "3.11" of "3.11.2 (main, ...)": everything up to the second dot.
std::string major_minor(const char* version);

// Do the build-time "major.minor" and the running interpreter's version string agree?
bool same_major_minor(const char* built, const char* running_version);

}  // namespace touch
