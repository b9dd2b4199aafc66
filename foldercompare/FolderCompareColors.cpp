#include "foldercompare/FolderCompareColors.h"

#include "platform/Profile.h"

#include <string>

namespace {

// Entry 0 of both presets is the window colour and is filled in when a preset is taken.
constexpr CFolderCompareColors::Colors kDetailedColors = {
    0, 0xF0FFFF, 0xDDFFE0, 0xE0E0FF, 0x0000FF, 0xFFFFE0, 0xFF0000, 0xFFE0E0, 0xF0F0F0, 0x808080, 0xF0F0F0};
constexpr CFolderCompareColors::Colors kConciseColors = {
    0, 0xF0FFFF, 0xFFFFFF, 0xF0CAA6, 0x0000FF, 0xFFFFFF, 0xFF0000, 0xC0DCC0, 0xF0F0F0, 0x808080, 0xF0F0F0};

std::string ColorValueName(int index)
{
    return "Color" + std::to_string(index + 1);
}

} // namespace

CFolderCompareColors::CFolderCompareColors(std::uint32_t windowColor)
    : m_colors(PresetColors(kPresetDetailed, windowColor)), m_windowColor(windowColor)
{
}

CFolderCompareColors::Colors CFolderCompareColors::PresetColors(int preset, std::uint32_t windowColor)
{
    Colors colors = preset == kPresetConcise ? kConciseColors : kDetailedColors;
    colors[0] = windowColor;
    return colors;
}

std::string_view CFolderCompareColors::PresetName(int preset)
{
    switch (preset)
    {
    case kPresetConcise:
        return "Concise Style";
    case kPresetDetailed:
        return "Detailed Style (Default)";
    default:
        return {};
    }
}

void CFolderCompareColors::SetPreset(int preset)
{
    m_colors = PresetColors(preset, m_windowColor);
}

int CFolderCompareColors::GetMatchingPreset() const
{
    for (int preset = 0; preset < kPresetCount; ++preset)
        if (PresetColors(preset, m_windowColor) == m_colors)
            return preset;
    return -1;
}

std::uint32_t CFolderCompareColors::GetColor(int index) const
{
    return index >= 0 && index < kColorCount ? m_colors[static_cast<std::size_t>(index)] : 0;
}

void CFolderCompareColors::SetColor(int index, std::uint32_t color)
{
    if (index >= 0 && index < kColorCount)
        m_colors[static_cast<std::size_t>(index)] = color;
}

void CFolderCompareColors::LoadColors(const platform::Profile& profile)
{
    if (profile.GetProfileInt(kColorsSection, "Count", 0) != kColorCount)
        return;
    for (int i = 0; i < kColorCount; ++i)
    {
        auto& color = m_colors[static_cast<std::size_t>(i)];
        color = static_cast<std::uint32_t>(
            profile.GetProfileInt(kColorsSection, ColorValueName(i), static_cast<int>(color)));
    }
}

bool CFolderCompareColors::SaveColors(platform::Profile& profile) const
{
    bool ok = profile.WriteProfileInt(kColorsSection, "Count", kColorCount);
    for (int i = 0; i < kColorCount; ++i)
        ok &= profile.WriteProfileInt(kColorsSection, ColorValueName(i),
                                      static_cast<int>(m_colors[static_cast<std::size_t>(i)]));
    return ok;
}
