// A sync wired to a scripted client and a recording view, with a real
// temporary folder as the documents folder.
#pragma once

#include "FakeWorkshopClient.h"
#include "RecordingSyncView.h"
#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "support/TempFolder.h"
#include "workshop/WorkshopSync.h"

#include <gtest/gtest.h>

#include <string>

namespace gh::test {

class SyncFixture : public ::testing::Test {
protected:
    using Kind = CFakeWorkshopClient::Kind;

    // Starts the sync as the start window does and answers the list request.
    void StartWithFiles(const std::vector<PublishedFileId>& ids) {
        ASSERT_TRUE(m_sync.StartSync());
        m_view.EnablePlayWithMods(false);
        m_client.Deliver(m_client.CallFor(Kind::Enumerate, 0), EnumerateResult(ids));
    }

    void AnswerDetails(PublishedFileId id, UGCHandle content, const std::string& name, std::uint32_t time,
                       std::int32_t size = 100) {
        m_client.Deliver(m_client.CallFor(Kind::Details, id), DetailsResult(id, content, name, time, size));
    }

    void AnswerDownload(UGCHandle content, const std::string& name, const std::string& bytes) {
        m_client.contents[content] = bytes;
        m_client.Deliver(m_client.CallFor(Kind::Download, content),
                         DownloadResult(content, name, static_cast<std::int32_t>(bytes.size())));
    }

    // A file below the documents game folder with the given modification time.
    void WriteLocal(const std::string& name, const std::string& bytes, std::int64_t time) {
        const std::wstring path = m_folders.GetUserGameFolder() + AnsiToWide(name);
        platform::CreateFolders(path.substr(0, path.find_last_of(L"/\\")));
        ASSERT_TRUE(platform::WriteFileAtomically(path, bytes.data(), bytes.size()));
        ASSERT_TRUE(platform::SetFileModificationTime(path, time));
    }

    std::string ReadLocal(const std::string& name) {
        return platform::ReadWholeFile(m_folders.GetUserGameFolder() + AnsiToWide(name), 1 << 24).value_or("<missing>");
    }

    TempFolder m_documents;
    CGameFolders m_folders{m_documents.Path() + L"game/gatehouse", m_documents.Path() + L"Documents"};
    CFakeWorkshopClient m_client;
    CRecordingSyncView m_view;
    CWorkshopSync m_sync{m_client, m_view, m_folders};
};

}  // namespace gh::test
