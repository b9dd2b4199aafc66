// libFuzzer target: any bytes as a settings hive. Parsing must never crash, and whatever parses
// must serialize to text that parses back to the same serialization.
#include "platform/RegistryHive.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::RegistryHive hive(platform::RegistryRoot::CurrentUser);
    std::string error;
    if (!hive.Parse(std::string_view(reinterpret_cast<const char*>(data), size), error))
        return 0;
    const std::string text = hive.Serialize();
    platform::RegistryHive again(platform::RegistryRoot::CurrentUser);
    if (!again.Parse(text, error) || again.Serialize() != text)
        std::abort();
    return 0;
}
