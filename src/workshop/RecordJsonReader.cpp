#include "workshop/RecordJsonReader.h"

#include <nlohmann/json.hpp>

#include <fmt/format.h>

#include <limits>

namespace gh {

namespace {

bool IsContinuation(unsigned char c, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return c >= low && c <= high;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

CJsonCursor::CJsonCursor(std::string_view text, int maxDepth) : m_text(text), m_maxDepth(maxDepth) {
    if (!m_text.empty() && static_cast<unsigned char>(m_text[0]) == 0xEF) {
        if (m_text.size() >= 3 && static_cast<unsigned char>(m_text[1]) == 0xBB &&
            static_cast<unsigned char>(m_text[2]) == 0xBF)
            m_at = 3;
        else
            Fail("an incomplete byte order mark");
    }
}

bool CJsonCursor::Fail(const char* why) {
    if (m_fault == Fault::None) {
        m_fault = Fault::Syntax;
        m_problem = fmt::format("{} at byte {}", why, m_at);
    }
    m_at = m_text.size();
    return false;
}

void CJsonCursor::SkipWhitespace() {
    while (m_at < m_text.size()) {
        const char c = m_text[m_at];
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t') return;
        ++m_at;
    }
}

bool CJsonCursor::Expect(char c) {
    SkipWhitespace();
    if (m_at >= m_text.size() || m_text[m_at] != c) return Fail(c == ':' ? "no ':' after a key" : "an unexpected byte");
    ++m_at;
    return true;
}

JsonKind CJsonCursor::Peek() {
    SkipWhitespace();
    if (m_fault != Fault::None || m_at >= m_text.size()) return JsonKind::Bad;
    switch (m_text[m_at]) {
        case '{': return JsonKind::Object;
        case '[': return JsonKind::Array;
        case '"': return JsonKind::String;
        case 't':
        case 'f': return JsonKind::Bool;
        case 'n': return JsonKind::Null;
        case '-': return JsonKind::Number;
        default: return m_text[m_at] >= '0' && m_text[m_at] <= '9' ? JsonKind::Number : JsonKind::Bad;
    }
}

bool CJsonCursor::EnterContainer(char open) {
    if (!Expect(open)) return false;
    if (++m_depth > m_maxDepth) {
        if (m_fault == Fault::None) {
            m_fault = Fault::TooDeep;
            m_problem = fmt::format("nested more than {} deep at byte {}", m_maxDepth, m_at - 1);
        }
        m_at = m_text.size();
        return false;
    }
    m_justEntered = true;
    return true;
}

bool CJsonCursor::EnterObject() { return EnterContainer('{'); }

bool CJsonCursor::EnterArray() { return EnterContainer('['); }

bool CJsonCursor::NextKey(std::string_view& key) {
    SkipWhitespace();
    if (m_fault != Fault::None) return false;
    if (m_at >= m_text.size()) return Fail("an object that does not end");
    const bool first = m_justEntered;
    m_justEntered = false;
    if (m_text[m_at] == '}') {
        ++m_at;
        --m_depth;
        return false;
    }
    if (!first) {
        if (m_text[m_at] != ',') return Fail("no ',' or '}' after a member");
        ++m_at;
        SkipWhitespace();
    }
    // After a ',', a '}' is no key either.
    if (m_at >= m_text.size() || m_text[m_at] != '"') return Fail("no key where one was due");
    ++m_at;
    if (!ScanString(&m_key)) return false;
    if (!Expect(':')) return false;
    key = m_key;
    return true;
}

bool CJsonCursor::NextElement() {
    SkipWhitespace();
    if (m_fault != Fault::None) return false;
    if (m_at >= m_text.size()) return Fail("an array that does not end");
    const bool first = m_justEntered;
    m_justEntered = false;
    if (m_text[m_at] == ']') {
        ++m_at;
        --m_depth;
        return false;
    }
    if (!first) {
        if (m_text[m_at] != ',') return Fail("no ',' or ']' after an element");
        ++m_at;
        SkipWhitespace();
        if (m_at < m_text.size() && m_text[m_at] == ']') return Fail("a ']' after a ','");
    }
    return true;
}

bool CJsonCursor::ReadString(std::string& out) {
    out.clear();
    if (Peek() != JsonKind::String) return Fail("no string where one was due");
    ++m_at;
    return ScanString(&out);
}

bool CJsonCursor::ScanString(std::string* out) {
    if (out) out->clear();
    std::size_t run = m_at;
    while (true) {
        if (m_at >= m_text.size()) return Fail("a string that does not end");
        const auto c = static_cast<unsigned char>(m_text[m_at]);
        if (c == '"') {
            if (out) out->append(m_text.data() + run, m_at - run);
            ++m_at;
            return true;
        }
        if (c == '\\') {
            if (out) out->append(m_text.data() + run, m_at - run);
            ++m_at;
            if (!ScanEscape(out)) return false;
            run = m_at;
        } else if (c < 0x20) {
            return Fail("a control character in a string");
        } else if (c < 0x80) {
            ++m_at;
        } else if (!ScanUtf8(m_at)) {
            return Fail("a string that is not UTF-8");
        }
    }
}

bool CJsonCursor::ScanEscape(std::string* out) {
    if (m_at >= m_text.size()) return Fail("a string that does not end");
    const char c = m_text[m_at++];
    char plain = 0;
    switch (c) {
        case '"': plain = '"'; break;
        case '\\': plain = '\\'; break;
        case '/': plain = '/'; break;
        case 'b': plain = '\b'; break;
        case 'f': plain = '\f'; break;
        case 'n': plain = '\n'; break;
        case 'r': plain = '\r'; break;
        case 't': plain = '\t'; break;
        case 'u': break;
        default: return Fail("an unknown escape");
    }
    if (c != 'u') {
        if (out) *out += plain;
        return true;
    }
    const auto hex = [this](std::uint32_t& code) {
        if (m_text.size() - m_at < 4) return false;
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexValue(m_text[m_at + i]);
            if (digit < 0) return false;
            code = code * 16 + static_cast<std::uint32_t>(digit);
        }
        m_at += 4;
        return true;
    };
    std::uint32_t code = 0;
    if (!hex(code)) return Fail("'\\u' without four hex digits");
    if (code >= 0xDC00 && code <= 0xDFFF) return Fail("a low surrogate without a high one");
    if (code >= 0xD800 && code <= 0xDBFF) {
        std::uint32_t low = 0;
        if (m_text.size() - m_at < 2 || m_text[m_at] != '\\' || m_text[m_at + 1] != 'u')
            return Fail("a high surrogate without a low one");
        m_at += 2;
        if (!hex(low)) return Fail("'\\u' without four hex digits");
        if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate without a low one");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    if (out) AppendUtf8(*out, code);
    return true;
}

bool CJsonCursor::ScanUtf8(std::size_t& at) {
    const auto byte = [this](std::size_t i) {
        return i < m_text.size() ? static_cast<unsigned char>(m_text[i]) : static_cast<unsigned char>(0);
    };
    const unsigned char lead = byte(at);
    // The second byte's range depends on the first, so that no sequence is
    // overlong, a surrogate or above U+10FFFF; the rest are 0x80-0xBF.
    unsigned char low = 0x80, high = 0xBF;
    int more = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    if (!IsContinuation(byte(at + 1), low, high)) return false;
    for (int i = 2; i <= more; ++i)
        if (!IsContinuation(byte(at + static_cast<std::size_t>(i)))) return false;
    at += static_cast<std::size_t>(more) + 1;
    return true;
}

bool CJsonCursor::ReadNumber(JsonNumber& out) {
    if (Peek() != JsonKind::Number) return Fail("no number where one was due");
    const std::size_t start = m_at;
    const auto digit = [this] { return m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9'; };
    const bool negative = m_text[m_at] == '-';
    if (negative) ++m_at;
    if (!digit()) return Fail("a number without digits");
    std::uint64_t magnitude = 0;
    bool overflow = false;
    if (m_text[m_at] == '0') {
        ++m_at;
    } else {
        for (; digit(); ++m_at) {
            const auto d = static_cast<std::uint64_t>(m_text[m_at] - '0');
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - d) / 10) overflow = true;
            magnitude = magnitude * 10 + d;
        }
    }
    bool integer = true;
    if (m_at < m_text.size() && m_text[m_at] == '.') {
        integer = false;
        ++m_at;
        if (!digit()) return Fail("a number without digits after its point");
        while (digit()) ++m_at;
    }
    if (m_at < m_text.size() && (m_text[m_at] == 'e' || m_text[m_at] == 'E')) {
        integer = false;
        ++m_at;
        if (m_at < m_text.size() && (m_text[m_at] == '+' || m_text[m_at] == '-')) ++m_at;
        if (!digit()) return Fail("a number without digits in its exponent");
        while (digit()) ++m_at;
    }
    constexpr auto kSignedLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1;
    if (integer && !overflow && (!negative || magnitude <= kSignedLimit)) {
        if (negative) {
            out.type = JsonNumber::Type::Signed;
            out.signedValue = magnitude == kSignedLimit ? std::numeric_limits<std::int64_t>::min()
                                                        : -static_cast<std::int64_t>(magnitude);
        } else {
            out.type = JsonNumber::Type::Unsigned;
            out.unsignedValue = magnitude;
        }
        return true;
    }
    // A floating-point number, or an integer too large to be kept as one:
    // rare in a record, so the library judges it (it refuses one that is
    // not finite, and reads the point whatever the locale).
    const std::string_view token = m_text.substr(start, m_at - start);
    if (!nlohmann::json::accept(token.begin(), token.end())) return Fail("a number out of range");
    out.type = JsonNumber::Type::Float;
    return true;
}

bool CJsonCursor::ScanLiteral(std::string_view word) {
    if (m_text.substr(m_at, word.size()) != word) return Fail("an unknown literal");
    m_at += word.size();
    return true;
}

bool CJsonCursor::ReadBool(bool& out) {
    if (Peek() != JsonKind::Bool) return Fail("no true or false where one was due");
    out = m_text[m_at] == 't';
    return ScanLiteral(out ? "true" : "false");
}

bool CJsonCursor::SkipValue() {
    switch (Peek()) {
        case JsonKind::Object: {
            if (!EnterObject()) return false;
            std::string_view key;
            while (NextKey(key))
                if (!SkipValue()) return false;
            return m_fault == Fault::None;
        }
        case JsonKind::Array:
            if (!EnterArray()) return false;
            while (NextElement())
                if (!SkipValue()) return false;
            return m_fault == Fault::None;
        case JsonKind::String: ++m_at; return ScanString(nullptr);
        case JsonKind::Number: {
            JsonNumber number;
            return ReadNumber(number);
        }
        case JsonKind::Bool: {
            bool value = false;
            return ReadBool(value);
        }
        case JsonKind::Null: return ScanLiteral("null");
        case JsonKind::Bad: break;
    }
    return Fail(m_at >= m_text.size() ? "the text ends where a value was due" : "no value where one was due");
}

bool CJsonCursor::AtEnd() {
    SkipWhitespace();
    if (m_fault != Fault::None) return false;
    // As for the library, a zero byte where a token could start ends the
    // text (it reads strings that end with one): what follows it is not read.
    return m_at == m_text.size() || m_text[m_at] == '\0' || Fail("more after the value");
}

}  // namespace gh
