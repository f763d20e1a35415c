// The copy that stands in for a hard link, the same on every system.
#include "platform/AtomicFile.h"
#include "platform/FileLinks.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

#include <memory>
#include <new>

namespace gh::platform::detail {

namespace {
constexpr std::size_t kCopyPiece = 1 << 20;
}

Status CopyFileKeepingTime(const std::wstring& from, const std::wstring& to) {
    if (FileExists(to)) return Status(StatusKind::Refused, L"a file of that name exists already");
    CInputFile source;
    if (Status opened = source.Open(from); !opened) return opened;
    const std::optional<std::int64_t> modified = FileModificationTime(from);
    const std::optional<std::uint64_t> size = source.Size();
    if (!modified || !size) return Status(StatusKind::Failed, L"the file could not be looked at");
    std::unique_ptr<char[]> piece(new (std::nothrow) char[kCopyPiece]);
    if (!piece) return Status(StatusKind::NoSpace, L"out of memory");
    CAtomicFile out;
    if (!out.Open(to)) return out.Error();
    std::uint64_t done = 0;
    while (done < *size) {
        const std::size_t got = source.ReadAt(done, piece.get(), kCopyPiece);
        if (got == 0) return Status(StatusKind::Failed, L"the file could not be read to its end");
        if (!out.Write(piece.get(), got)) return out.Error();
        done += got;
    }
    if (!out.Commit()) return out.Error();
    if (!SetFileModificationTime(to, *modified)) return SystemErrorStatus(LastSystemError());
    return {};
}

}  // namespace gh::platform::detail
