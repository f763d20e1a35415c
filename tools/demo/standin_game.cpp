// A stand-in for Emberwake2.exe, for the demo and the tests: it prints what
// it was started with, its working folder and the selection file that its
// MODSCHEME= argument names (its encoding and line ends, then its lines),
// then ends. Started through --runner it gets the game's path first.
//
// It records the same text (UTF-8) in the file named by the environment
// variable GATEHOUSE_STANDIN_RECORD, or else in "standin-record.txt" beside
// its own executable. The selection file is looked for in the documents game
// folder, below GATEHOUSE_STANDIN_DOCUMENTS when that is set (the folder the
// launcher was given with --documents), else below the system's documents.
#include "game/GameFolders.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxSelectionBytes = 1 << 20;
constexpr std::wstring_view kModScheme = L"MODSCHEME=";

std::optional<std::wstring> Environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return gh::platform::SystemNarrowToWide(value);
}

bool StartsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
    return true;
}

// The file as the game reads it: UTF-16 little-endian with or without its
// mark, or UTF-8 after a UTF-8 mark.
std::wstring DecodeSelectionFile(const std::string& bytes) {
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        return gh::Utf8ToWide(std::string_view(bytes).substr(3));
    std::size_t start = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        start = 2;
    std::u16string units;
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return gh::Utf16ToWide(units);
}

// How the file was written: its encoding and its line ends, e.g.
// "UTF-16 LE with mark, CR LF".
std::wstring DescribeEncoding(const std::string& bytes, const std::wstring& content) {
    std::wstring text;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF)
        text = L"UTF-8 with mark";
    else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
             static_cast<unsigned char>(bytes[1]) == 0xFE)
        text = L"UTF-16 LE with mark";
    else
        text = L"UTF-16 LE without mark";
    std::size_t crlf = 0, lf = 0;
    for (std::size_t i = 0; i < content.size(); ++i)
        if (content[i] == L'\n') (i > 0 && content[i - 1] == L'\r' ? crlf : lf) += 1;
    if (crlf > 0 && lf == 0)
        text += L", CR LF";
    else if (lf > 0 && crlf == 0)
        text += L", LF";
    else if (crlf > 0)
        text += L", CR LF and LF";
    return text;
}

std::wstring DescribeSelection(const gh::CGameFolders& folders, const std::wstring& fileName) {
    const std::wstring path = folders.GetUserGameFolder() + fileName;
    std::wstring text = L"selection file: " + path + L"\n";
    const auto bytes = gh::platform::ReadWholeFile(path, kMaxSelectionBytes);
    if (!bytes) return text + L"  (cannot be read)\n";
    std::wstring content = DecodeSelectionFile(*bytes);
    text += L"encoding: " + DescribeEncoding(*bytes, content) + L"\n";
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find(L'\n', pos);
        if (end == std::wstring::npos) end = content.size();
        std::wstring line = content.substr(pos, end - pos);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        text += L"  " + line + L"\n";
        pos = end + 1;
    }
    return text;
}

std::wstring WorkingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (error) return L"(unknown)";
#ifdef _WIN32
    return folder.wstring();
#else
    return gh::platform::SystemNarrowToWide(folder.string());
#endif
}

std::wstring RecordPath() {
    if (auto named = Environment("GATEHOUSE_STANDIN_RECORD")) return *named;
    const std::wstring self = gh::platform::LauncherPath();
    const auto cut = self.find_last_of(L"\\/");
    return (cut == std::wstring::npos ? std::wstring() : self.substr(0, cut + 1)) + L"standin-record.txt";
}

}  // namespace

int main(int argc, char** argv) {
    const auto documents = Environment("GATEHOUSE_STANDIN_DOCUMENTS");
    const gh::CGameFolders folders(gh::platform::LauncherPath(),
                                   documents ? *documents : gh::platform::DocumentsFolder());
    const std::vector<std::wstring> args = gh::platform::ProgramArguments(argc, argv);

    std::wstring text = L"Emberwake II stand-in started with " + std::to_wstring(args.size()) + L" argument" +
                        (args.size() == 1 ? L"" : L"s") + L"\n";
    text += L"working folder: " + WorkingFolder() + L"\n";
    for (std::size_t i = 0; i < args.size(); ++i)
        text += L"argument " + std::to_wstring(i + 1) + L": " + args[i] + L"\n";
    for (const std::wstring& arg : args)
        if (StartsWithNoCase(arg, kModScheme)) text += DescribeSelection(folders, arg.substr(kModScheme.size()));

    const std::string bytes = gh::WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    if (!gh::platform::WriteFileAtomically(RecordPath(), bytes.data(), bytes.size())) {
        std::fputs("stand-in: the record could not be written\n", stderr);
        return 1;
    }
    return 0;
}
