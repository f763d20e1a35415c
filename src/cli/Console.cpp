#include "cli/Console.h"

#include "cli/CliMain.h"
#include "platform/ParentConsole.h"
#include "platform/Process.h"
#include "platform/StandardStreams.h"
#include "platform/Text.h"

namespace gh {

CStandardConsole::CStandardConsole(bool outputClosed) : m_outputClosed(outputClosed) {}

void CStandardConsole::Out(std::wstring_view text) { Output(platform::WideToSystemNarrow(text)); }

void CStandardConsole::OutBytes(std::string_view bytes) { Output(bytes); }

void CStandardConsole::Output(std::string_view bytes) {
    if (bytes.empty() || m_lost) return;
    m_wrote = true;
    if (m_outputClosed) {
        Lose(L"standard output was closed", false);
        return;
    }
    // Gatehouse.exe, run from a shell with a command, prints to its console.
    platform::ReachParentConsole();
    if (const auto failure = platform::WriteStandardStream(platform::StandardStream::Output, bytes))
        Lose(failure->reason, failure->brokenPipe);
}

void CStandardConsole::Err(std::wstring_view text) {
    platform::ReachParentConsole();
    // Standard error is where a failure is reported; when it fails too,
    // there is nowhere left to say so.
    (void)platform::WriteStandardStream(platform::StandardStream::Error, platform::WideToSystemNarrow(text));
}

bool CStandardConsole::OutputIsTerminal() const {
    platform::ReachParentConsole();
    return platform::StandardOutputIsTerminal();
}

void CStandardConsole::Lose(std::wstring reason, bool brokenPipe) {
    if (brokenPipe) platform::EndAsABrokenPipeEnds();
    m_lost = true;
    m_brokenPipe = brokenPipe;
    m_reason = std::move(reason);
}

int CStandardConsole::Finish(int status) {
    // Nothing written, nothing lost: a windowed run never touches the stream.
    if (m_wrote && !m_lost) {
        if (const auto failure = platform::CloseStandardOutput()) Lose(failure->reason, failure->brokenPipe);
    }
    if (!m_lost) return status;
    if (!m_brokenPipe) Err(L"gatehouse: could not write the output: " + m_reason + L"\n");
    return status != 0 ? status : kExitFailure;
}

}  // namespace gh
