#include "registry/registry_value.h"

namespace registry {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

std::wstring TextForm(const RegistryValue &value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::wstring(); },
                          [](const std::wstring &text) { return text; },
                          [](std::int32_t number) { return std::to_wstring(number); },
                          [](std::int16_t number) { return std::to_wstring(number); },
                          [](const ByteArray &bytes) { return std::wstring(bytes.begin(), bytes.end()); },
                      },
                      value);
}

ReadShape ShapeOfStoredType(std::int32_t type) {
    switch (type) {
    case kRegSz:
    case kRegMultiSz:
        return ReadShape::Text;
    case kRegExpandSz:
        return ReadShape::ExpandedText;
    case kRegDword:
        return ReadShape::Dword;
    case kRegDwordBigEndian:
        return ReadShape::BigEndianDword;
    default:
        return ReadShape::Bytes;
    }
}

std::string TextFromStored(std::string_view data) {
    if (!data.empty() && data.back() == '\0')
        data.remove_suffix(1);
    return std::string(data);
}

std::int32_t DwordFromStored(std::string_view data) {
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4 && i < data.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
    return static_cast<std::int32_t>(value);
}

std::int32_t ReverseByteOrder(std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    return static_cast<std::int32_t>(v);
}

ByteArray BytesFromStored(std::string_view data) {
    ByteArray bytes(data.begin(), data.end());
    bytes.push_back(0);
    return bytes;
}

std::int32_t TextTypeFor(std::wstring_view text) {
    size_t first = text.find(L'%');
    if (first != std::wstring_view::npos && text.find(L'%', first + 2) != std::wstring_view::npos)
        return kRegExpandSz;
    return kRegSz;
}

WritePlan PlanWrite(std::int32_t valueType, const RegistryValue &value) {
    WritePlan plan;
    switch (valueType) {
    case kRegSz:
    case kRegExpandSz:
        plan.kind = WritePlan::Write;
        plan.text = TextForm(value);
        plan.type = TextTypeFor(plan.text);
        break;
    case kRegBinary:
        if (const auto *bytes = std::get_if<ByteArray>(&value)) {
            // Every byte of the array: the whole value is what the caller asked to store.
            plan.kind = WritePlan::Write;
            plan.type = kRegBinary;
            plan.data = *bytes;
        } else {
            plan.kind = WritePlan::NotByteArray;
        }
        break;
    case kRegDword:
    case kRegDwordBigEndian: {
        std::optional<std::int32_t> number;
        if (const auto *n32 = std::get_if<std::int32_t>(&value))
            number = *n32;
        if (const auto *n16 = std::get_if<std::int16_t>(&value))
            number = *n16;
        if (number) {
            // Always REG_DWORD in the machine's order, even when big-endian was asked for.
            auto v = static_cast<std::uint32_t>(*number);
            plan.kind = WritePlan::Write;
            plan.type = kRegDword;
            plan.data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                         static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        } else {
            plan.kind = WritePlan::Nothing;
        }
        break;
    }
    default:
        plan.kind = WritePlan::InvalidData;
        break;
    }
    return plan;
}

} // namespace registry
