// Share codes: a selection as one line of text that a player pastes into a
// chat or a mail, and that another Gatehouse, on either system, reads back
// without any server. A code holds the selection itself: each entry's
// identity, version and name, in launch order.
//
// Text: "GH1-", then the payload in base64url without padding (see
// ShareCodeBytes.h). The "1" is the format's version. ASCII white space
// (space, TAB, CR, LF, VT, FF) anywhere in a code is ignored when it is read,
// as mail programs break long lines and a pasted line brings its line end;
// any other character that is not of the alphabet makes the code damaged.
//
// Payload, little-endian, read from the first byte on:
//   u8 N, the number of entries (0 to kShareCodeMaxEntries),
//   N x { i64 guid, u32 version, u8 L (0 to kShareCodeNameBytes),
//         L bytes: the name in UTF-8 },
//   u32 CRC-32 of every byte before it.
// Nothing follows the checksum. The count makes a cut code always read as
// cut, and an appended tail as a tail: the entries say where the checksum
// stands. A code of 10 entries with names of 32 bytes is 455 bytes, 611
// characters with the prefix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace gh {

inline constexpr std::string_view kShareCodePrefix = "GH1-";
// A restart list may hold more than the 10 entries a launch takes, so a code
// holds more too, but not without bound: 64 entries make at most 3,851
// characters, still one paste in any chat.
inline constexpr std::size_t kShareCodeMaxEntries = 64;
// A code keeps this many bytes of each name: enough to recognise a mod that
// is not installed, and short enough that 10 entries stay within 1,000
// characters.
inline constexpr std::size_t kShareCodeNameBytes = 32;
// Longer text is refused before it is looked at.
inline constexpr std::size_t kShareCodeMaxTextBytes = 64 * 1024;

// One entry of a shared selection.
struct SharedEntry {
    std::int64_t guid = -1;
    std::uint32_t version = 0;
    std::string name;  // UTF-8

    bool operator==(const SharedEntry&) const = default;
};

// The code for `entries`, in their order. Each name is cut to at most
// kShareCodeNameBytes bytes, between two characters (bytes that are not UTF-8
// become U+FFFD first), so a name read back is always valid UTF-8. Refused
// (StatusKind::Refused) when an entry has no identity (guid -1), and the text
// names the first such entry by its place and name, which is the mod's own
// text: show the text as other outside text is shown. Refused too when there
// are more than kShareCodeMaxEntries entries. No entries make a valid code,
// which loads as an empty selection.
Result<std::string> EncodeShareCode(const std::vector<SharedEntry>& entries);

// What can be wrong with a text read as a share code.
enum class ShareCodeFault {
    None,
    Empty,            // nothing but white space
    TooLong,          // more than kShareCodeMaxTextBytes bytes
    NotAShareCode,    // does not start with "GH<number>-"
    UnknownVersion,   // "GH<number>-" with a number other than 1
    OutsideAlphabet,  // a character that is neither white space nor base64url
    Truncated,        // the payload ends before its entries and checksum do
    TrailingBytes,    // more follows the checksum
    Checksum,         // the checksum does not match the bytes
    NotASelection,    // checks out, but holds what no encoder writes: more
                      // than 64 entries, a name over 32 bytes or not UTF-8,
                      // an entry without identity
};

struct ShareCodeReading {
    ShareCodeFault fault = ShareCodeFault::None;
    // For OutsideAlphabet: the character's place in the text, counted in
    // characters from 1, white space included.
    std::size_t place = 0;
    std::vector<SharedEntry> entries;  // empty unless fault is None
};

// Reads a code given as UTF-8 text. Every text either reads to the entries
// of exactly one code (white space aside), which EncodeShareCode gives back
// from them, or is refused with its fault.
ShareCodeReading ReadShareCode(std::string_view text);

// What the player is told about `reading`'s fault (StatusKind::BadData): one
// line without a full stop at its end, such as "This share code is damaged:
// its checksum does not match". Success for None.
Status ShareCodeStatus(const ShareCodeReading& reading);

// ReadShareCode with its fault as a status.
Result<std::vector<SharedEntry>> DecodeShareCode(std::string_view text);
// The same for wide text (the command line's arguments, a window's text).
// Its length is measured as UTF-8, too.
Result<std::vector<SharedEntry>> DecodeShareCode(std::wstring_view text);

}  // namespace gh
