#include "textcompare/ShortestEditScript.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

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
    : m_bHeuristic(heuristic)
{
    m_xPadded.reserve(x.size() + 2);
    m_xPadded.push_back(-1);
    m_xPadded.insert(m_xPadded.end(), x.begin(), x.end());
    m_xPadded.push_back(-1);
    m_yPadded.reserve(y.size() + 2);
    m_yPadded.push_back(-1);
    m_yPadded.insert(m_yPadded.end(), y.begin(), y.end());
    m_yPadded.push_back(-1);
    m_pX = m_xPadded.data() + 1;
    m_pY = m_yPadded.data() + 1;
    m_nXSize = static_cast<int>(x.size());
    m_nYSize = static_cast<int>(y.size());
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
    CompareRange(0, m_nXSize, 0, m_nYSize, false);
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
    int* const xv = m_pX;
    int* const yv = m_pY;
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

    // Values no class has, different on the two sides, just outside the range: a snake stops at them.
    struct SENTINELS
    {
        int* slots[4];
        int saved[4];
        ~SENTINELS()
        {
            for (int i = 3; i >= 0; --i)
                *slots[i] = saved[i];
        }
    } sentinels{{xv + xlim, yv + ylim, xv + xoff - 1, yv + yoff - 1},
                {xv[xlim], yv[ylim], xv[xoff - 1], yv[yoff - 1]}};
    xv[xlim] = -1;
    yv[ylim] = -2;
    xv[xoff - 1] = -3;
    yv[yoff - 1] = -4;

    // Long snakes matter only to the good-diagonal cut-off.
    const bool track = m_bHeuristic && !minimal;
    PARTITION met{};
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
        // The overlap test and the snake bookkeeping are compiled into the sweep only where they apply.
        const auto forwardSweep = [&](auto checkOverlap, auto trackSnakes) -> bool {
            for (Index d = fmax; d >= fmin; d -= 2)
            {
                const Index tlo = fd[d - 1];
                const Index thi = fd[d + 1];
                const Index x0 = tlo < thi ? thi : tlo + 1;
                Index x = x0;
                Index y = x0 - d;
                if (x < xlim && y < ylim)
                    while (xv[x] == yv[y])
                    {
                        ++x;
                        ++y;
                    }
                if constexpr (decltype(trackSnakes)::value)
                    bigSnake |= x - x0 > kSnakeLimit;
                fd[d] = static_cast<std::int32_t>(x);
                if constexpr (decltype(checkOverlap)::value)
                    if (bmin <= d && d <= bmax && bd[d] <= x)
                    {
                        met = part(x, y, true, true);
                        return true;
                    }
            }
            return false;
        };
        const bool forwardMet = odd ? (track ? forwardSweep(std::true_type{}, std::true_type{})
                                             : forwardSweep(std::true_type{}, std::false_type{}))
                                    : (track ? forwardSweep(std::false_type{}, std::true_type{})
                                             : forwardSweep(std::false_type{}, std::false_type{}));
        if (forwardMet)
            return met;

        // And the backward search.
        if (bmin > dmin)
            bd[--bmin - 1] = INT32_MAX;
        else
            ++bmin;
        if (bmax < dmax)
            bd[++bmax + 1] = INT32_MAX;
        else
            --bmax;
        const auto backwardSweep = [&](auto checkOverlap, auto trackSnakes) -> bool {
            for (Index d = bmax; d >= bmin; d -= 2)
            {
                const Index tlo = bd[d - 1];
                const Index thi = bd[d + 1];
                const Index x0 = tlo < thi ? tlo : thi - 1;
                Index x = x0;
                Index y = x0 - d;
                if (xoff < x && yoff < y)
                    while (xv[x - 1] == yv[y - 1])
                    {
                        --x;
                        --y;
                    }
                if constexpr (decltype(trackSnakes)::value)
                    bigSnake |= x0 - x > kSnakeLimit;
                bd[d] = static_cast<std::int32_t>(x);
                if constexpr (decltype(checkOverlap)::value)
                    if (fmin <= d && d <= fmax && x <= fd[d])
                    {
                        met = part(x, y, true, true);
                        return true;
                    }
            }
            return false;
        };
        const bool backwardMet = !odd ? (track ? backwardSweep(std::true_type{}, std::true_type{})
                                               : backwardSweep(std::true_type{}, std::false_type{}))
                                      : (track ? backwardSweep(std::false_type{}, std::true_type{})
                                               : backwardSweep(std::false_type{}, std::false_type{}));
        if (backwardMet)
            return met;

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
