// The parts of the run-time library handle that are the same on every system.
#include "platform/Library.h"

#include <utility>

namespace gh::platform {

CSharedLibrary::~CSharedLibrary() { Close(); }

CSharedLibrary::CSharedLibrary(CSharedLibrary&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}

CSharedLibrary& CSharedLibrary::operator=(CSharedLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

}  // namespace gh::platform
