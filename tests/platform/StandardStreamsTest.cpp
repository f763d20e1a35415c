#include "platform/StandardStreams.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace gh::platform {
namespace {

// A standard stream closed at start is the null device before anything is
// opened, so no file opened later is given its number and what is printed.
TEST(StandardStreamsTest, AClosedStandardStreamLeadsToTheNullDeviceAndNoFileTakesItsPlace) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows gives no handle the number of a closed standard stream";
#else
    EXPECT_EXIT(
        {
            close(0);
            close(1);
            const StandardStreamsAtStart closed = PrepareStandardStreams();
            const int file = open("/dev/zero", O_RDONLY);
            const bool ok =
                closed.inputClosed && closed.outputClosed && !closed.errorClosed && file > 2 && write(1, "x", 1) == 1;
            _exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
}  // namespace gh::platform
