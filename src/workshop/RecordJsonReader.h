// A strict reader of JSON text that hands out one value at a time, for
// readers that build their own structures instead of a document tree. It
// accepts exactly what nlohmann::json::parse accepts by default: one value,
// whitespace around it (and after it, anything behind a zero byte, which
// ends the text for the library), a UTF-8 byte order mark at the very start, no
// comments, strings of valid UTF-8 with every control character escaped and
// \uXXXX escapes whose surrogates come in pairs, numbers by the JSON grammar
// (an integer too large for 64 bits reads as a floating-point number, which
// must be finite). Arrays and objects nest at most `maxDepth` deep. Every
// read is bounds-checked; the first fault ends the reading, and every later
// call fails too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gh {

enum class JsonKind { Object, Array, String, Number, Bool, Null, Bad };

// A number as nlohmann::json keeps it: a non-negative integer that fits 64
// bits is Unsigned, a negative one that fits is Signed, anything else Float.
struct JsonNumber {
    enum class Type { Unsigned, Signed, Float } type = Type::Unsigned;
    std::uint64_t unsignedValue = 0;
    std::int64_t signedValue = 0;
};

class CJsonCursor {
public:
    enum class Fault { None, Syntax, TooDeep };

    CJsonCursor(std::string_view text, int maxDepth);

    Fault GetFault() const { return m_fault; }
    // Why the reading ended, with the byte where it did ("" while it has not).
    const std::string& Problem() const { return m_problem; }

    // The kind of the next value, by its first byte (Bad at the end or on a
    // fault); skips the whitespace before it.
    JsonKind Peek();

    // Enters the object or array that comes next.
    bool EnterObject();
    bool EnterArray();
    // The next key of the object entered last, or false at its end (which
    // is then left) or on a fault. The view lasts until the next call.
    bool NextKey(std::string_view& key);
    // Whether the array entered last has another element; false at its end
    // (which is then left) or on a fault.
    bool NextElement();

    // The values; each fails (and faults) when the next value is of another kind.
    bool ReadString(std::string& out);  // replaces `out`
    bool ReadNumber(JsonNumber& out);
    bool ReadBool(bool& out);
    // Any value, checked as strictly as the others.
    bool SkipValue();

    // Whether nothing but whitespace is left (up to a zero byte).
    bool AtEnd();

private:
    bool Fail(const char* why);
    void SkipWhitespace();
    bool Expect(char c);
    bool EnterContainer(char open);
    // A string's contents up to its closing quote; `out` gets them decoded
    // unless it is null.
    bool ScanString(std::string* out);
    bool ScanEscape(std::string* out);
    bool ScanUtf8(std::size_t& at);
    bool ScanLiteral(std::string_view word);

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_depth = 0;
    int m_maxDepth;
    bool m_justEntered = false;  // no key or element read since the last EnterObject/EnterArray
    Fault m_fault = Fault::None;
    std::string m_problem;
    std::string m_key;  // a key with escapes, decoded
};

}  // namespace gh
