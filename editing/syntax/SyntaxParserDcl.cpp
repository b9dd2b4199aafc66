#include "editing/syntax/SyntaxParserDcl.h"

namespace {

// Set 1: 20 words, compared exactly.
constexpr std::string_view kSet1[] = {
    "boxed_column", "boxed_radio_column", "boxed_radio_row", "boxed_row", "button", "column",
    "concatenation", "dialog", "edit_box", "image", "list_box", "paragraph", "popup_list", "radio_button",
    "row", "slider", "spacer", "text_part", "text", "toggle",
};

// Set 2: 18 words, compared exactly.
constexpr std::string_view kSet2[] = {
    "spacer_0", "spacer_1", "default_button", "retirement_button", "ok_cancel_help_errtile",
    "ok_cancel_help_info", "ok_cancel", "ok_cancel_err", "ok_cancel_help", "ok_only", "ok_button",
    "cancel_button", "help_button", "info_button", "errtile", "image_button", "radio_column", "radio_row",
};

// Set 3: 31 words, compared exactly.
constexpr std::string_view kSet3[] = {
    "action", "alignment", "allow_accept", "aspect_ratio", "big_increment", "children_alignment",
    "children_fixed_height", "children_fixed_width", "edit_limit", "edit_width", "fixed_height",
    "fixed_width", "height", "initial_focus", "is_bold", "is_cancel", "is_default", "is_enabled",
    "is_tab_stop", "key", "label", "layout", "list", "max_value", "min_value", "mnemonic", "multiple_select",
    "small_increment", "tabs", "value", "width",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, false},
    {kSet2, SYNTAX_KEYWORD2, false},
    {kSet3, SYNTAX_KEYWORD3, false},
};

} // namespace

CSyntaxParserDcl::CSyntaxParserDcl() : CSyntaxParserCScheme(CSyntaxParserCScheme::SRules{.preprocessorChar = 0, .everyDot = true, .continuation = false, .functionNames = CSyntaxParserCScheme::FunctionNames::Dcl})
{
    SetDefinition(6, "DCL", "dcl,dcc", 0x50, "/*", "*/", "//");
    SetKeywordSets(kKeywordSets);
}
