#include "platform/SystemDescription.h"

#include "platform/Unicode.h"

#include <sys/utsname.h>

#include <fstream>
#include <string>

namespace gh::platform {

namespace {

// The distribution's own name for itself: PRETTY_NAME of os-release, with
// its quotes taken off. Read line by line up to a bound; empty when there
// is none.
std::string DistributionName() {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream file(path);
        std::string line;
        for (int lines = 0; lines < 100 && std::getline(file, line); ++lines) {
            static constexpr std::string_view kKey = "PRETTY_NAME=";
            if (line.size() > 512 || !line.starts_with(kKey)) continue;
            std::string value = line.substr(kKey.size());
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

}  // namespace

std::wstring SystemDescription() {
    std::string text;
    struct utsname names {};
    // The node name is the machine's name: it is not given out.
    if (uname(&names) == 0) {
        text = std::string(names.sysname) + " " + names.release + " " + names.machine;
    } else {
        text = "an unknown POSIX system";
    }
    if (const std::string distribution = DistributionName(); !distribution.empty()) text += " (" + distribution + ")";
    return Utf8ToWide(text);
}

}  // namespace gh::platform
