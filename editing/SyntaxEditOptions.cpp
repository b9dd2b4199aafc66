#include "editing/SyntaxEditOptions.h"

#include "editing/SyntaxEditContext.h"

void CSyntaxEditOptions::ApplyLimits()
{
    if (m_nTabSize < 1 || m_nTabSize > kMaxTabSize)
        m_nTabSize = kDefaultTabSize;
}

bool CSyntaxEditOptions::LoadFromRegistry(const platform::Profile& profile)
{
    m_nTabSize = profile.GetProfileInt(kSection, "TabSize", kDefaultTabSize);
    m_bTrackRevisions = profile.GetProfileInt(kSection, "TrackRevisions", 0) != 0;
    ApplyLimits();
    return true;
}

bool CSyntaxEditOptions::SaveToRegistry(platform::Profile& profile)
{
    ApplyLimits();
    const bool tab = profile.WriteProfileInt(kSection, "TabSize", m_nTabSize);
    const bool track = profile.WriteProfileInt(kSection, "TrackRevisions", m_bTrackRevisions ? 1 : 0);
    return tab && track;
}

void CSyntaxEditOptions::ApplyTo(CSyntaxEditContext& buffer) const
{
    buffer.SetTabSize(m_nTabSize);
    buffer.SetTrackRevisions(m_bTrackRevisions);
}
