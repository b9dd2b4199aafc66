#pragma once

#include "platform/Registry.h"

#include <string>
#include <string_view>

namespace platform {

// The application's profile functions: values addressed by a section (a key path below the
// application key, "" for the key itself) and a value name, in the current user's hive.
class Profile
{
public:
    static constexpr std::string_view kApplicationKey = "Software\\Melkwen\\Quorvane";

    explicit Profile(Registry& registry, std::string applicationKey = std::string(kApplicationKey));

    // Integers are 32-bit values; a missing value, or one of another type, gives the default.
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue = {}) const;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    bool WriteProfileString(std::string_view section, std::string_view entry, std::string_view value);

    // The full key path of a section, for direct access through the registry.
    std::string SectionKey(std::string_view section) const;
    Registry& GetRegistry() const { return m_registry; }

private:
    Registry& m_registry;
    std::string m_strApplicationKey;
};

} // namespace platform
