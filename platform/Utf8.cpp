#include "platform/Utf8.h"

namespace platform {

std::size_t ValidUtf8SequenceLength(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto b0 = static_cast<unsigned char>(text[0]);
    if (b0 < 0x80)
        return 1;
    std::size_t length = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0)
    {
        length = 2;
        min = 0x80;
        cp = b0 & 0x1F;
    }
    else if ((b0 & 0xF0) == 0xE0)
    {
        length = 3;
        min = 0x800;
        cp = b0 & 0x0F;
    }
    else if ((b0 & 0xF8) == 0xF0)
    {
        length = 4;
        min = 0x10000;
        cp = b0 & 0x07;
    }
    else
        return 0;
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
    {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();)
    {
        if (static_cast<unsigned char>(text[i]) < 0x80)
        {
            ++i;
            continue;
        }
        const std::size_t n = ValidUtf8SequenceLength(text.substr(i));
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string ReplaceInvalidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const std::size_t n = ValidUtf8SequenceLength(text.substr(i));
        if (n == 0)
        {
            out += "\xEF\xBF\xBD";
            ++i;
        }
        else
        {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

namespace {

char32_t DecodeValid(std::string_view seq)
{
    const auto b0 = static_cast<unsigned char>(seq[0]);
    if (seq.size() == 1)
        return b0;
    char32_t cp = b0 & (seq.size() == 2 ? 0x1F : seq.size() == 3 ? 0x0F : 0x07);
    for (std::size_t i = 1; i < seq.size(); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(seq[i]) & 0x3F);
    return cp;
}

} // namespace

std::u16string Utf16FromBytes(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
    {
        const std::size_t n = ValidUtf8SequenceLength(bytes.substr(i));
        if (n == 0)
        {
            out += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        const char32_t cp = DecodeValid(bytes.substr(i, n));
        if (cp >= 0x10000)
        {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
        else
            out += static_cast<char16_t>(cp);
        i += n;
    }
    return out;
}

std::string BytesFromUtf16(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        }
        else if (u >= 0xDC80 && u <= 0xDCFF)
            out += static_cast<char>(u - 0xDC00); // an escaped byte
        else if (u >= 0xD800 && u <= 0xDFFF)
            out += "\xEF\xBF\xBD";
        else
            AppendUtf8(out, u);
    }
    return out;
}

} // namespace platform
