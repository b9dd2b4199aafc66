#pragma once

#include "editing/SyntaxLineParser.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace syntaxtest {

// The non-empty runs of a parsed line as "{class:text}" pieces, the way a view draws them.
inline std::string Runs(std::string_view line, const std::vector<SSyntaxBlock>& blocks)
{
    std::string out;
    for (std::size_t k = 0; k < blocks.size(); ++k)
    {
        const auto start = static_cast<std::size_t>(blocks[k].position);
        const std::size_t end =
            k + 1 < blocks.size() ? static_cast<std::size_t>(blocks[k + 1].position) : line.size();
        if (end <= start || start >= line.size())
            continue;
        out += "{" + std::to_string(blocks[k].colorClass) + ":" + std::string(line.substr(start, end - start)) + "}";
    }
    return out;
}

struct SParsed
{
    std::string runs;
    std::uint32_t cookie = 0;
};

// Parses the lines one after the other, each from the cookie the previous one returned.
inline std::vector<SParsed> ParseLines(const ISyntaxLineParser& parser, const std::vector<std::string>& lines,
                                       std::uint32_t cookie = 0)
{
    std::vector<SParsed> parsed;
    for (const std::string& line : lines)
    {
        std::vector<SSyntaxBlock> blocks;
        cookie = parser.ParseLine(cookie, line, &blocks);
        parsed.push_back({Runs(line, blocks), cookie});
    }
    return parsed;
}

// The class of the run that holds byte `position`, -1 when none does.
inline int ClassAt(const std::vector<SSyntaxBlock>& blocks, int position)
{
    int cls = -1;
    for (const SSyntaxBlock& block : blocks)
        if (block.position <= position)
            cls = block.colorClass;
    return cls;
}

} // namespace syntaxtest
