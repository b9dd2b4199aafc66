// libFuzzer target of the PE version-resource reader (platform/PeVersionResource) and of
// CFileVersion's reading of a block. Not part of the CMake build; see tests/fuzz/README.md.
//
// The input is a whole file image. The first two bytes (when present) also pick the user language,
// so that the choice among resource languages and translations is explored too. Every query path of
// CFileVersion is run over the block found, and over the input itself taken as a block, so that the
// structure walk is fuzzed directly as well as behind a valid PE.

#include "filesystem/FileVersion.h"
#include "platform/PeVersionResource.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

void QueryEverything(std::span<const std::uint8_t> block, std::uint16_t language)
{
    std::vector<std::uint8_t> value;
    std::string text;
    platform::QueryVersionValue(block, "\\", value);
    platform::QueryVersionValue(block, "\\VarFileInfo\\Translation", value);
    platform::QueryVersionString(block, "\\StringFileInfo\\040904B0\\CompanyName", text);
    CFileVersion version;
    version.ReadBlock(block, language);
    for (int i = 0; i < CFileVersion::StringCount; ++i)
        text = version.GetString(i);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    const std::uint16_t language =
        size >= 2 ? static_cast<std::uint16_t>(data[0] | (data[1] << 8)) : std::uint16_t{0x0409};
    const std::vector<std::uint8_t> block = platform::VersionInfoBlockFromImage(input, language);
    if (block.size() > platform::kMaxVersionBlockSize)
        __builtin_trap();
    QueryEverything(block, language);
    QueryEverything(input, language);
    return 0;
}
