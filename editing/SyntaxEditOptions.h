#pragma once

#include "platform/Profile.h"

class CSyntaxEditContext;

// The text editor settings the text buffer relies on, kept in "Components\TextEditor\Settings"
// beside the default code page setting. Out-of-range values fall back to their defaults when read
// and again before they are written.
class CSyntaxEditOptions
{
public:
    static constexpr const char* kSection = "Components\\TextEditor\\Settings";
    static constexpr int kDefaultTabSize = 4;
    static constexpr int kMaxTabSize = 64;

    bool LoadFromRegistry(const platform::Profile& profile);
    bool SaveToRegistry(platform::Profile& profile);
    // Gives a buffer the settings (after it was loaded or made new).
    void ApplyTo(CSyntaxEditContext& buffer) const;

    int m_nTabSize = kDefaultTabSize; // "TabSize"
    bool m_bTrackRevisions = false;   // "TrackRevisions": stamp changed lines with revision numbers

private:
    void ApplyLimits();
};
