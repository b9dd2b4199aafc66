#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {
class Profile;
}

// The background and text colours of the folder comparison views for the item states (RGB values,
// red in the low byte), with the two presets the options page offers.
class CFolderCompareColors
{
public:
    static constexpr int kColorCount = 11;
    static constexpr int kPresetConcise = 0;
    static constexpr int kPresetDetailed = 1;
    static constexpr int kPresetCount = 2;
    static constexpr std::string_view kColorsSection = "Comparisons\\FolderComparison\\Settings\\Colors";
    // The system window colour where no desktop theme tells another one.
    static constexpr std::uint32_t kDefaultWindowColor = 0xFFFFFF;

    using Colors = std::array<std::uint32_t, kColorCount>;

    // Starts with the detailed preset; entry 0 is `windowColor` in both presets.
    explicit CFolderCompareColors(std::uint32_t windowColor = kDefaultWindowColor);
    virtual ~CFolderCompareColors() = default;

    // The eleven colours of a preset; the detailed preset for a number out of range.
    static Colors PresetColors(int preset, std::uint32_t windowColor);
    // The list entry of a preset: "Concise Style" or "Detailed Style (Default)"; "" out of range.
    static std::string_view PresetName(int preset);

    void SetPreset(int preset);
    // The preset whose eleven values all equal the current colours, or -1.
    int GetMatchingPreset() const;

    std::uint32_t GetColor(int index) const;
    void SetColor(int index, std::uint32_t color);
    const Colors& GetColors() const { return m_colors; }
    std::uint32_t GetWindowColor() const { return m_windowColor; }

    // Read only when the stored "Count" is exactly 11; otherwise the colours stay as they are.
    void LoadColors(const platform::Profile& profile);
    bool SaveColors(platform::Profile& profile) const;

protected:
    Colors m_colors;
    std::uint32_t m_windowColor;
};
