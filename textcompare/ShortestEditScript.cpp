#include "textcompare/ShortestEditScript.h"

#include <algorithm>
#include <climits>
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
    m_forward.assign(static_cast<std::size_t>(diagonals), 0);
    m_backward.assign(static_cast<std::size_t>(diagonals), 0);
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

CShortestEditScript::PARTITION CShortestEditScript::FindMiddle(int xoff, int xlim, int yoff, int ylim, bool minimal)
{
    const int dmin = xoff - ylim;
    const int dmax = xlim - yoff;
    const int fmid = xoff - yoff;
    const int bmid = xlim - ylim;
    int fmin = fmid;
    int fmax = fmid;
    int bmin = bmid;
    int bmax = bmid;
    const bool odd = ((fmid - bmid) & 1) != 0;

    Forward(fmid) = xoff;
    Backward(bmid) = xlim;

    for (int c = 1;; ++c)
    {
        bool bigSnake = false;

        // Extend the forward search by one edit step on every diagonal.
        if (fmin > dmin)
            Forward(--fmin - 1) = -1;
        else
            ++fmin;
        if (fmax < dmax)
            Forward(++fmax + 1) = -1;
        else
            --fmax;
        for (int d = fmax; d >= fmin; d -= 2)
        {
            const int tlo = Forward(d - 1);
            const int thi = Forward(d + 1);
            const int x0 = tlo < thi ? thi : tlo + 1;
            int x = x0;
            int y = x0 - d;
            while (x < xlim && y < ylim && Equal(x, y))
            {
                ++x;
                ++y;
            }
            if (x - x0 > kSnakeLimit)
                bigSnake = true;
            Forward(d) = x;
            if (odd && bmin <= d && d <= bmax && Backward(d) <= x)
                return {x, y, true, true};
        }

        // And the backward search.
        if (bmin > dmin)
            Backward(--bmin - 1) = INT_MAX;
        else
            ++bmin;
        if (bmax < dmax)
            Backward(++bmax + 1) = INT_MAX;
        else
            --bmax;
        for (int d = bmax; d >= bmin; d -= 2)
        {
            const int tlo = Backward(d - 1);
            const int thi = Backward(d + 1);
            const int x0 = tlo < thi ? tlo : thi - 1;
            int x = x0;
            int y = x0 - d;
            while (xoff < x && yoff < y && Equal(x - 1, y - 1))
            {
                --x;
                --y;
            }
            if (x0 - x > kSnakeLimit)
                bigSnake = true;
            Backward(d) = x;
            if (!odd && fmin <= d && d <= fmax && x <= Forward(d))
                return {x, y, true, true};
        }

        if (minimal)
            continue;

        // A diagonal that made much progress for its cost, ending in a long snake, is taken as if the
        // paths had met there.
        if (m_bHeuristic && c > kHeuristicMinimumCost && bigSnake)
        {
            int best = 0;
            PARTITION part{};
            for (int d = fmax; d >= fmin; d -= 2)
            {
                const int dd = std::abs(d - fmid);
                const int x = Forward(d);
                const int y = x - d;
                const int v = (x - xoff) + (y - yoff) - dd;
                if (v > kProgressFactor * (c + dd) && v > best && xoff + kSnakeLimit <= x && x < xlim &&
                    yoff + kSnakeLimit <= y && y < ylim)
                {
                    int k = 1;
                    while (Equal(x - k, y - k) && k < kSnakeLimit)
                        ++k;
                    if (k == kSnakeLimit && Equal(x - k, y - k))
                    {
                        best = v;
                        part = {x, y, true, false};
                    }
                }
            }
            if (best > 0)
                return part;
            for (int d = bmax; d >= bmin; d -= 2)
            {
                const int dd = std::abs(d - bmid);
                const int x = Backward(d);
                const int y = x - d;
                const int v = (xlim - x) + (ylim - y) - dd;
                if (v > kProgressFactor * (c + dd) && v > best && xoff < x && x <= xlim - kSnakeLimit &&
                    yoff < y && y <= ylim - kSnakeLimit)
                {
                    int k = 0;
                    while (k < kSnakeLimit && Equal(x + k, y + k))
                        ++k;
                    if (k == kSnakeLimit)
                    {
                        best = v;
                        part = {x, y, false, true};
                    }
                }
            }
            if (best > 0)
                return part;
        }

        // Gone well beyond the call of duty: stop at the better of the furthest points reached.
        if (c >= m_nTooExpensive)
        {
            long long fxybest = -1;
            int fxbest = 0;
            for (int d = fmax; d >= fmin; d -= 2)
            {
                int x = std::min(Forward(d), xlim);
                int y = x - d;
                if (ylim < y)
                {
                    x = ylim + d;
                    y = ylim;
                }
                if (fxybest < static_cast<long long>(x) + y)
                {
                    fxybest = static_cast<long long>(x) + y;
                    fxbest = x;
                }
            }
            long long bxybest = LLONG_MAX;
            int bxbest = 0;
            for (int d = bmax; d >= bmin; d -= 2)
            {
                int x = std::max(xoff, Backward(d));
                int y = x - d;
                if (y < yoff)
                {
                    x = yoff + d;
                    y = yoff;
                }
                if (static_cast<long long>(x) + y < bxybest)
                {
                    bxybest = static_cast<long long>(x) + y;
                    bxbest = x;
                }
            }
            if ((static_cast<long long>(xlim) + ylim) - bxybest < fxybest - (static_cast<long long>(xoff) + yoff))
                return {fxbest, static_cast<int>(fxybest - fxbest), true, false};
            return {bxbest, static_cast<int>(bxybest - bxbest), false, true};
        }
    }
}
