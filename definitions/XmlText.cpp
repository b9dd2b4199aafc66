#include "definitions/XmlText.h"

#include "filesystem/FilterText.h"
#include "platform/Utf8.h"

#include <tinyxml2.h>

#include <limits>

namespace {

std::string BytesAttributeName(const char* name)
{
    return std::string(name) + "Bytes";
}

bool IsForbiddenCodePoint(char32_t cp)
{
    // Tabs and line ends are legal XML but are turned into blanks by attribute normalisation.
    return cp < 0x20 || cp == 0xFFFE || cp == 0xFFFF;
}

char32_t DecodeSequence(std::string_view text, std::size_t length)
{
    const auto b0 = static_cast<unsigned char>(text[0]);
    if (length == 1)
        return b0;
    char32_t cp = b0 & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return cp;
}

std::string ReadableText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t length = platform::ValidUtf8SequenceLength(text.substr(i));
        if (length == 0 || IsForbiddenCodePoint(DecodeSequence(text.substr(i), length)))
        {
            out += "\xEF\xBF\xBD";
            i += length == 0 ? 1 : length;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes)
    {
        const auto b = static_cast<unsigned char>(c);
        hex.push_back(kDigits[b >> 4]);
        hex.push_back(kDigits[b & 0xF]);
    }
    return hex;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool FromHex(std::string_view hex, std::string& bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2)
    {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<char>(high * 16 + low));
    }
    bytes = std::move(out);
    return true;
}

} // namespace

bool IsXmlSafeText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t length = platform::ValidUtf8SequenceLength(text.substr(i));
        if (length == 0 || IsForbiddenCodePoint(DecodeSequence(text.substr(i), length)))
            return false;
        i += length;
    }
    return true;
}

void SetTextAttribute(tinyxml2::XMLElement& element, const char* name, std::string_view value)
{
    if (IsXmlSafeText(value))
    {
        element.SetAttribute(name, std::string(value).c_str());
        return;
    }
    element.SetAttribute(name, ReadableText(value).c_str());
    element.SetAttribute(BytesAttributeName(name).c_str(), Hex(value).c_str());
}

bool GetTextAttribute(const tinyxml2::XMLElement& element, const char* name, std::string& value)
{
    if (const char* hex = element.Attribute(BytesAttributeName(name).c_str()))
        if (FromHex(hex, value))
            return true;
    const char* text = element.Attribute(name);
    if (text == nullptr)
        return false;
    value = text;
    return true;
}

bool GetFlagAttribute(const tinyxml2::XMLElement& element, const char* name)
{
    const char* text = element.Attribute(name);
    return text != nullptr && ParseDecimal(text) != 0;
}

void SetFlagAttribute(tinyxml2::XMLElement& element, const char* name, bool value)
{
    element.SetAttribute(name, value ? "1" : "0");
}

bool GetDwordAttribute(const tinyxml2::XMLElement& element, const char* name, std::uint32_t& value)
{
    const char* text = element.Attribute(name);
    if (text == nullptr)
        return false;
    bool ok = false;
    const std::int64_t number = ParseDecimal(text, &ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::uint32_t>::max())
        return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}
