#include "platform/Profile.h"

namespace platform {

Profile::Profile(Registry& registry, std::string applicationKey)
    : m_registry(registry), m_strApplicationKey(std::move(applicationKey))
{
}

std::string Profile::SectionKey(std::string_view section) const
{
    if (section.empty())
        return m_strApplicationKey;
    return m_strApplicationKey + "\\" + std::string(section);
}

int Profile::GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const
{
    const auto value = m_registry.GetDword(RegistryRoot::CurrentUser, SectionKey(section), entry);
    return value ? static_cast<int>(*value) : defaultValue;
}

std::string Profile::GetProfileString(std::string_view section, std::string_view entry,
                                      std::string_view defaultValue) const
{
    const auto value = m_registry.GetString(RegistryRoot::CurrentUser, SectionKey(section), entry);
    return value ? *value : std::string(defaultValue);
}

bool Profile::WriteProfileInt(std::string_view section, std::string_view entry, int value)
{
    return m_registry.SetDword(RegistryRoot::CurrentUser, SectionKey(section), entry,
                               static_cast<std::uint32_t>(value));
}

bool Profile::WriteProfileString(std::string_view section, std::string_view entry, std::string_view value)
{
    return m_registry.SetString(RegistryRoot::CurrentUser, SectionKey(section), entry, value);
}

} // namespace platform
