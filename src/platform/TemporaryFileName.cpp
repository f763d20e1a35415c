#include "platform/TemporaryFileName.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace gh::platform::detail {

namespace {

constexpr std::string_view kPrefix = ".gatehouse-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kRandomLength = 12;
constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";

std::uint64_t Mix(std::uint64_t x) {  // splitmix64
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

template <typename Char>
bool Matches(std::basic_string_view<Char> name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size()) return false;
    for (std::size_t i = 0; i < kPrefix.size(); ++i)
        if (name[i] != static_cast<Char>(kPrefix[i])) return false;
    for (std::size_t i = 0; i < kSuffix.size(); ++i)
        if (name[kPrefix.size() + kRandomLength + i] != static_cast<Char>(kSuffix[i])) return false;
    for (std::size_t i = kPrefix.size(); i < kPrefix.size() + kRandomLength; ++i) {
        const Char c = name[i];
        if (!((c >= Char('a') && c <= Char('z')) || (c >= Char('0') && c <= Char('9')))) return false;
    }
    return true;
}

}  // namespace

std::string NewTemporaryFileName() {
    // Not for secrecy, only to make two writers' picks differ: the time, a
    // per-process address (randomised by the loader) and a counter.
    static std::atomic<std::uint64_t> counter{0};
    static const int anchor = 0;
    std::uint64_t bits =
        Mix(static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
            Mix(reinterpret_cast<std::uintptr_t>(&anchor)) ^ Mix(counter.fetch_add(1) + 1));
    std::string name(kPrefix);
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        if (i == kRandomLength / 2) bits = Mix(bits);
        name.push_back(kAlphabet[bits % kAlphabet.size()]);
        bits /= kAlphabet.size();
    }
    name += kSuffix;
    return name;
}

bool IsTemporaryFileName(std::string_view name) { return Matches(name); }
bool IsTemporaryFileName(std::wstring_view name) { return Matches(name); }

}  // namespace gh::platform::detail
