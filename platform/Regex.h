#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A regular expression compiled once with the C library's engine and searched many times.
// The syntax is chosen per expression: the line filters use the classic syntax ("\(", "\|", "+" and
// "?" as operators, literal "{"), find in files the extended one.
class CRegex
{
public:
    enum class Syntax
    {
        Classic,
        Extended,
    };

    CRegex();
    ~CRegex();
    CRegex(CRegex&&) noexcept;
    CRegex& operator=(CRegex&&) noexcept;

    // False with the engine's message in `error` when the pattern is not valid; the expression is
    // then empty and matches nothing.
    bool Compile(std::string_view pattern, Syntax syntax, std::string* error = nullptr, bool ignoreCase = false);
    bool IsCompiled() const { return m_pBuffer != nullptr; }
    // True when the expression matches anywhere in `text` ("^" and "$" at its ends).
    bool Search(std::string_view text) const;

private:
    struct Buffer;
    std::unique_ptr<Buffer> m_pBuffer;
};

} // namespace platform
