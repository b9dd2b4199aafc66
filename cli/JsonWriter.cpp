#include "cli/JsonWriter.h"

#include "platform/Utf8.h"

#include <cstdio>

std::string CJsonObject::Quote(std::string_view text)
{
    const std::string valid = platform::ReplaceInvalidUtf8(text);
    std::string out = "\"";
    for (const char c : valid)
    {
        switch (c)
        {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
            {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(c));
                out += buffer;
            }
            else
                out += c;
        }
    }
    out += '"';
    return out;
}

void CJsonObject::Key(std::string_view key)
{
    if (!m_strBody.empty())
        m_strBody += ',';
    m_strBody += Quote(key);
    m_strBody += ':';
}

CJsonObject& CJsonObject::Add(std::string_view key, std::string_view value)
{
    Key(key);
    m_strBody += Quote(value);
    return *this;
}

CJsonObject& CJsonObject::Add(std::string_view key, std::uint64_t value)
{
    Key(key);
    m_strBody += std::to_string(value);
    return *this;
}

CJsonObject& CJsonObject::Add(std::string_view key, std::int64_t value)
{
    Key(key);
    m_strBody += std::to_string(value);
    return *this;
}

CJsonObject& CJsonObject::Add(std::string_view key, bool value)
{
    Key(key);
    m_strBody += value ? "true" : "false";
    return *this;
}

CJsonObject& CJsonObject::AddPath(std::string_view key, std::string_view path, std::string_view bytesKey)
{
    Add(key, path);
    if (!platform::IsValidUtf8(path))
    {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (const char c : path)
        {
            hex += kHex[static_cast<unsigned char>(c) >> 4];
            hex += kHex[static_cast<unsigned char>(c) & 0xF];
        }
        Add(bytesKey, hex);
    }
    return *this;
}

CJsonObject& CJsonObject::Add(std::string_view key, const std::vector<std::string>& values)
{
    Key(key);
    m_strBody += '[';
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        if (i > 0)
            m_strBody += ',';
        m_strBody += Quote(values[i]);
    }
    m_strBody += ']';
    return *this;
}

CJsonObject& CJsonObject::Add(std::string_view key, const CJsonObject& object)
{
    Key(key);
    m_strBody += object.Str();
    return *this;
}
