#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
class Profile;
}

// A list of recently used texts, newest first, kept as numbered values ("File1", "File2", ...) in
// one settings section. A size of 0 means the list is not kept at all.
class CRecentStrings
{
public:
    CRecentStrings(std::string section, std::string valueFormat, int size);

    void Load(const platform::Profile& profile);
    bool Save(platform::Profile& profile) const;
    // Moves `text` to the front (adding it when new) and drops what exceeds the size.
    void Add(std::string_view text);
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::string ValueName(std::size_t number) const;

    std::string m_strSection;
    std::string m_strValuePrefix; // the value name before its number
    int m_nSize;
    std::vector<std::string> m_items;
};

// Recently compared pairs of paths, newest first, kept as "Pair1.1"/"Pair1.2", "Pair2.1", ... in one
// settings section. A size of 0 means the list is not kept.
class CRecentPairs
{
public:
    using Pair = std::pair<std::string, std::string>;

    CRecentPairs(std::string section, int size);

    void Load(const platform::Profile& profile);
    bool Save(platform::Profile& profile) const;
    // Moves the pair to the front (adding it when new); a pair of two empty paths is not kept.
    void Add(const std::string& left, const std::string& right);
    const std::vector<Pair>& Items() const { return m_items; }

private:
    std::string m_strSection;
    int m_nSize;
    std::vector<Pair> m_items;
};
