#include "filesystem/Wildcard.h"

#include "platform/Utf8.h"

#include <clocale>
#include <cstdint>
#include <cwctype>
#include <locale.h>
#include <string>
#include <vector>

namespace {

constexpr char kQuote = '`';
constexpr char kNegate = '!';
constexpr char kRunWithoutDot = 0x1A;

// The case mapping must not depend on the process locale, which the user interface may change.
locale_t UnicodeCtype()
{
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

// One character of a text: its code point (folded) and its length in bytes. An invalid byte is a
// character that only equals itself; it is kept apart from code points by an offset above U+10FFFF.
struct Char
{
    char32_t folded = 0;
    std::size_t length = 0;
};

constexpr char32_t kRawByteBase = 0x110000;

char32_t Fold(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= 'A' && cp <= 'Z') ? cp + ('a' - 'A') : cp;
    if (cp >= kRawByteBase)
        return cp;
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), UnicodeCtype()));
}

Char NextChar(std::string_view text, std::size_t pos)
{
    const std::string_view rest = text.substr(pos);
    const auto b0 = static_cast<unsigned char>(rest[0]);
    if (b0 < 0x80)
        return {Fold(b0), 1};
    const std::size_t length = platform::ValidUtf8SequenceLength(rest);
    if (length == 0)
        return {kRawByteBase + b0, 1};
    char32_t cp = b0 & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(rest[i]) & 0x3F);
    return {Fold(cp), length};
}

// Backtracking matcher with a memo of (pattern position, name position) results, so patterns with
// many stars and negations stay polynomial on long names.
class CMatcher
{
public:
    CMatcher(std::string_view pattern, std::string_view name)
        : m_pattern(pattern), m_name(name), m_memo((pattern.size() + 1) * (name.size() + 1), kUnknown)
    {
    }

    bool Match(std::size_t p, std::size_t n)
    {
        if (m_memo[Index(p, n)] == kUnknown)
        {
            const bool matched = Compute(p, n);
            m_memo[Index(p, n)] = matched ? 1 : 0;
        }
        return m_memo[Index(p, n)] == 1;
    }

private:
    static constexpr std::int8_t kUnknown = -1;

    std::size_t Index(std::size_t p, std::size_t n) const { return p * (m_name.size() + 1) + n; }

    bool Compute(std::size_t p, std::size_t n)
    {
        while (p < m_pattern.size())
        {
            const char c = m_pattern[p];
            if (c == kNegate && p + 1 < m_pattern.size())
                return !Match(p + 1, n);
            if (c == '*' || c == kRunWithoutDot)
                return MatchRun(p, n, c == kRunWithoutDot);
            if (n >= m_name.size())
                return false;
            const Char nc = NextChar(m_name, n);
            if (c == '?')
            {
                ++p;
            }
            else if (c == '[' && SetEnd(p) != std::string_view::npos)
            {
                const std::size_t end = SetEnd(p);
                if (!InSet(p + 1, end, nc.folded))
                    return false;
                p = end + 1;
            }
            else
            {
                if (c == kQuote && p + 1 < m_pattern.size())
                    ++p;
                const Char pc = NextChar(m_pattern, p);
                if (pc.folded != nc.folded)
                    return false;
                p += pc.length;
            }
            n += nc.length;
        }
        return n == m_name.size();
    }

    // The run at `star` may end at any character boundary from `n` on (up to the next dot for the
    // dotless run): Match(star, e) = Match(star + 1, e) or Match(star, next(e)). Walking forward to
    // the first start already settled and sweeping back keeps each star at one pass over the name.
    bool MatchRun(std::size_t star, std::size_t n, bool withoutDot)
    {
        std::vector<std::size_t> starts;
        std::size_t e = n;
        bool matched = false;
        for (;;)
        {
            if (e != n && m_memo[Index(star, e)] != kUnknown)
            {
                matched = m_memo[Index(star, e)] == 1;
                break;
            }
            starts.push_back(e);
            if (e >= m_name.size() || (withoutDot && m_name[e] == '.'))
                break;
            e += NextChar(m_name, e).length;
        }
        for (auto it = starts.rbegin(); it != starts.rend(); ++it)
        {
            matched = matched || Match(star + 1, *it);
            m_memo[Index(star, *it)] = matched ? 1 : 0;
        }
        return matched;
    }

    // Position of the "]" that closes the set opened at `open`, or npos when it is never closed (the
    // "[" is then an ordinary character).
    std::size_t SetEnd(std::size_t open) const
    {
        std::size_t i = open + 1;
        if (i < m_pattern.size() && m_pattern[i] == kNegate)
            ++i;
        for (; i < m_pattern.size(); ++i)
        {
            if (m_pattern[i] == kQuote)
                ++i;
            else if (m_pattern[i] == ']')
                return i;
        }
        return std::string_view::npos;
    }

    // The member at `i` (quoted or not) and the position after it.
    Char Member(std::size_t& i) const
    {
        if (m_pattern[i] == kQuote && i + 1 < m_pattern.size())
            ++i;
        const Char c = NextChar(m_pattern, i);
        i += c.length;
        return c;
    }

    bool InSet(std::size_t i, std::size_t end, char32_t c) const
    {
        bool negated = false;
        if (i < end && m_pattern[i] == kNegate)
        {
            negated = true;
            ++i;
        }
        bool found = false;
        while (i < end && !found)
        {
            const Char low = Member(i);
            if (i + 1 < end && m_pattern[i] == '-')
            {
                ++i;
                const Char high = Member(i);
                found = low.folded <= c && c <= high.folded;
            }
            else
            {
                found = low.folded == c;
            }
        }
        return found != negated;
    }

    std::string_view m_pattern;
    std::string_view m_name;
    std::vector<std::int8_t> m_memo;
};

} // namespace

bool MatchWildcard(std::string_view pattern, std::string_view name)
{
    return CMatcher(pattern, name).Match(0, 0);
}

bool MatchWildcard(const char* pattern, const char* name)
{
    if (pattern == nullptr || name == nullptr)
        return false;
    return MatchWildcard(std::string_view(pattern), std::string_view(name));
}

bool ForEachPattern(std::string_view list, const std::function<bool(std::string_view)>& visit)
{
    std::size_t start = 0;
    while (start <= list.size())
    {
        std::size_t end = list.find(';', start);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > start && visit(list.substr(start, end - start)))
            return true;
        start = end + 1;
    }
    return false;
}

bool MatchWildcardList(std::string_view list, std::string_view name)
{
    return ForEachPattern(list, [name](std::string_view pattern) { return MatchWildcard(pattern, name); });
}

std::string FoldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const Char c = NextChar(text, i);
        if (c.folded >= kRawByteBase)
            out.push_back(text[i]);
        else
            platform::AppendUtf8(out, c.folded);
        i += c.length;
    }
    return out;
}
