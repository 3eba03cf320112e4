// The start-up version check compares whole "major.minor" strings.
#include <cstdio>

#include "frame/version.hpp"

static int failures = 0;

static void expect(bool condition, const char* what) {
    if (!condition) {
        std::printf("FAILED: %s\n", what);
        ++failures;
    }
}

int main() {
    expect(touch::major_minor("3.11.2 (main, Mar 13 2023)") == "3.11", "3.11.2 -> 3.11");
    expect(touch::major_minor("3.6.8") == "3.6", "3.6.8 -> 3.6");
    expect(touch::major_minor("3.13.0rc1") == "3.13", "3.13.0rc1 -> 3.13");
    expect(touch::major_minor("3.12") == "3.12", "3.12 -> 3.12");
    expect(touch::same_major_minor("3.6", "3.6.8 (default)"), "3.6 runs 3.6.8");
    expect(!touch::same_major_minor("3.6", "3.7.1"), "3.6 refuses 3.7.1");
    // First and third characters agree here: only the whole comparison tells them apart.
    expect(!touch::same_major_minor("3.1", "3.11.2"), "3.1 refuses 3.11.2");
    expect(!touch::same_major_minor("3.11", "3.12.0"), "3.11 refuses 3.12.0");
    expect(!touch::same_major_minor("3.12", "3.1.5"), "3.12 refuses 3.1.5");
    std::printf("%d passed, %d failed\n", 9 - failures, failures);
    return failures ? 1 : 0;
}
