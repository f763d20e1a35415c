// Reading files that come from outside: regular files only, never waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include "platform/Status.h"

namespace gh::platform {

// A file opened for reading; others may read it but not write it meanwhile
// (where the system can enforce that). Reads are unbuffered. Only a regular
// file opens: a folder, a pipe or a device fails as an unreadable file does,
// and opening never waits, so no name can stall the program.
class CInputFile {
public:
    CInputFile() = default;
    ~CInputFile();
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;

    // On failure the status says why, in the system's words where the
    // system refused ("Permission denied"), otherwise that it is not a
    // regular file.
    Status Open(const std::wstring& path);
    // Open followed by ReadAt(0, buffer, size) into `got`, for scans over
    // many files: a path spelled as the file system spells it (see
    // ExactCasePath) costs one call fewer. A failure, with nothing open and
    // `got` 0, when Open would fail.
    Status OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got);
    bool IsOpen() const { return m_handle != kNone; }
    // Reads up to `size` bytes; returns the count read, 0 at the end or on error.
    std::size_t Read(void* buffer, std::size_t size);
    // Reads up to `size` bytes at `offset` without moving the read position.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // The file's size in bytes, or none.
    std::optional<std::uint64_t> Size();
    void Close();

private:
    friend class CInputFolder;
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
};

// Reads a whole regular file of at most `limit` bytes (through CInputFile).
// None when it cannot be read or is larger.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit);

}  // namespace gh::platform
