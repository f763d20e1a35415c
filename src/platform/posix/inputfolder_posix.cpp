#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/InputFolder.h"
#include "platform/SystemError.h"
#include "platform/Text.h"
#include "platform/posix/ReadOnlyOpen.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform {

struct CInputFolder::State {
    DIR* dir = nullptr;
    struct Listed {
        std::string name;  // as the system spells it
        bool regular;      // the listing named it a regular file
    };
    std::vector<Listed> listed;  // of the last listing
};

CInputFolder::CInputFolder() = default;

CInputFolder::~CInputFolder() { Close(); }

bool CInputFolder::Open(const std::wstring& folder) {
    Close();
    const std::string path = WideToSystemName(folder);
    // Never waits, and only a folder opens.
    const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    m_state = std::make_unique<State>();
    m_state->dir = dir;
    return true;
}

std::optional<FolderIdentity> CInputFolder::Identity() const {
    struct stat st {};
    if (!m_state || fstat(dirfd(m_state->dir), &st) != 0) return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool CInputFolder::List(std::vector<FolderEntry>& out) {
    if (!m_state) return false;
    rewinddir(m_state->dir);
    std::vector<posix::ListedEntry> found;
    posix::ReadSortedEntries(m_state->dir, L"*", found);
    m_state->listed.clear();
    m_state->listed.reserve(found.size());
    out.reserve(out.size() + found.size());
    for (auto& f : found) {
        m_state->listed.push_back({std::move(f.systemName), f.regular});
        out.push_back(std::move(f.entry));
    }
    return true;
}

Status CInputFolder::OpenEntryAndReadStart(std::size_t index, CInputFile& file, void* buffer, std::size_t size,
                                           std::size_t& got) {
    file.Close();
    got = 0;
    if (!m_state || index >= m_state->listed.size()) return SystemErrorStatus(ENOENT);
    const State::Listed& entry = m_state->listed[index];
    const int fd = posix::OpenRegularFileAt(dirfd(m_state->dir), entry.name.c_str(), entry.regular);
    if (fd < 0) return posix::OpenFailure();
    file.m_handle = fd;
    got = file.ReadAt(0, buffer, size);
    return {};
}

void CInputFolder::Close() {
    if (m_state && m_state->dir) closedir(m_state->dir);
    m_state.reset();
}

}  // namespace gh::platform
