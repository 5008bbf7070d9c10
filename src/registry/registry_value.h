#pragma once
// The typed value that cRegistry reads and writes, and the rules that turn stored registry data into
// such a value and back. Nothing here touches the registry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace registry {

using ByteArray = std::vector<std::uint8_t>;

// Empty, text, 32-bit integer, byte array or 16-bit integer: what a read can give and what the
// write rules tell apart (text, 16- and 32-bit integers, byte arrays and anything else).
using RegistryValue = std::variant<std::monostate, std::wstring, std::int32_t, ByteArray, std::int16_t>;

// Registry value types, by the platform's numbers.
constexpr std::int32_t kRegNone = 0;
constexpr std::int32_t kRegSz = 1;
constexpr std::int32_t kRegExpandSz = 2;
constexpr std::int32_t kRegBinary = 3;
constexpr std::int32_t kRegDword = 4;
constexpr std::int32_t kRegDwordBigEndian = 5;
constexpr std::int32_t kRegMultiSz = 7;

// The text form of a value, as it is written for the text types and shown in messages: empty for
// the empty value, decimal for integers, one character per byte for a byte array.
std::wstring TextForm(const RegistryValue &value);

// How a value of a stored type is read back.
enum class ReadShape { Text, ExpandedText, Dword, BigEndianDword, Bytes };
ReadShape ShapeOfStoredType(std::int32_t type);

// Stored text as read: the data less the NUL that ends it, so a multi-string keeps its inner NULs
// and the NUL after its last string. Data stored without a final NUL loses nothing.
std::string TextFromStored(std::string_view data);
// Four stored bytes in the machine's (little-endian) order; missing bytes count as 0.
std::int32_t DwordFromStored(std::string_view data);
std::int32_t ReverseByteOrder(std::int32_t value);
// The stored bytes and one more 0 byte after them.
ByteArray BytesFromStored(std::string_view data);

// The type a text is written as: REG_EXPAND_SZ when a "%" is followed, at least one character
// later, by another "%"; otherwise REG_SZ.
std::int32_t TextTypeFor(std::wstring_view text);

// What writing a value with a chosen ValueType comes to.
struct WritePlan {
    enum Kind {
        Write,        // write `type` with `data` (text: narrow form still to be made from `text`)
        Nothing,      // nothing is written, and that counts as success
        InvalidData,  // nothing is written and the write fails with result 13
        NotByteArray, // ValueType 3 with a value that is no byte array
    } kind = Nothing;
    std::int32_t type = kRegNone;
    std::wstring text; // for the text types: the text to write, without its NUL
    ByteArray data;    // for the other types: the bytes to write
};
WritePlan PlanWrite(std::int32_t valueType, const RegistryValue &value);

} // namespace registry
