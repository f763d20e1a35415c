// Prints the file version that ReadFileVersion finds in each file named on
// the command line, as "<path>\t<major>, <minor>, <build>, <revision>" or
// "<path>\tnone", for comparison with other tools.
#include "platform/FileVersion.h"
#include "platform/Unicode.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::uint16_t parts[4] = {};
        if (gh::platform::ReadFileVersion(gh::Utf8ToWide(argv[i]), parts))
            std::printf("%s\t%u, %u, %u, %u\n", argv[i], unsigned{parts[0]}, unsigned{parts[1]}, unsigned{parts[2]},
                        unsigned{parts[3]});
        else
            std::printf("%s\tnone\n", argv[i]);
    }
    return 0;
}
