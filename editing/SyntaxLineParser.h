#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One coloured run of a line: it starts at `position` (bytes) and lasts to the next run.
struct SSyntaxBlock
{
    int position = 0;
    int colorClass = 0;
    int backgroundClass = 2; // the parsers never give another
};

// What the text buffer needs of a syntax parser: split one line into runs, starting from the state
// ("cookie") the previous line ended with, and return the state the line ends with. The syntax
// parsers derive from it; the buffer never owns one.
class ISyntaxLineParser
{
public:
    virtual ~ISyntaxLineParser() = default;
    virtual std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                                    std::vector<SSyntaxBlock>* blocks) const = 0;
    // A parse that only needs to find comments (runs of class 11); by default the full parse.
    virtual std::uint32_t ParseLineComments(std::uint32_t cookie, std::string_view line,
                                            std::vector<SSyntaxBlock>* blocks) const
    {
        return ParseLine(cookie, line, blocks);
    }
    // The code page of sources of this syntax, -1 for none.
    virtual int GetSourceEncoding() const { return -1; }
};
