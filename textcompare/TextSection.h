#pragma once

#include <cstdint>
#include <vector>

// Section kinds (low byte of `nKind`).
inline constexpr int SECTION_IGNORED = 0;   // only ignorable lines
inline constexpr int SECTION_LEFTONLY = 1;  // lines only on the left
inline constexpr int SECTION_CHANGED = 2;
inline constexpr int SECTION_RIGHTONLY = 3; // lines only on the right
inline constexpr int SECTION_TRIVIAL = 4;   // a difference the rules treat as trivial

// One block of differences between two texts, in real line numbers (zero-based) and, once the
// sides are aligned, in apparent rows.
struct CTextSection
{
    std::int32_t nLeftFirst = 0;
    std::int32_t nRightFirst = 0;
    std::int32_t nLeftLast = 0;  // nLeftFirst - 1 when the block has no left lines
    std::int32_t nRightLast = 0; // likewise
    std::int32_t nLeftApparentFirst = 0;
    std::int32_t nRightApparentFirst = 0;
    std::int32_t nLeftApparentLast = 0;
    std::int32_t nRightApparentLast = 0;
    std::int32_t nLeftGhostFirst = -1;
    std::int32_t nRightGhostFirst = -1;
    std::int32_t nKind = 0;

    int LeftCount() const { return nLeftLast - nLeftFirst + 1; }
    int RightCount() const { return nRightLast - nRightFirst + 1; }
    bool operator==(const CTextSection&) const = default;
};

// The blocks of differences of one comparison, in ascending line order.
class CTextSectionList
{
public:
    void Add(const CTextSection& section) { m_sections.push_back(section); }
    // A copy of the section; all zeros and false for an index out of range.
    bool GetAt(int index, CTextSection& out) const;
    void SetAt(int index, const CTextSection& section);
    int GetCount() const { return static_cast<int>(m_sections.size()); }
    void RemoveAll() { m_sections.clear(); }

    // Index of the section whose left apparent rows hold `row`, or -1.
    int FindByApparentLine(int row) const;
    bool IsRowInSection(int row, int index) const;
    // The last section (not trivial) whose left apparent last row is at or above `row`, or -1.
    int FindPrevious(int row) const;
    // The first section (not trivial) whose left apparent first row is at or after `row`, or -1.
    int FindNext(int row) const;
    // Drops ignored and trivial sections.
    void RemoveIgnored();
    void SwapSides();

    const std::vector<CTextSection>& Sections() const { return m_sections; }

private:
    std::vector<CTextSection> m_sections;
};
