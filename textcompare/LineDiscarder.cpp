#include "textcompare/LineDiscarder.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr char kKeep = 0;
constexpr char kDiscard = 1;
constexpr char kProvisional = 2;

// A class that occurs this often on the other side makes a line too common to anchor a match; the
// limit grows with the square root of the side's length (5 up to 255 lines, doubled per factor 4).
std::size_t ManyFor(std::size_t lines)
{
    std::size_t many = 5;
    for (std::size_t tem = lines / 64; (tem >>= 2) > 0;)
        many *= 2;
    return many;
}

// Roughly the square root of a quarter of the run's length: a sub-run of this many provisional
// lines is long enough to stand as matchable.
std::size_t MinimumSubrun(std::size_t length)
{
    std::size_t minimum = 1;
    for (std::size_t tem = length >> 2; (tem >>= 2) > 0;)
        minimum <<= 1;
    return minimum + 1;
}

// Restores provisional lines from one end of a run until three plainly discarded lines in a row, or
// from the run's ninth line on the first plainly discarded line.
template <typename At>
void RestoreFromEnd(std::size_t length, At at)
{
    int consecutive = 0;
    for (std::size_t j = 0; j < length; ++j)
    {
        char& d = at(j);
        if (j >= 8 && d == kDiscard)
            break;
        if (d == kProvisional)
        {
            consecutive = 0;
            d = kKeep;
        }
        else if (d == kKeep)
            consecutive = 0;
        else
            ++consecutive;
        if (consecutive == 3)
            break;
    }
}

void RefineRuns(std::vector<char>& discards)
{
    const std::size_t end = discards.size();
    for (std::size_t i = 0; i < end; ++i)
    {
        if (discards[i] == kProvisional)
        {
            discards[i] = kKeep; // provisional lines do not start a run
            continue;
        }
        if (discards[i] == kKeep)
            continue;
        std::size_t j = i;
        std::size_t provisional = 0;
        for (; j < end && discards[j] != kKeep; ++j)
            if (discards[j] == kProvisional)
                ++provisional;
        while (j > i && discards[j - 1] == kProvisional)
        {
            discards[--j] = kKeep;
            --provisional;
        }
        const std::size_t length = j - i;
        if (provisional * 4 > length)
        {
            for (std::size_t k = i; k < j; ++k)
                if (discards[k] == kProvisional)
                    discards[k] = kKeep;
            continue; // the rest of the run holds only plain discards now
        }
        const std::size_t minimum = MinimumSubrun(length);
        std::size_t consecutive = 0;
        for (std::ptrdiff_t k = 0; k < static_cast<std::ptrdiff_t>(length); ++k)
        {
            char& d = discards[i + static_cast<std::size_t>(k)];
            if (d != kProvisional)
                consecutive = 0;
            else if (++consecutive == minimum)
                k -= static_cast<std::ptrdiff_t>(consecutive); // back to the sub-run's start, to restore it all
            else if (consecutive > minimum)
                d = kKeep;
        }
        RestoreFromEnd(length, [&](std::size_t k) -> char& { return discards[i + k]; });
        const std::size_t last = i + length - 1;
        RestoreFromEnd(length, [&](std::size_t k) -> char& { return discards[last - k]; });
        i = last;
    }
}

} // namespace

void DiscardConfusingLines(const std::vector<int> (&classes)[2], int classCount, bool noDiscards,
                           UNDISCARDED_LINES (&out)[2], std::vector<char> (&changed)[2])
{
    std::vector<std::uint32_t> counts[2];
    for (int side = 0; side < 2; ++side)
    {
        counts[side].assign(static_cast<std::size_t>(classCount), 0);
        for (const int c : classes[side])
            ++counts[side][static_cast<std::size_t>(c)];
    }
    for (int side = 0; side < 2; ++side)
    {
        const std::vector<int>& mine = classes[side];
        const std::vector<std::uint32_t>& other = counts[1 - side];
        std::vector<char> discards(mine.size(), kKeep);
        if (!noDiscards)
        {
            const std::size_t many = ManyFor(mine.size());
            for (std::size_t i = 0; i < mine.size(); ++i)
            {
                const std::uint32_t matches = other[static_cast<std::size_t>(mine[i])];
                if (matches == 0)
                    discards[i] = kDiscard;
                else if (matches > many)
                    discards[i] = kProvisional;
            }
            RefineRuns(discards);
        }
        out[side].m_classes.clear();
        out[side].m_realIndex.clear();
        for (std::size_t i = 0; i < mine.size(); ++i)
        {
            if (discards[i] != kKeep)
            {
                changed[side][i] = 1;
                continue;
            }
            out[side].m_classes.push_back(mine[i]);
            out[side].m_realIndex.push_back(static_cast<int>(i));
        }
    }
}
