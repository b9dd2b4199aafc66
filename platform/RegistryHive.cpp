#include "platform/RegistryHive.h"

#include "platform/Utf8.h"

#include <cstdio>

namespace platform {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

// A file exported by the other platform's editor is UTF-16LE with a byte-order mark.
std::string DecodeHiveText(std::string_view text)
{
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE)
    {
        std::u16string wide;
        wide.reserve(text.size() / 2);
        for (std::size_t i = 2; i + 1 < text.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(text[i]) |
                                          (static_cast<unsigned char>(text[i + 1]) << 8));
        return BytesFromUtf16(wide);
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return std::string(text);
}

// Parses a quoted text with "\\" and "\"" escapes starting at s[0] == '"'; returns the number of
// characters used, or 0 when the closing quote is missing.
std::size_t ParseQuoted(std::string_view s, std::string& out)
{
    out.clear();
    for (std::size_t i = 1; i < s.size(); ++i)
    {
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
        {
            out += s[++i];
            continue;
        }
        if (c == '"')
            return i + 1;
        out += c;
    }
    return 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexBytes(std::string_view s, std::string& out)
{
    out.clear();
    s = TrimRight(TrimLeft(s));
    if (s.empty())
        return true;
    std::size_t i = 0;
    for (;;)
    {
        s = TrimLeft(s.substr(i));
        if (s.size() < 2)
            return false;
        const int hi = HexDigit(s[0]);
        const int lo = HexDigit(s[1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
        s = TrimLeft(s.substr(2));
        if (s.empty())
            return true;
        if (s[0] != ',')
            return false;
        i = 1;
    }
}

std::string DecodeUtf16Le(std::string_view bytes)
{
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    // Exactly one terminator: a text may itself end in NUL characters.
    if (!wide.empty() && wide.back() == 0)
        wide.pop_back();
    return BytesFromUtf16(wide);
}

std::string EncodeUtf16Le(std::string_view text)
{
    std::string bytes;
    for (const char16_t u : Utf16FromBytes(text))
    {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    bytes.append(2, '\0');
    return bytes;
}

bool ParseData(std::string_view s, RegistryValue& value)
{
    if (!s.empty() && s[0] == '"')
    {
        std::string text;
        const std::size_t used = ParseQuoted(s, text);
        if (used == 0 || !TrimRight(s.substr(used)).empty())
            return false;
        value = RegistryValue::FromString(std::move(text));
        return true;
    }
    if (s.starts_with("dword:"))
    {
        const std::string_view digits = TrimRight(s.substr(6));
        if (digits.empty() || digits.size() > 8)
            return false;
        std::uint32_t v = 0;
        for (const char c : digits)
        {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<std::uint32_t>(d);
        }
        value = RegistryValue::FromDword(v);
        return true;
    }
    if (s.starts_with("hex"))
    {
        std::uint32_t type = 3;
        std::size_t pos = 3;
        if (pos < s.size() && s[pos] == '(')
        {
            const std::size_t close = s.find(')', pos);
            if (close == std::string_view::npos || close == pos + 1 || close > pos + 9)
                return false;
            type = 0;
            for (std::size_t i = pos + 1; i < close; ++i)
            {
                const int d = HexDigit(s[i]);
                if (d < 0)
                    return false;
                type = type * 16 + static_cast<std::uint32_t>(d);
            }
            pos = close + 1;
        }
        if (pos >= s.size() || s[pos] != ':')
            return false;
        std::string bytes;
        if (!ParseHexBytes(s.substr(pos + 1), bytes))
            return false;
        value = RegistryValue{};
        value.m_type = static_cast<RegistryValueType>(type);
        if (type == 1 || type == 2)
            value.m_strData = DecodeUtf16Le(bytes);
        else if (type == 4 && bytes.size() == 4)
        {
            value.m_dwValue = static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8) |
                              (static_cast<unsigned char>(bytes[2]) << 16) |
                              (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24);
        }
        else
        {
            if (type == 4)
                value.m_type = RegistryValueType::Binary;
            value.m_strData = std::move(bytes);
        }
        return true;
    }
    return false;
}

// A string that a plain quoted line keeps exactly: valid UTF-8 without control characters.
bool IsPlainText(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return IsValidUtf8(text);
}

std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text)
    {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::string HexList(std::string_view bytes)
{
    std::string out;
    char buffer[4];
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(bytes[i]));
        if (i > 0)
            out += ',';
        out += buffer;
    }
    return out;
}

std::string FormatData(const RegistryValue& value)
{
    char buffer[32];
    switch (value.m_type)
    {
    case RegistryValueType::String:
        if (IsPlainText(value.m_strData))
            return Quote(value.m_strData);
        return "hex(1):" + HexList(EncodeUtf16Le(value.m_strData));
    case RegistryValueType::Dword:
        std::snprintf(buffer, sizeof buffer, "dword:%08x", value.m_dwValue);
        return buffer;
    case RegistryValueType::ExpandString:
        return "hex(2):" + HexList(EncodeUtf16Le(value.m_strData));
    case RegistryValueType::Binary:
        return "hex:" + HexList(value.m_strData);
    default:
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.m_type));
        return buffer + HexList(value.m_strData);
    }
}

} // namespace

const char* RegistryRootName(RegistryRoot root)
{
    switch (root)
    {
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    }
    return "";
}

RegistryValue RegistryValue::FromString(std::string text)
{
    RegistryValue value;
    value.m_type = RegistryValueType::String;
    value.m_strData = std::move(text);
    return value;
}

RegistryValue RegistryValue::FromDword(std::uint32_t v)
{
    RegistryValue value;
    value.m_type = RegistryValueType::Dword;
    value.m_dwValue = v;
    return value;
}

std::string RegistryHive::Fold(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string RegistryHive::Normalize(std::string_view key)
{
    std::string out;
    bool pendingSeparator = false;
    for (const char c : key)
    {
        if (c == '\\')
        {
            pendingSeparator = !out.empty();
            continue;
        }
        if (pendingSeparator)
            out += '\\';
        pendingSeparator = false;
        out += c;
    }
    return out;
}

namespace {

// Parents sort before their children: the separator sorts below every name character.
std::string SortKey(const std::string& folded)
{
    std::string key = folded;
    for (char& c : key)
        if (c == '\\')
            c = '\x01';
    return key;
}

} // namespace

bool RegistryHive::IsValidKeyPath(std::string_view key)
{
    return key.find_first_of(std::string_view("\0\r\n[]", 5)) == std::string_view::npos;
}

bool RegistryHive::IsValidValueName(std::string_view name)
{
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

RegistryHive::Key& RegistryHive::Ensure(std::string_view key)
{
    const std::string path = Normalize(key);
    std::string prefix;
    Key* last = nullptr;
    std::size_t start = 0;
    while (start <= path.size() && !path.empty())
    {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        prefix = path.substr(0, end);
        auto [it, inserted] = m_keys.try_emplace(SortKey(Fold(prefix)));
        if (inserted)
            it->second.m_strPath = prefix;
        last = &it->second;
        start = end + 1;
    }
    if (last == nullptr)
    {
        auto [it, inserted] = m_keys.try_emplace(std::string());
        last = &it->second;
    }
    return *last;
}

bool RegistryHive::KeyExists(std::string_view key) const
{
    return m_keys.count(SortKey(Fold(Normalize(key)))) != 0;
}

void RegistryHive::CreateKey(std::string_view key)
{
    Ensure(key);
}

const RegistryValue* RegistryHive::FindValue(std::string_view key, std::string_view name) const
{
    const auto k = m_keys.find(SortKey(Fold(Normalize(key))));
    if (k == m_keys.end())
        return nullptr;
    const auto v = k->second.m_values.find(Fold(name));
    return v == k->second.m_values.end() ? nullptr : &v->second.second;
}

void RegistryHive::SetValue(std::string_view key, std::string_view name, const RegistryValue& value)
{
    Key& k = Ensure(key);
    auto [it, inserted] = k.m_values.try_emplace(Fold(name), std::string(name), value);
    if (!inserted)
        it->second.second = value;
}

bool RegistryHive::DeleteValue(std::string_view key, std::string_view name)
{
    const auto k = m_keys.find(SortKey(Fold(Normalize(key))));
    return k != m_keys.end() && k->second.m_values.erase(Fold(name)) != 0;
}

bool RegistryHive::DeleteKey(std::string_view key)
{
    const std::string sortKey = SortKey(Fold(Normalize(key)));
    const std::string childPrefix = sortKey + '\x01';
    bool removed = false;
    for (auto it = m_keys.lower_bound(sortKey); it != m_keys.end();)
    {
        if (it->first != sortKey && !it->first.starts_with(childPrefix))
            break;
        it = m_keys.erase(it);
        removed = true;
    }
    return removed;
}

std::vector<std::string> RegistryHive::SubkeyNames(std::string_view key) const
{
    const std::string sortKey = SortKey(Fold(Normalize(key)));
    const std::string childPrefix = sortKey.empty() ? std::string() : sortKey + '\x01';
    std::vector<std::string> names;
    for (auto it = m_keys.lower_bound(childPrefix); it != m_keys.end() && it->first.starts_with(childPrefix); ++it)
    {
        const std::string_view rest = std::string_view(it->first).substr(childPrefix.size());
        if (rest.empty() || rest.find('\x01') != std::string_view::npos)
            continue;
        names.push_back(it->second.m_strPath.substr(it->second.m_strPath.size() - rest.size()));
    }
    return names;
}

std::vector<std::string> RegistryHive::ValueNames(std::string_view key) const
{
    std::vector<std::string> names;
    const auto k = m_keys.find(SortKey(Fold(Normalize(key))));
    if (k != m_keys.end())
        for (const auto& [folded, entry] : k->second.m_values)
            names.push_back(entry.first);
    return names;
}

bool RegistryHive::Parse(std::string_view raw, std::string& error)
{
    m_keys.clear();
    const std::string text = DecodeHiveText(raw);
    const std::string rootName = RegistryRootName(m_root);
    bool headerSeen = false;
    Key* current = nullptr;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    auto fail = [&](const std::string& why) {
        m_keys.clear();
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };
    while (pos < text.size())
    {
        // A hex value may go on over several lines, each but the last ending in "\".
        std::string line;
        for (;;)
        {
            const std::size_t nl = text.find('\n', pos);
            std::string_view part =
                std::string_view(text).substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
            pos = nl == std::string::npos ? text.size() : nl + 1;
            ++lineNumber;
            part = TrimRight(part);
            std::string piece(line.empty() ? part : TrimLeft(part));
            const bool hexValue = (line + piece).find("=hex") != std::string::npos;
            if (hexValue && !piece.empty() && piece.back() == '\\' && pos < text.size())
            {
                piece.pop_back();
                line += piece;
                continue;
            }
            line += piece;
            break;
        }
        const std::string_view l = TrimLeft(line);
        if (!headerSeen)
        {
            if (l.empty())
                continue;
            if (l != kHeader5 && l != kHeader4)
                return fail("not a registry file (the first line is not \"" + std::string(kHeader5) + "\")");
            headerSeen = true;
            continue;
        }
        if (l.empty() || l[0] == ';')
            continue;
        if (l[0] == '[')
        {
            if (l.back() != ']')
                return fail("a key line does not end in \"]\"");
            std::string_view path = l.substr(1, l.size() - 2);
            const bool remove = !path.empty() && path[0] == '-';
            if (remove)
                path.remove_prefix(1);
            if (!(path == rootName || (path.size() > rootName.size() && path.substr(0, rootName.size()) == rootName &&
                                       path[rootName.size()] == '\\')))
                return fail("the key is not below " + rootName);
            path.remove_prefix(rootName.size());
            if (remove)
            {
                DeleteKey(path);
                current = nullptr;
            }
            else
                current = &Ensure(path);
            continue;
        }
        std::string name;
        std::size_t used = 0;
        if (l[0] == '@')
            used = 1;
        else if (l[0] == '"')
        {
            used = ParseQuoted(l, name);
            if (used == 0)
                return fail("a value name has no closing quote");
        }
        else
            return fail("unexpected text");
        if (current == nullptr)
            return fail("a value comes before its key");
        std::string_view rest = TrimLeft(l.substr(used));
        if (rest.empty() || rest[0] != '=')
            return fail("a value name is not followed by \"=\"");
        rest = TrimLeft(rest.substr(1));
        if (rest == "-")
        {
            current->m_values.erase(Fold(name));
            continue;
        }
        RegistryValue value;
        if (!ParseData(rest, value))
            return fail("the data of \"" + name + "\" cannot be read");
        auto [it, inserted] = current->m_values.try_emplace(Fold(name), name, value);
        if (!inserted)
            it->second.second = std::move(value);
    }
    if (!headerSeen)
        return fail("the file is empty");
    return true;
}

std::string RegistryHive::Serialize() const
{
    std::string out;
    out += kHeader5;
    out += "\n";
    const std::string rootName = RegistryRootName(m_root);
    for (const auto& [sortKey, key] : m_keys)
    {
        out += "\n[";
        out += rootName;
        if (!key.m_strPath.empty())
        {
            out += '\\';
            out += key.m_strPath;
        }
        out += "]\n";
        for (const auto& [folded, entry] : key.m_values)
        {
            out += entry.first.empty() ? std::string("@") : Quote(entry.first);
            out += '=';
            out += FormatData(entry.second);
            out += '\n';
        }
    }
    return out;
}

} // namespace platform
