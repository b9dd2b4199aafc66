#include "textcompare/ChangeSlider.h"

void SlideChanges(std::vector<char> (&changed)[2], const std::vector<int> (&classes)[2])
{
    for (int side = 0; side < 2; ++side)
    {
        // Line k of a side is at flag index k + 1; the sentinels sit at 0 and at the end.
        char* const mine = changed[side].data() + 1;
        const char* const other = changed[1 - side].data() + 1;
        const int* const equivs = classes[side].data();
        const long end = static_cast<long>(classes[side].size());
        long i = 0;
        long j = 0;
        for (;;)
        {
            // Find the next run of changes, keeping the corresponding place in the other side.
            while (i < end && !mine[i])
            {
                while (other[j++])
                    continue;
                ++i;
            }
            if (i == end)
                break;
            long start = i;
            while (mine[++i])
                continue;
            while (other[j])
                ++j;

            long runLength = 0;
            long corresponding = end;
            do
            {
                runLength = i - start;
                // Up while the line before the run equals its last line, merging with earlier runs.
                while (start > 0 && equivs[start - 1] == equivs[i - 1])
                {
                    mine[--start] = 1;
                    mine[--i] = 0;
                    while (mine[start - 1])
                        --start;
                    while (other[--j])
                        continue;
                }
                // The end of the run, at the last place where it faces a change in the other side.
                corresponding = other[j - 1] ? i : end;
                // Down while the run's first line equals the line after it, merging with later runs.
                while (i != end && equivs[start] == equivs[i])
                {
                    mine[start++] = 0;
                    mine[i++] = 1;
                    while (mine[i])
                        ++i;
                    while (other[++j])
                        corresponding = i;
                }
            } while (runLength != i - start);

            // Back up to where the run lines up with a change on the other side, if there is such.
            while (corresponding < i)
            {
                mine[--start] = 1;
                mine[--i] = 0;
                while (other[--j])
                    continue;
            }
        }
    }
}
