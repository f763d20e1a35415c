// Turning the Steam client library's record bytes into the program's own
// records. Every decoder checks the size first and reads each field with
// its own bounded copy at the layout's offset, so a short, long or
// misaligned buffer is refused instead of being read past its end.
#pragma once

#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopRecords.h"
#include "workshop/steamworks/SteamRecordLayout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace gh::steam {

using ByteSpan = std::span<const std::byte>;

// One message of the manual dispatch queue. `param` points into memory the
// library owns, valid until the message is freed.
struct CallbackMessage {
    std::int32_t user = 0;
    std::int32_t callbackId = 0;
    const std::byte* param = nullptr;
    std::int32_t paramSize = 0;
};

// A call that finished (record 703).
struct CallCompleted {
    SteamAPICall call = kInvalidCall;
    std::int32_t callbackId = 0;
    std::uint32_t resultSize = 0;
};

// `bytes` is a whole CallbackMsg_t: false unless it has exactly the layout's size.
bool DecodeCallbackMessage(ByteSpan bytes, const CallbackMsgLayout& layout, CallbackMessage& out);

// `record` is a 703 record: false when it is shorter than the layout (a
// longer record, from a later library, is read by its known prefix).
bool DecodeCallCompleted(ByteSpan record, const CallCompletedLayout& layout, CallCompleted& out);

// Each: false unless `record` has exactly the layout's size. Text fields
// are copied whole, so a text without its terminating zero stays within
// its field (FieldText reads it that way).
bool DecodeEnumerateResult(ByteSpan record, const EnumerateResultLayout& layout, SubscriptionPage& out);
bool DecodeDownloadResult(ByteSpan record, const DownloadResultLayout& layout, DownloadedContent& out);
bool DecodeDetailsResult(ByteSpan record, const DetailsResultLayout& layout, PublishedFileDetails& out);
// A broadcast: false unless `record` has exactly the layout's size (the
// record has not grown since the libraries that have manual dispatch).
bool DecodeDownloadItemResult(ByteSpan record, const DownloadItemResultLayout& layout, ItemDownloadResult& out);

// The record a call result of `callbackId` (1314, 1317 or 1318) decodes to,
// or none when the id is another or the bytes do not fit its layout.
std::optional<CallResultRecord> DecodeCallResult(int callbackId, ByteSpan record, const RecordLayouts& layouts);

// The size a call result of `callbackId` has under `layouts`; 0 for an id
// that is not one of the three.
std::size_t CallResultSize(int callbackId, const RecordLayouts& layouts);

}  // namespace gh::steam
