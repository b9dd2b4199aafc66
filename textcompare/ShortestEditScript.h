#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Myers' O(ND) difference algorithm with the divide-and-conquer middle-snake search ("An O(ND)
// Difference Algorithm and Its Variations", 1986), with two cut-offs for long, very different inputs:
// a good diagonal that made much progress is taken as the split point, and a search that costs too
// much stops at the furthest point reached. Marks the elements not on the common subsequence.
class CShortestEditScript
{
public:
    // `x` and `y` are the class sequences; `xChanged`/`yChanged` get 1 at the indices (through
    // `xIndex`/`yIndex`) of elements off the common subsequence.
    // The search gives up at a cost of about the square root of the input size, but not below
    // `minimumTooExpensive`.
    CShortestEditScript(const std::vector<int>& x, const std::vector<int>& y, bool heuristic,
                        int minimumTooExpensive = 256);

    void Run(std::vector<char>& xChanged, const std::vector<int>& xIndex, std::vector<char>& yChanged,
             const std::vector<int>& yIndex);

private:
    struct PARTITION
    {
        int xmid;
        int ymid;
        bool loMinimal;
        bool hiMinimal;
    };

    void CompareRange(int xoff, int xlim, int yoff, int ylim, bool minimal);
    PARTITION FindMiddle(int xoff, int xlim, int yoff, int ylim, bool minimal);
    bool Equal(int xi, int yi) const { return m_pX[xi] == m_pY[yi]; }

    // The sequences with one free slot before and after, where the search puts sentinels that end
    // its snakes without bounds checks.
    std::vector<int> m_xPadded;
    std::vector<int> m_yPadded;
    int* m_pX;
    int* m_pY;
    int m_nXSize;
    int m_nYSize;
    bool m_bHeuristic;
    int m_nTooExpensive;
    int m_nOffset;
    // Furthest x reached on each diagonal; 32 bits keep both arrays small enough for the caches.
    std::unique_ptr<std::int32_t[]> m_forward;
    std::unique_ptr<std::int32_t[]> m_backward;
    std::vector<char>* m_pXChanged = nullptr;
    std::vector<char>* m_pYChanged = nullptr;
    const std::vector<int>* m_pXIndex = nullptr;
    const std::vector<int>* m_pYIndex = nullptr;
};
