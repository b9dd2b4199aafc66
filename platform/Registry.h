#pragma once

#include "platform/RegistryHive.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The settings store: three hives kept as ".reg" text files in one folder, one per root
// ("HKEY_CURRENT_USER.reg", ...). A hive is read when first used. Changes are kept in memory and
// written by Flush: under an exclusive lock the file is read again, this process's changes are
// applied to what is on disk, and the result replaces the file through a temporary file and a
// rename, so two processes never undo each other's settings and the file is never half-written.
// A hive that cannot be parsed is moved aside (".corrupt-<time>"), reported, and replaced by an
// empty one; a hive that cannot be read is reported and never written over.
class Registry
{
public:
    explicit Registry(std::string directory);
    ~Registry(); // flushes

    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // QUORVANE_REGISTRY_DIR, else $XDG_CONFIG_HOME/Melkwen/Quorvane, else ~/.config/Melkwen/Quorvane.
    static std::string DefaultDirectory();
    // The process-wide store in the default folder.
    static Registry& Default();

    const std::string& Directory() const { return m_strDirectory; }
    std::string HivePath(RegistryRoot root) const;

    bool KeyExists(RegistryRoot root, std::string_view key);
    bool CreateKey(RegistryRoot root, std::string_view key);
    std::optional<RegistryValue> GetValue(RegistryRoot root, std::string_view key, std::string_view name);
    std::optional<std::string> GetString(RegistryRoot root, std::string_view key, std::string_view name);
    std::optional<std::uint32_t> GetDword(RegistryRoot root, std::string_view key, std::string_view name);
    bool SetValue(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value);
    bool SetString(RegistryRoot root, std::string_view key, std::string_view name, std::string_view value);
    bool SetDword(RegistryRoot root, std::string_view key, std::string_view name, std::uint32_t value);
    bool DeleteValue(RegistryRoot root, std::string_view key, std::string_view name);
    bool DeleteKey(RegistryRoot root, std::string_view key); // with everything below it
    std::vector<std::string> SubkeyNames(RegistryRoot root, std::string_view key);
    std::vector<std::string> ValueNames(RegistryRoot root, std::string_view key);

    // Writes the changed hives; false when one could not be written (see TakeProblems).
    bool Flush();
    // Forgets what was read so that the next access reads the files again (changes not yet
    // flushed are kept and applied on top).
    void Reload();

    // Sentences for the user about hives that were damaged or could not be read or written,
    // each given once.
    std::vector<std::string> TakeProblems();

private:
    struct Change
    {
        enum class Kind
        {
            CreateKey,
            SetValue,
            DeleteValue,
            DeleteKey
        } m_kind;
        std::string m_strKey;
        std::string m_strName;
        RegistryValue m_value;
    };

    struct HiveState
    {
        explicit HiveState(RegistryRoot root) : m_hive(root) {}
        RegistryHive m_hive;
        bool m_bLoaded = false;
        bool m_bUnreadable = false; // the file exists but could not be read: never write over it
        std::vector<Change> m_changes;
    };

    HiveState& Loaded(RegistryRoot root);
    // Reads the file into `hive`; moves a damaged file aside. Returns false when it exists but
    // cannot be read. Call with the hive's lock held when `locked`.
    bool ReadFile(RegistryRoot root, RegistryHive& hive, bool locked);
    bool FlushHive(RegistryRoot root, HiveState& state);
    void Record(RegistryRoot root, HiveState& state, Change change);
    static void Apply(RegistryHive& hive, const Change& change);

    std::string m_strDirectory;
    std::mutex m_mutex;
    std::array<HiveState, 3> m_hives{HiveState(RegistryRoot::ClassesRoot), HiveState(RegistryRoot::CurrentUser),
                                     HiveState(RegistryRoot::LocalMachine)};
    std::vector<std::string> m_problems;
};

} // namespace platform
