// The Steam library's record decoders on arbitrary bytes, under both
// packings: a record (the three call results and the item download
// broadcast) decodes exactly when it has its layout's size, the fields come
// from their offsets, and no text reaches past its field.
#include "workshop/steamworks/SteamRecordDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <variant>

namespace {

using gh::steam::ByteSpan;

std::int32_t Int32At(ByteSpan bytes, std::size_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

void DecodeUnder(const gh::steam::RecordLayouts& layouts, ByteSpan bytes) {
    for (int id : {gh::steam::kEnumerateResultId, gh::steam::kDownloadResultId, gh::steam::kDetailsResultId}) {
        const auto record = gh::steam::DecodeCallResult(id, bytes, layouts);
        Check(record.has_value() == (bytes.size() == gh::steam::CallResultSize(id, layouts)));
        if (!record) continue;
        const std::int32_t result = Int32At(bytes, 0);  // every record starts with its result code
        if (const auto* list = std::get_if<gh::SubscriptionPage>(&*record)) Check(list->result == result);
        if (const auto* file = std::get_if<gh::DownloadedContent>(&*record))
            Check(file->result == result && gh::FieldText(file->fileName).size() <= gh::kFileNameFieldSize);
        if (const auto* details = std::get_if<gh::PublishedFileDetails>(&*record))
            Check(details->result == result && details->fileSize == Int32At(bytes, layouts.details.fileSize) &&
                  gh::FieldText(details->fileName).size() <= gh::kFileNameFieldSize &&
                  gh::FieldText(details->title).size() <= gh::kTitleFieldSize);
    }
    gh::ItemDownloadResult item;
    const auto& d = layouts.downloadItem;
    Check(gh::steam::DecodeDownloadItemResult(bytes, d, item) == (bytes.size() == d.size));
    if (bytes.size() == d.size) {
        std::uint64_t fileId = 0;
        std::memcpy(&fileId, bytes.data() + d.publishedFileId, sizeof fileId);
        Check(item.fileId == fileId && item.result == Int32At(bytes, d.eResult) &&
              static_cast<std::int32_t>(item.appId) == Int32At(bytes, d.appId));
    }
    gh::steam::CallCompleted completed;
    Check(gh::steam::DecodeCallCompleted(bytes, layouts.callCompleted, completed) ==
          (bytes.size() >= layouts.callCompleted.size));
    gh::steam::CallbackMessage message;
    Check(gh::steam::DecodeCallbackMessage(bytes, layouts.callbackMsg, message) ==
          (bytes.size() == layouts.callbackMsg.size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteSpan bytes(reinterpret_cast<const std::byte*>(data), size);
    DecodeUnder(gh::steam::kSmallPackLayouts, bytes);
    DecodeUnder(gh::steam::kLargePackLayouts, bytes);
    return 0;
}
