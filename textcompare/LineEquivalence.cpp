#include "textcompare/LineEquivalence.h"

#include "textcompare/TextScan.h"

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

namespace {

// The hash that spreads plain lines (no white-space or case rule) over the buckets. Classes depend
// only on line equality, so any hash of the bytes serves; this one takes eight bytes per step
// (multiply-xorshift mixing), several times faster than the byte-serial rule hash.
std::uint32_t HashPlainBytes(const unsigned char* p, std::size_t n)
{
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull; // 2^64 divided by the golden ratio
    std::uint64_t h = n * kMultiplier;
    for (; n >= 8; n -= 8, p += 8)
    {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (h ^ word) * kMultiplier;
        h ^= h >> 32;
    }
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < n; ++i)
        tail |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    h = (h ^ tail) * kMultiplier;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

} // namespace

void AssignLineClasses(MATCH_LINES& left, MATCH_LINES& right, const LINE_RULES& rules,
                       std::vector<int>& leftClasses, std::vector<int>& rightClasses, int& classCount)
{
    struct CLASS
    {
        std::uint32_t hash;
        std::uint32_t side : 1;
        std::uint32_t line : 31; // the first line of the class, its representative
        std::int32_t next;       // next class in the same bucket, -1 at the end
    };
    MATCH_LINES* const sides[2] = {&left, &right};
    std::size_t total = 0;
    for (MATCH_LINES* side : sides)
    {
        const std::size_t lines = CountNewlines(side->m_text);
        side->m_starts.resize(lines + 1);
        total += lines;
    }
    const std::uint32_t bucketCount = BucketCountFor(total);
    // One extra bucket holds incomplete last lines, which only match each other.
    std::vector<std::int32_t> buckets(bucketCount + 1, -1);
    std::vector<CLASS> classes;
    classes.reserve(total);
    const bool separateIncomplete = rules.m_nWhiteSpace < 2;
    const bool plain = rules.m_nWhiteSpace == 0 && !rules.m_bIgnoreCase;
    std::vector<int>* const outputs[2] = {&leftClasses, &rightClasses};

    for (std::uint32_t s = 0; s < 2; ++s)
    {
        MATCH_LINES& side = *sides[s];
        std::vector<int>& out = *outputs[s];
        const std::size_t count = side.Count();
        out.resize(count);
        const auto* const base = reinterpret_cast<const unsigned char*>(side.m_text.data());
        const unsigned char* p = base;
        for (std::size_t i = 0; i < count; ++i)
        {
            const unsigned char* const start = p;
            side.m_starts[i] = static_cast<std::uint32_t>(start - base);
            // Every line of the text ends with a "\n".
            p = static_cast<const unsigned char*>(
                    std::memchr(p, '\n', side.m_text.size() - static_cast<std::size_t>(p - base))) + 1;
            const std::size_t length = static_cast<std::size_t>(p - start);
            const std::uint32_t hash =
                plain ? HashPlainBytes(start, length - 1)
                      : HashLine(std::string_view(reinterpret_cast<const char*>(start), length), rules);
            const std::string_view line(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
            const bool incomplete = separateIncomplete && side.m_bIncompleteLast && i + 1 == count;
            std::int32_t& head = buckets[incomplete ? bucketCount : hash % bucketCount];
            std::int32_t found = -1;
            for (std::int32_t c = head; c != -1; c = classes[static_cast<std::size_t>(c)].next)
            {
                const CLASS& candidate = classes[static_cast<std::size_t>(c)];
                if (candidate.hash != hash)
                    continue;
                const MATCH_LINES& owner = *sides[candidate.side];
                const std::size_t first = owner.m_starts[candidate.line];
                // Lines before this one on its own side already have their end recorded.
                const std::size_t length = owner.m_starts[candidate.line + 1] - first;
                const std::string_view representative = owner.m_text.substr(first, length);
                if (plain ? representative == line : LinesEqual(representative, line, rules))
                {
                    found = c;
                    break;
                }
            }
            if (found == -1)
            {
                found = static_cast<std::int32_t>(classes.size());
                classes.push_back({hash, s, static_cast<std::uint32_t>(i), head});
                head = found;
            }
            out[i] = found;
        }
        side.m_starts[count] = static_cast<std::uint32_t>(p - base);
    }
    classCount = static_cast<int>(classes.size());
}
