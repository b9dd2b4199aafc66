#pragma once

// Builds VS_VERSIONINFO blocks by hand for the tests of the version-resource reader: each node is
// wLength, wValueLength, wType, a zero-terminated UTF-16LE key, padding to 4 bytes, the value,
// padding, the children. Lengths can be overridden to make malformed blocks.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

struct VersionNode
{
    std::string key; // ASCII
    std::uint16_t type = 0;
    std::vector<std::uint8_t> value;
    std::optional<std::uint16_t> valueLength; // default: bytes for type 0, UTF-16 units for type 1
    std::vector<VersionNode> children;
    std::optional<std::uint16_t> length; // default: the node's real length
};

inline void Put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// UTF-16LE of a UTF-16 text, with a terminating zero unless `terminate` is false.
inline std::vector<std::uint8_t> Utf16Le(std::u16string_view text, bool terminate = true)
{
    std::vector<std::uint8_t> out;
    for (char16_t c : text)
        Put16(out, static_cast<std::uint16_t>(c));
    if (terminate)
        Put16(out, 0);
    return out;
}

inline void AppendVersionNode(std::vector<std::uint8_t>& out, const VersionNode& node)
{
    while (out.size() % 4 != 0)
        out.push_back(0);
    const std::size_t start = out.size();
    Put16(out, 0);
    const std::uint16_t valueLength =
        node.valueLength
            ? *node.valueLength
            : static_cast<std::uint16_t>(node.type == 1 ? node.value.size() / 2 : node.value.size());
    Put16(out, valueLength);
    Put16(out, node.type);
    for (char c : node.key)
        Put16(out, static_cast<std::uint8_t>(c));
    Put16(out, 0);
    while (out.size() % 4 != 0)
        out.push_back(0);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const VersionNode& child : node.children)
        AppendVersionNode(out, child);
    const std::size_t length = node.length ? *node.length : out.size() - start;
    out[start] = static_cast<std::uint8_t>(length & 0xFF);
    out[start + 1] = static_cast<std::uint8_t>((length >> 8) & 0xFF);
}

inline std::vector<std::uint8_t> BuildVersionBlock(const VersionNode& root)
{
    std::vector<std::uint8_t> out;
    AppendVersionNode(out, root);
    return out;
}

// A text node (wType 1) whose value is the text and its terminating zero.
inline VersionNode TextNode(std::string key, std::u16string_view text)
{
    return VersionNode{std::move(key), 1, Utf16Le(text), std::nullopt, {}, std::nullopt};
}

// The 52-byte VS_FIXEDFILEINFO value of a root with the given file version.
inline std::vector<std::uint8_t> FixedFileInfo(std::uint32_t fileVersionMS, std::uint32_t fileVersionLS)
{
    std::vector<std::uint8_t> out;
    Put32(out, 0xFEEF04BD);
    Put32(out, 0x00010000);
    Put32(out, fileVersionMS);
    Put32(out, fileVersionLS);
    Put32(out, fileVersionMS);
    Put32(out, fileVersionLS);
    for (int i = 0; i < 7; ++i)
        Put32(out, 0);
    return out;
}

// The translation table's value.
inline std::vector<std::uint8_t>
TranslationValue(std::initializer_list<std::pair<std::uint16_t, std::uint16_t>> entries)
{
    std::vector<std::uint8_t> out;
    for (const auto& [language, codePage] : entries)
    {
        Put16(out, language);
        Put16(out, codePage);
    }
    return out;
}

} // namespace testsupport
