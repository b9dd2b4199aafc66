#include "textcompare/TextSection.h"

#include <algorithm>
#include <utility>

bool CTextSectionList::GetAt(int index, CTextSection& out) const
{
    if (index < 0 || index >= GetCount())
    {
        out = CTextSection();
        out.nLeftGhostFirst = 0;
        out.nRightGhostFirst = 0;
        return false;
    }
    out = m_sections[static_cast<std::size_t>(index)];
    return true;
}

void CTextSectionList::SetAt(int index, const CTextSection& section)
{
    if (index >= 0 && index < GetCount())
        m_sections[static_cast<std::size_t>(index)] = section;
}

int CTextSectionList::FindByApparentLine(int row) const
{
    // Sections are in ascending order and do not overlap, so their left apparent ranges are sorted.
    const auto it = std::partition_point(m_sections.begin(), m_sections.end(),
                                         [row](const CTextSection& s) { return s.nLeftApparentLast < row; });
    if (it == m_sections.end() || it->nLeftApparentFirst > row)
        return -1;
    return static_cast<int>(it - m_sections.begin());
}

bool CTextSectionList::IsRowInSection(int row, int index) const
{
    if (index < 0 || index >= GetCount())
        return false;
    const CTextSection& s = m_sections[static_cast<std::size_t>(index)];
    return s.nLeftApparentFirst <= row && row <= s.nLeftApparentLast;
}

int CTextSectionList::FindPrevious(int row) const
{
    for (int i = GetCount() - 1; i >= 0; --i)
    {
        const CTextSection& s = m_sections[static_cast<std::size_t>(i)];
        if (s.nKind != SECTION_TRIVIAL && s.nLeftApparentLast <= row)
            return i;
    }
    return -1;
}

int CTextSectionList::FindNext(int row) const
{
    for (int i = 0; i < GetCount(); ++i)
    {
        const CTextSection& s = m_sections[static_cast<std::size_t>(i)];
        if (s.nKind != SECTION_TRIVIAL && s.nLeftApparentFirst >= row)
            return i;
    }
    return -1;
}

void CTextSectionList::RemoveIgnored()
{
    std::erase_if(m_sections, [](const CTextSection& s) {
        const int kind = s.nKind & 0xFF;
        return kind == SECTION_IGNORED || kind == SECTION_TRIVIAL;
    });
}

void CTextSectionList::SwapSides()
{
    for (CTextSection& s : m_sections)
    {
        std::swap(s.nLeftFirst, s.nRightFirst);
        std::swap(s.nLeftLast, s.nRightLast);
        std::swap(s.nLeftApparentFirst, s.nRightApparentFirst);
        std::swap(s.nLeftApparentLast, s.nRightApparentLast);
        std::swap(s.nLeftGhostFirst, s.nRightGhostFirst);
        if ((s.nKind & 0xFF) == SECTION_LEFTONLY)
            s.nKind = SECTION_RIGHTONLY;
        else if ((s.nKind & 0xFF) == SECTION_RIGHTONLY)
            s.nKind = SECTION_LEFTONLY;
    }
}
