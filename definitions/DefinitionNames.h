#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The names under which methods, options and rules appear in comparison files, on command lines
// and in listings.
struct DEFINITION_BIT_NAME
{
    std::uint32_t m_dwBit;
    std::string_view m_strFileName; // comparison-file attribute
    std::string_view m_strShortWord; // abbreviated command-line word
    std::string_view m_strLongWord;  // long command-line word
};

// Methods in comparison-file order; rules in the order generated command lines list them.
std::span<const DEFINITION_BIT_NAME> MethodNames();
std::span<const DEFINITION_BIT_NAME> RuleNames();
std::span<const DEFINITION_BIT_NAME> OptionNames();

// The comparison-file names of the bits set in `bits`, in table order.
std::vector<std::string> NamesOfBits(std::span<const DEFINITION_BIT_NAME> table, std::uint32_t bits);

// "folder", "project", "text", "binary", or "" for another type.
std::string_view TypeWord(int type);
