#include "textcompare/ShortestEditScript.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A snake this long marks a diagonal as worth trusting in the good-diagonal cut-off, and a split
// point taken by it must end with this many equal lines.
constexpr int kSnakeLimit = 20;
// The good-diagonal cut-off is only tried once the search has cost this much.
constexpr int kHeuristicMinimumCost = 200;
// A diagonal qualifies when its progress exceeds this many times its cost.
constexpr int kProgressFactor = 12;

} // namespace

CShortestEditScript::CShortestEditScript(const std::vector<int>& x, const std::vector<int>& y, bool heuristic,
                                         int minimumTooExpensive)
    : m_x(x), m_y(y), m_bHeuristic(heuristic)
{
    const long long diagonals = static_cast<long long>(x.size()) + static_cast<long long>(y.size()) + 3;
    long long tooExpensive = 1;
    for (long long d = diagonals; d != 0; d >>= 2)
        tooExpensive <<= 1;
    m_nTooExpensive = static_cast<int>(std::min<long long>(std::max<long long>(minimumTooExpensive, tooExpensive), INT_MAX));
    m_nOffset = static_cast<int>(y.size()) + 1;
    // Every entry is written before it is read, so the arrays need no clearing.
    m_forward.reset(new std::int32_t[static_cast<std::size_t>(diagonals)]);
    m_backward.reset(new std::int32_t[static_cast<std::size_t>(diagonals)]);
}

void CShortestEditScript::Run(std::vector<char>& xChanged, const std::vector<int>& xIndex,
                              std::vector<char>& yChanged, const std::vector<int>& yIndex)
{
    m_pXChanged = &xChanged;
    m_pYChanged = &yChanged;
    m_pXIndex = &xIndex;
    m_pYIndex = &yIndex;
    CompareRange(0, static_cast<int>(m_x.size()), 0, static_cast<int>(m_y.size()), false);
}

void CShortestEditScript::CompareRange(int xoff, int xlim, int yoff, int ylim, bool minimal)
{
    // Iterating on the second half keeps the recursion depth at the number of first halves.
    for (;;)
    {
        while (xoff < xlim && yoff < ylim && Equal(xoff, yoff))
        {
            ++xoff;
            ++yoff;
        }
        while (xoff < xlim && yoff < ylim && Equal(xlim - 1, ylim - 1))
        {
            --xlim;
            --ylim;
        }
        if (xoff == xlim)
        {
            for (; yoff < ylim; ++yoff)
                (*m_pYChanged)[static_cast<std::size_t>((*m_pYIndex)[static_cast<std::size_t>(yoff)])] = 1;
            return;
        }
        if (yoff == ylim)
        {
            for (; xoff < xlim; ++xoff)
                (*m_pXChanged)[static_cast<std::size_t>((*m_pXIndex)[static_cast<std::size_t>(xoff)])] = 1;
            return;
        }
        const PARTITION part = FindMiddle(xoff, xlim, yoff, ylim, minimal);
        CompareRange(xoff, part.xmid, yoff, part.ymid, part.loMinimal);
        xoff = part.xmid;
        yoff = part.ymid;
        minimal = part.hiMinimal;
    }
}

CShortestEditScript::PARTITION CShortestEditScript::FindMiddle(int xoffIn, int xlimIn, int yoffIn, int ylimIn,
                                                               bool minimal)
{
    // The hot loops work on raw pointers and full-width indices.
    using Index = std::ptrdiff_t;
    const int* const xv = m_x.data();
    const int* const yv = m_y.data();
    std::int32_t* const fd = m_forward.get() + m_nOffset;
    std::int32_t* const bd = m_backward.get() + m_nOffset;
    const Index xoff = xoffIn;
    const Index xlim = xlimIn;
    const Index yoff = yoffIn;
    const Index ylim = ylimIn;
    const Index dmin = xoff - ylim;
    const Index dmax = xlim - yoff;
    const Index fmid = xoff - yoff;
    const Index bmid = xlim - ylim;
    Index fmin = fmid;
    Index fmax = fmid;
    Index bmin = bmid;
    Index bmax = bmid;
    const bool odd = ((fmid - bmid) & 1) != 0;
    const auto part = [](Index x, Index y, bool lo, bool hi) {
        return PARTITION{static_cast<int>(x), static_cast<int>(y), lo, hi};
    };

    fd[fmid] = static_cast<std::int32_t>(xoff);
    bd[bmid] = static_cast<std::int32_t>(xlim);

    for (Index c = 1;; ++c)
    {
        bool bigSnake = false;

        // Extend the forward search by one edit step on every diagonal.
        if (fmin > dmin)
            fd[--fmin - 1] = -1;
        else
            ++fmin;
        if (fmax < dmax)
            fd[++fmax + 1] = -1;
        else
            --fmax;
        for (Index d = fmax; d >= fmin; d -= 2)
        {
            const Index tlo = fd[d - 1];
            const Index thi = fd[d + 1];
            const Index x0 = tlo < thi ? thi : tlo + 1;
            Index x = x0;
            Index y = x0 - d;
            while (x < xlim && y < ylim && xv[x] == yv[y])
            {
                ++x;
                ++y;
            }
            if (x - x0 > kSnakeLimit)
                bigSnake = true;
            fd[d] = static_cast<std::int32_t>(x);
            if (odd && bmin <= d && d <= bmax && bd[d] <= x)
                return part(x, y, true, true);
        }

        // And the backward search.
        if (bmin > dmin)
            bd[--bmin - 1] = INT32_MAX;
        else
            ++bmin;
        if (bmax < dmax)
            bd[++bmax + 1] = INT32_MAX;
        else
            --bmax;
        for (Index d = bmax; d >= bmin; d -= 2)
        {
            const Index tlo = bd[d - 1];
            const Index thi = bd[d + 1];
            const Index x0 = tlo < thi ? tlo : thi - 1;
            Index x = x0;
            Index y = x0 - d;
            while (xoff < x && yoff < y && xv[x - 1] == yv[y - 1])
            {
                --x;
                --y;
            }
            if (x0 - x > kSnakeLimit)
                bigSnake = true;
            bd[d] = static_cast<std::int32_t>(x);
            if (!odd && fmin <= d && d <= fmax && x <= fd[d])
                return part(x, y, true, true);
        }

        if (minimal)
            continue;

        // A diagonal that made much progress for its cost, ending in a long snake, is taken as if the
        // paths had met there.
        if (m_bHeuristic && c > kHeuristicMinimumCost && bigSnake)
        {
            Index best = 0;
            PARTITION found{};
            for (Index d = fmax; d >= fmin; d -= 2)
            {
                const Index dd = d > fmid ? d - fmid : fmid - d;
                const Index x = fd[d];
                const Index y = x - d;
                const Index v = (x - xoff) + (y - yoff) - dd;
                if (v > kProgressFactor * (c + dd) && v > best && xoff + kSnakeLimit <= x && x < xlim &&
                    yoff + kSnakeLimit <= y && y < ylim)
                {
                    Index k = 1;
                    while (k < kSnakeLimit && xv[x - k] == yv[y - k])
                        ++k;
                    if (k == kSnakeLimit && xv[x - k] == yv[y - k])
                    {
                        best = v;
                        found = part(x, y, true, false);
                    }
                }
            }
            if (best > 0)
                return found;
            for (Index d = bmax; d >= bmin; d -= 2)
            {
                const Index dd = d > bmid ? d - bmid : bmid - d;
                const Index x = bd[d];
                const Index y = x - d;
                const Index v = (xlim - x) + (ylim - y) - dd;
                if (v > kProgressFactor * (c + dd) && v > best && xoff < x && x <= xlim - kSnakeLimit &&
                    yoff < y && y <= ylim - kSnakeLimit)
                {
                    Index k = 0;
                    while (k < kSnakeLimit && xv[x + k] == yv[y + k])
                        ++k;
                    if (k == kSnakeLimit)
                    {
                        best = v;
                        found = part(x, y, false, true);
                    }
                }
            }
            if (best > 0)
                return found;
        }

        // Gone well beyond the call of duty: stop at the better of the furthest points reached.
        if (c >= m_nTooExpensive)
        {
            Index fxybest = -1;
            Index fxbest = 0;
            for (Index d = fmax; d >= fmin; d -= 2)
            {
                Index x = std::min<Index>(fd[d], xlim);
                Index y = x - d;
                if (ylim < y)
                {
                    x = ylim + d;
                    y = ylim;
                }
                if (fxybest < x + y)
                {
                    fxybest = x + y;
                    fxbest = x;
                }
            }
            Index bxybest = PTRDIFF_MAX;
            Index bxbest = 0;
            for (Index d = bmax; d >= bmin; d -= 2)
            {
                Index x = std::max<Index>(xoff, bd[d]);
                Index y = x - d;
                if (y < yoff)
                {
                    x = yoff + d;
                    y = yoff;
                }
                if (x + y < bxybest)
                {
                    bxybest = x + y;
                    bxbest = x;
                }
            }
            if ((xlim + ylim) - bxybest < fxybest - (xoff + yoff))
                return part(fxbest, fxybest - fxbest, true, false);
            return part(bxbest, bxybest - bxbest, false, true);
        }
    }
}
