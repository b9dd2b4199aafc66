#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegistryRoot
{
    ClassesRoot,
    CurrentUser,
    LocalMachine,
};

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE".
const char* RegistryRootName(RegistryRoot root);

// Value types, numbered as in hive files ("hex(N):").
enum class RegistryValueType : std::uint32_t
{
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    MultiString = 7,
    Qword = 11,
};

struct RegistryValue
{
    RegistryValueType m_type = RegistryValueType::None;
    std::string m_strData; // String and ExpandString: the text (UTF-8 bytes, any bytes allowed); others: raw bytes
    std::uint32_t m_dwValue = 0; // Dword

    static RegistryValue FromString(std::string text);
    static RegistryValue FromDword(std::uint32_t value);
    bool operator==(const RegistryValue&) const = default;
};

// One hive: a tree of keys with named values, kept in memory and read from or written to the
// ".reg" text format. Key and value names are matched without regard to ASCII case and keep the
// case they were created with. Key paths are relative to the root and use "\" between keys.
class RegistryHive
{
public:
    explicit RegistryHive(RegistryRoot root) : m_root(root) {}

    RegistryRoot Root() const { return m_root; }

    // Replaces the content with the parsed text (UTF-8, or UTF-16LE with its byte-order mark).
    // On failure the hive is left empty and `error` says what and where.
    bool Parse(std::string_view text, std::string& error);
    // The hive as UTF-8 ".reg" text.
    std::string Serialize() const;

    bool KeyExists(std::string_view key) const;
    void CreateKey(std::string_view key); // with its missing parents
    const RegistryValue* FindValue(std::string_view key, std::string_view name) const;
    void SetValue(std::string_view key, std::string_view name, const RegistryValue& value);
    bool DeleteValue(std::string_view key, std::string_view name);
    bool DeleteKey(std::string_view key); // with every key below it
    std::vector<std::string> SubkeyNames(std::string_view key) const;
    std::vector<std::string> ValueNames(std::string_view key) const;
    bool Empty() const { return m_keys.empty(); }

    // True when a key or value name can be stored (no NUL, CR or LF; key names also no "[" "]").
    static bool IsValidKeyPath(std::string_view key);
    static bool IsValidValueName(std::string_view name);

private:
    struct Key
    {
        std::string m_strPath; // as created
        std::map<std::string, std::pair<std::string, RegistryValue>> m_values; // folded name -> (name, value)
    };

    static std::string Fold(std::string_view text);
    static std::string Normalize(std::string_view key);
    Key& Ensure(std::string_view key);

    RegistryRoot m_root;
    std::map<std::string, Key> m_keys; // sort key of the folded path -> key
};

} // namespace platform
