#pragma once

#include <vector>

// Moves every run of changed lines to a canonical place: as far down as lines of the same class
// allow, merging with runs it meets, unless a place where its end faces a change on the other side
// exists, which is then preferred so that the changes of both sides line up.
//
// `changed[side]` holds one flag per line with one sentinel 0 before the first and after the last
// line (index 0 and size - 1); `classes[side]` the lines' classes.
void SlideChanges(std::vector<char> (&changed)[2], const std::vector<int> (&classes)[2]);
