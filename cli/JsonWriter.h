#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds one JSON object on one line (JSON Lines). Strings are written as UTF-8; bytes that are not
// valid UTF-8 become U+FFFD, so a caller that must keep exact bytes adds them with AddBytes.
class CJsonObject
{
public:
    CJsonObject& Add(std::string_view key, std::string_view value);
    CJsonObject& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
    CJsonObject& Add(std::string_view key, std::uint64_t value);
    CJsonObject& Add(std::string_view key, std::int64_t value);
    CJsonObject& Add(std::string_view key, int value) { return Add(key, static_cast<std::int64_t>(value)); }
    CJsonObject& Add(std::string_view key, bool value);
    CJsonObject& Add(std::string_view key, const std::vector<std::string>& values);
    CJsonObject& Add(std::string_view key, const CJsonObject& object);
    // A path: `key` holds the text, and when it is not valid UTF-8, `bytesKey` holds its bytes in hex.
    CJsonObject& AddPath(std::string_view key, std::string_view path, std::string_view bytesKey);
    std::string Str() const { return "{" + m_strBody + "}"; }

    static std::string Quote(std::string_view text);

private:
    void Key(std::string_view key);
    std::string m_strBody;
};
