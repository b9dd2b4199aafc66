#pragma once

#include "editing/syntax/SyntaxParser.h"
#include "filesystem/FilterSettings.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One entry of the "&Syntax Type" menu: a command and its text; a separator has command 0.
struct SSyntaxMenuItem
{
    int command = 0;
    std::string text;

    friend bool operator==(const SSyntaxMenuItem&, const SSyntaxMenuItem&) = default;
};

// The application-wide set of syntax parsers, one of each syntax, in the order of the syntax menu
// (the plain-text parser first).
class CSyntaxParserFactory
{
public:
    // The "&None" item of the syntax menu, which selects the plain-text parser.
    static constexpr int kNoneCommand = 36800;

    CSyntaxParserFactory();
    ~CSyntaxParserFactory();
    CSyntaxParserFactory(const CSyntaxParserFactory&) = delete;
    CSyntaxParserFactory& operator=(const CSyntaxParserFactory&) = delete;

    // Creates the parsers (again, when called twice); returns their number.
    int CreateParsers();
    int GetParserCount() const { return static_cast<int>(m_aParsers.size()); }
    // Null when out of range.
    const CSyntaxParser* GetParser(int index) const;
    int IndexOfParser(const CSyntaxParser* parser) const;
    const CSyntaxParser* FindParserByType(int type) const;
    // The extension is trimmed of blanks and of a leading "."; the first parser with an item of its
    // extension list that matches it as a wildcard pattern is the answer, else the plain-text parser.
    const CSyntaxParser* FindParserForExtension(std::string_view extension) const;
    // The parser for a file name or path by its extension.
    const CSyntaxParser* FindParserForFile(std::string_view path) const;
    // File-dialog filter: `pattern` defaults to "%Name Files (%Exts)|%Exts"; with `withAll` the
    // entry of all supported types comes first and "All Files (*.*)|*.*||" last.
    std::string GetFileDialogFilter(const char* pattern, bool withAll) const;
    // The syntax menu after its first item "&None": a separator, then one item per parser after the
    // first with command `firstCommand` + index.
    std::vector<SSyntaxMenuItem> BuildSyntaxMenu(int firstCommand) const;
    // Name and comma-separated extensions of each syntax with extensions, in the factory's order,
    // for the file filter presets.
    std::vector<TEXT_TYPE_EXTENSIONS> GetTextTypeExtensions() const;

private:
    std::vector<std::unique_ptr<CSyntaxParser>> m_aParsers;
};
