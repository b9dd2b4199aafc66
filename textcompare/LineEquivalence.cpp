#include "textcompare/LineEquivalence.h"

#include <bit>
#include <cstring>

namespace {

bool IsSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

unsigned char Fold(unsigned char c, bool ignoreCase)
{
    return (ignoreCase && c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

std::string_view WithoutNewline(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    return line;
}

// Produces the bytes a line feeds into hashing and comparing under the white-space rules, one at a
// time, so both use exactly the same normalisation.
class CLineFeed
{
public:
    CLineFeed(std::string_view line, const LINE_RULES& rules) : m_line(WithoutNewline(line)), m_rules(rules) {}

    // The next fed byte; false at the end of the line.
    bool Next(unsigned char& out)
    {
        if (m_nPendingSpaces > 0)
        {
            --m_nPendingSpaces;
            out = ' ';
            return true;
        }
        switch (m_rules.m_nWhiteSpace)
        {
        case 1:
            return NextTabExpanded(out);
        case 2:
            return NextSpaceChange(out);
        case 3:
            while (m_nPos < m_line.size() && IsSpace(Byte(m_nPos)))
                ++m_nPos;
            [[fallthrough]];
        default:
            if (m_nPos >= m_line.size())
                return false;
            out = Fold(Byte(m_nPos++), m_rules.m_bIgnoreCase);
            return true;
        }
    }

private:
    unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(m_line[i]); }

    bool NextTabExpanded(unsigned char& out)
    {
        if (m_nPos >= m_line.size())
            return false;
        const unsigned char c = Byte(m_nPos++);
        switch (c)
        {
        case '\t': {
            const std::size_t tab = m_rules.m_nTabSize > 0 ? static_cast<std::size_t>(m_rules.m_nTabSize) : 1;
            const std::size_t repetitions = tab - m_nColumn % tab;
            m_nColumn += repetitions;
            m_nPendingSpaces = repetitions - 1;
            out = ' ';
            return true;
        }
        case '\b':
            m_nColumn -= m_nColumn > 0 ? 1 : 0;
            break;
        case '\r':
            m_nColumn = 0;
            break;
        default:
            ++m_nColumn;
            break;
        }
        out = Fold(c, m_rules.m_bIgnoreCase);
        return true;
    }

    bool NextSpaceChange(unsigned char& out)
    {
        if (m_nPos >= m_line.size())
            return false;
        if (IsSpace(Byte(m_nPos)))
        {
            while (m_nPos < m_line.size() && IsSpace(Byte(m_nPos)))
                ++m_nPos;
            if (m_nPos >= m_line.size())
                return false; // white space at the end of the line feeds nothing
            out = ' ';
            return true;
        }
        out = Fold(Byte(m_nPos++), m_rules.m_bIgnoreCase);
        return true;
    }

    std::string_view m_line;
    const LINE_RULES& m_rules;
    std::size_t m_nPos = 0;
    std::size_t m_nColumn = 0;
    std::size_t m_nPendingSpaces = 0;
};

std::uint32_t Mix(std::uint32_t h, unsigned char c)
{
    return std::rotl(h, 7) + c;
}

bool IsPrime(std::uint32_t n)
{
    if (n < 2)
        return false;
    for (std::uint32_t d = 2; d * d <= n; ++d)
        if (n % d == 0)
            return false;
    return true;
}

} // namespace

std::uint32_t HashLine(std::string_view line, const LINE_RULES& rules)
{
    std::uint32_t h = 0;
    if (rules.m_nWhiteSpace == 0)
    {
        line = WithoutNewline(line);
        if (rules.m_bIgnoreCase)
            for (const char c : line)
                h = Mix(h, Fold(static_cast<unsigned char>(c), true));
        else
            for (const char c : line)
                h = Mix(h, static_cast<unsigned char>(c));
        return h;
    }
    CLineFeed feed(line, rules);
    unsigned char c = 0;
    while (feed.Next(c))
        h = Mix(h, c);
    return h;
}

bool LinesEqual(std::string_view a, std::string_view b, const LINE_RULES& rules)
{
    a = WithoutNewline(a);
    b = WithoutNewline(b);
    if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0)
        return true;
    if (rules.m_nWhiteSpace == 0)
    {
        if (!rules.m_bIgnoreCase || a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (Fold(static_cast<unsigned char>(a[i]), true) != Fold(static_cast<unsigned char>(b[i]), true))
                return false;
        return true;
    }
    CLineFeed fa(a, rules);
    CLineFeed fb(b, rules);
    for (;;)
    {
        unsigned char ca = 0;
        unsigned char cb = 0;
        const bool moreA = fa.Next(ca);
        const bool moreB = fb.Next(cb);
        if (moreA != moreB)
            return false;
        if (!moreA)
            return true;
        if (ca != cb)
            return false;
    }
}

std::uint32_t BucketCountFor(std::size_t lines)
{
    int i = 9;
    while (i < 31 && (std::size_t{1} << i) < lines / 3)
        ++i;
    std::uint32_t n = (std::uint32_t{1} << i) - 1;
    while (!IsPrime(n))
        --n;
    return n;
}

void AssignLineClasses(const MATCH_LINES& left, const MATCH_LINES& right, const LINE_RULES& rules,
                       std::vector<int>& leftClasses, std::vector<int>& rightClasses, int& classCount)
{
    struct CLASS
    {
        std::uint32_t hash;
        std::string_view representative;
        int next; // next class in the same bucket, -1 at the end
    };
    const std::uint32_t bucketCount = BucketCountFor(left.m_lines.size() + right.m_lines.size());
    // One extra bucket holds incomplete last lines, which only match each other.
    std::vector<int> buckets(bucketCount + 1, -1);
    std::vector<CLASS> classes;
    classes.reserve(left.m_lines.size() + right.m_lines.size());
    const bool separateIncomplete = rules.m_nWhiteSpace < 2;
    const bool plainCompare = rules.m_nWhiteSpace == 0 && !rules.m_bIgnoreCase;

    const auto assign = [&](const MATCH_LINES& side, std::vector<int>& out) {
        out.resize(side.m_lines.size());
        for (std::size_t i = 0; i < side.m_lines.size(); ++i)
        {
            const std::string_view line = side.m_lines[i];
            const std::uint32_t hash = HashLine(line, rules);
            const bool incomplete = separateIncomplete && side.m_bIncompleteLast && i + 1 == side.m_lines.size();
            int& head = buckets[incomplete ? bucketCount : hash % bucketCount];
            int found = -1;
            for (int c = head; c != -1; c = classes[static_cast<std::size_t>(c)].next)
            {
                const CLASS& candidate = classes[static_cast<std::size_t>(c)];
                if (candidate.hash != hash)
                    continue;
                const bool equal = plainCompare ? candidate.representative == line
                                                : LinesEqual(candidate.representative, line, rules);
                if (equal)
                {
                    found = c;
                    break;
                }
            }
            if (found == -1)
            {
                found = static_cast<int>(classes.size());
                classes.push_back({hash, line, head});
                head = found;
            }
            out[i] = found;
        }
    };
    assign(left, leftClasses);
    assign(right, rightClasses);
    classCount = static_cast<int>(classes.size());
}
