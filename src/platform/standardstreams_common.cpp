#include "platform/StandardStreams.h"

#include <cstdio>

namespace gh::platform {

std::optional<StreamFailure> WriteStandardStream(StandardStream stream, std::string_view bytes) {
    std::FILE* file = stream == StandardStream::Output ? stdout : stderr;
    detail::ForgetStreamError();
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // A failed write leaves the rest in the buffer: the flush meets the same
    // error and is not needed to report it.
    if (!written || std::fflush(file) != 0) return detail::LastStreamError();
    return std::nullopt;
}

std::optional<StreamFailure> CloseStandardOutput() {
    detail::ForgetStreamError();
    if (std::fclose(stdout) != 0) return detail::LastStreamError();
    return std::nullopt;
}

}  // namespace gh::platform
