// Decoding the library's record bytes, for both packings on any host:
// fields come from their offsets, sizes are checked before anything is
// read, and texts stay within their fields.
#include "workshop/steamworks/SteamRecordDecoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace gh::test {
namespace {

using steam::ByteSpan;
using steam::RecordLayouts;
using steam::RecordPacking;

// A record's bytes, written field by field at the layout's offsets.
class CRecordBytes {
public:
    explicit CRecordBytes(std::size_t size, std::byte fill = std::byte{0}) : m_bytes(size, fill) {}

    template <class T>
    CRecordBytes& Put(std::size_t offset, T value) {
        std::memcpy(m_bytes.data() + offset, &value, sizeof value);
        return *this;
    }
    CRecordBytes& PutText(std::size_t offset, const std::string& text) {
        std::memcpy(m_bytes.data() + offset, text.data(), text.size());
        return *this;
    }
    ByteSpan Span() const { return m_bytes; }
    ByteSpan Span(std::size_t size) const { return ByteSpan(m_bytes.data(), size); }
    const std::vector<std::byte>& Bytes() const { return m_bytes; }

private:
    std::vector<std::byte> m_bytes;
};

class SteamRecordDecoderTest : public ::testing::TestWithParam<RecordPacking> {
protected:
    const RecordLayouts& L() const { return steam::LayoutsFor(GetParam()); }

    // A details record whose every byte not written is 0xEE, so a field read
    // from the wrong offset shows.
    CRecordBytes Details() const {
        const auto& d = L().details;
        CRecordBytes bytes(d.size, std::byte{0xEE});
        bytes.Put<std::int32_t>(d.eResult, 1)
            .Put<std::uint64_t>(d.publishedFileId, 0xF00D'0000'0000'0042)
            .Put<std::uint32_t>(d.creatorAppId, 734120)
            .Put<std::uint32_t>(d.consumerAppId, 734121)
            .Put<std::uint64_t>(d.hFile, 0xABCD'EF01'2345'6789)
            .Put<std::uint32_t>(d.timeCreated, 1'600'000'000)
            .Put<std::uint32_t>(d.timeUpdated, 1'733'700'000)
            .Put<std::int32_t>(d.fileSize, 123'456);
        bytes.PutText(d.title, std::string("A title") + '\0');
        bytes.PutText(d.fileName, std::string("mods/big.mod") + '\0');
        return bytes;
    }
};

TEST_P(SteamRecordDecoderTest, ReadsEveryFieldOfTheThreeResultsAtItsOffset) {
    PublishedFileDetails details;
    ASSERT_TRUE(steam::DecodeDetailsResult(Details().Span(), L().details, details));
    EXPECT_EQ(details.result, 1);
    EXPECT_EQ(details.fileId, 0xF00D'0000'0000'0042u);
    EXPECT_EQ(details.creatorAppId, 734120u);
    EXPECT_EQ(details.consumerAppId, 734121u);
    EXPECT_EQ(details.contentHandle, 0xABCD'EF01'2345'6789u);
    EXPECT_EQ(details.timeCreated, 1'600'000'000u);
    EXPECT_EQ(details.timeUpdated, 1'733'700'000u);
    EXPECT_EQ(details.fileSize, 123'456);
    EXPECT_EQ(FieldText(details.title), "A title");
    EXPECT_EQ(FieldText(details.fileName), "mods/big.mod");

    const auto& e = L().enumerate;
    CRecordBytes list(e.size);
    list.Put<std::int32_t>(e.eResult, 1)
        .Put<std::int32_t>(e.resultsReturned, 50)
        .Put<std::int32_t>(e.totalResultCount, 70);
    for (std::size_t i = 0; i < 50; ++i)
        list.Put<std::uint64_t>(e.publishedFileIds + 8 * i, 0x1'0000'0000 + i)
            .Put<std::uint32_t>(e.timesSubscribed + 4 * i, 7);
    SubscriptionPage enumerate;
    ASSERT_TRUE(steam::DecodeEnumerateResult(list.Span(), e, enumerate));
    EXPECT_EQ(enumerate.resultsReturned, 50);
    EXPECT_EQ(enumerate.totalCount, 70);
    EXPECT_EQ(enumerate.fileIds[0], 0x1'0000'0000u);
    EXPECT_EQ(enumerate.fileIds[49], 0x1'0000'0031u);
    EXPECT_EQ(enumerate.timesSubscribed[49], 7u);

    const auto& dl = L().download;
    CRecordBytes file(dl.size);
    file.Put<std::int32_t>(dl.eResult, 1)
        .Put<std::uint64_t>(dl.hFile, 0x7E57'0000'0000'0001)
        .Put<std::uint32_t>(dl.appId, 734120)
        .Put<std::int32_t>(dl.sizeInBytes, 2'500'000)
        .Put<std::uint64_t>(dl.steamIdOwner, 76561198000000000)
        .PutText(dl.fileName, "mods/a.mod");
    DownloadedContent download;
    ASSERT_TRUE(steam::DecodeDownloadResult(file.Span(), dl, download));
    EXPECT_EQ(download.contentHandle, 0x7E57'0000'0000'0001u);
    EXPECT_EQ(download.appId, 734120u);
    EXPECT_EQ(download.sizeInBytes, 2'500'000);
    EXPECT_EQ(download.ownerSteamId, 76561198000000000u);
    EXPECT_EQ(FieldText(download.fileName), "mods/a.mod");
}

TEST_P(SteamRecordDecoderTest, RefusesRecordsOfAnyOtherSize) {
    const CRecordBytes details = Details();
    const std::size_t size = L().details.size;
    PublishedFileDetails out;
    EXPECT_FALSE(steam::DecodeDetailsResult(details.Span(size - 1), L().details, out));
    EXPECT_FALSE(steam::DecodeDetailsResult(ByteSpan(), L().details, out));
    CRecordBytes longer(size + 8);
    EXPECT_FALSE(steam::DecodeDetailsResult(longer.Span(), L().details, out));

    // The other system's size is another size.
    const RecordLayouts& other =
        steam::LayoutsFor(GetParam() == RecordPacking::Small ? RecordPacking::Large : RecordPacking::Small);
    for (int id : {steam::kEnumerateResultId, steam::kDownloadResultId, steam::kDetailsResultId}) {
        CRecordBytes wrong(steam::CallResultSize(id, other));
        EXPECT_FALSE(steam::DecodeCallResult(id, wrong.Span(), L()).has_value()) << id;
        CRecordBytes right(steam::CallResultSize(id, L()));
        EXPECT_TRUE(steam::DecodeCallResult(id, right.Span(), L()).has_value()) << id;
    }
    CRecordBytes any(L().details.size);
    EXPECT_FALSE(steam::DecodeCallResult(3406, any.Span(), L()).has_value());
    EXPECT_EQ(steam::CallResultSize(3406, L()), 0u);
}

TEST_P(SteamRecordDecoderTest, ReadsAnItemDownloadResultOfExactlyItsSize) {
    const auto& r = L().downloadItem;
    CRecordBytes bytes(r.size + 8, std::byte{0xEE});
    bytes.Put<std::uint32_t>(r.appId, 734120).Put<std::uint64_t>(r.publishedFileId, 0xF00D'0000'0000'0042);
    bytes.Put<std::int32_t>(r.eResult, 1);
    ItemDownloadResult out;
    ASSERT_TRUE(steam::DecodeDownloadItemResult(bytes.Span(r.size), r, out));
    EXPECT_EQ(out.appId, 734120u);
    EXPECT_EQ(out.fileId, 0xF00D'0000'0000'0042u);
    EXPECT_EQ(out.result, 1);
    for (std::size_t size : {r.size - 1, r.size + 8, std::size_t{0}})
        EXPECT_FALSE(steam::DecodeDownloadItemResult(bytes.Span(size), r, out)) << size;
}

TEST_P(SteamRecordDecoderTest, ATextWithoutItsTerminatorEndsAtItsField) {
    CRecordBytes bytes = Details();
    const auto& d = L().details;
    bytes.PutText(d.fileName, std::string(steam::kFileNameChars, 'n'));  // the next field starts with 0x?? bytes
    bytes.PutText(d.title, std::string(steam::kTitleChars, 't'));
    PublishedFileDetails out;
    ASSERT_TRUE(steam::DecodeDetailsResult(bytes.Span(), d, out));
    EXPECT_EQ(FieldText(out.fileName), std::string(260, 'n'));
    EXPECT_EQ(FieldText(out.title), std::string(129, 't'));
    EXPECT_EQ(out.fileSize, 123'456);  // the field after the name is untouched
}

TEST_P(SteamRecordDecoderTest, ReadsTheDispatchMessageAndTheCompletionRecord) {
    const auto& m = L().callbackMsg;
    std::byte record[16] = {};
    CRecordBytes message(m.size);
    message.Put<std::int32_t>(m.hSteamUser, 1)
        .Put<std::int32_t>(m.iCallback, 703)
        .Put<const std::byte*>(m.pubParam, record)
        .Put<std::int32_t>(m.cubParam, 16);
    steam::CallbackMessage decoded;
    ASSERT_TRUE(steam::DecodeCallbackMessage(message.Span(), m, decoded));
    EXPECT_EQ(decoded.callbackId, 703);
    EXPECT_EQ(decoded.param, record);
    EXPECT_EQ(decoded.paramSize, 16);
    EXPECT_FALSE(steam::DecodeCallbackMessage(message.Span(m.size - 4), m, decoded));

    const auto& c = L().callCompleted;
    CRecordBytes completed(c.size + 8);  // a later library's longer record is read by its prefix
    completed.Put<std::uint64_t>(c.hAsyncCall, 0x5EED'0000'0000'0001)
        .Put<std::int32_t>(c.iCallback, 1318)
        .Put<std::uint32_t>(c.cubParam, 9748);
    steam::CallCompleted call;
    ASSERT_TRUE(steam::DecodeCallCompleted(completed.Span(), c, call));
    EXPECT_EQ(call.call, 0x5EED'0000'0000'0001u);
    EXPECT_EQ(call.callbackId, 1318);
    EXPECT_EQ(call.resultSize, 9748u);
    EXPECT_FALSE(steam::DecodeCallCompleted(completed.Span(c.size - 1), c, call));
}

INSTANTIATE_TEST_SUITE_P(BothSystems, SteamRecordDecoderTest,
                         ::testing::Values(RecordPacking::Small, RecordPacking::Large),
                         [](const auto& param) { return param.param == RecordPacking::Small ? "Linux" : "Windows"; });

}  // namespace
}  // namespace gh::test
