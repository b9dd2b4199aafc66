#include "platform/RegistryHive.h"

#include <gtest/gtest.h>

#include <algorithm>

using platform::RegistryHive;
using platform::RegistryRoot;
using platform::RegistryValue;
using platform::RegistryValueType;

namespace platform {
// Readable failure messages for compared values.
void PrintTo(const RegistryValue& value, std::ostream* os)
{
    *os << "type " << static_cast<unsigned>(value.m_type) << " dword " << value.m_dwValue << " data \"";
    for (const char c : value.m_strData)
        *os << ((c >= 0x20 && c < 0x7f) ? std::string(1, c) : "\\x" + std::to_string(static_cast<unsigned char>(c)));
    *os << '"';
}
} // namespace platform

namespace {

RegistryHive ParseOk(std::string_view text)
{
    RegistryHive hive(RegistryRoot::CurrentUser);
    std::string error;
    EXPECT_TRUE(hive.Parse(text, error)) << error;
    return hive;
}

TEST(RegistryHiveTest, ReadsKeysAndEveryValueForm)
{
    const RegistryHive hive = ParseOk("Windows Registry Editor Version 5.00\r\n"
                                      "\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane]\r\n"
                                      "\"InstallDir\"=\"C:\\\\Program Files\\\\Q \\\"x\\\"\"\r\n"
                                      "@=\"default\"\r\n"
                                      "\r\n"
                                      "; a comment\r\n"
                                      "[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane\\Settings]\r\n"
                                      "\"MaxFiles\"=dword:0000000a\r\n"
                                      "\"Neg\"=dword:ffffffff\r\n"
                                      "\"Bin\"=hex:01,02,\\\r\n"
                                      "  ff\r\n"
                                      "\"Exp\"=hex(2):41,00,42,00,00,00\r\n");
    const std::string key = "Software\\Melkwen\\Quorvane";
    ASSERT_NE(hive.FindValue(key, "InstallDir"), nullptr);
    EXPECT_EQ(hive.FindValue(key, "InstallDir")->m_strData, "C:\\Program Files\\Q \"x\"");
    EXPECT_EQ(hive.FindValue(key, "")->m_strData, "default");
    EXPECT_EQ(hive.FindValue(key + "\\Settings", "MaxFiles")->m_dwValue, 10u);
    EXPECT_EQ(hive.FindValue(key + "\\Settings", "Neg")->m_dwValue, 0xFFFFFFFFu);
    EXPECT_EQ(hive.FindValue(key + "\\Settings", "Bin")->m_strData, std::string("\x01\x02\xff", 3));
    EXPECT_EQ(hive.FindValue(key + "\\Settings", "Exp")->m_type, RegistryValueType::ExpandString);
    EXPECT_EQ(hive.FindValue(key + "\\Settings", "Exp")->m_strData, "AB");
    // Names are found without regard to case.
    EXPECT_NE(hive.FindValue("SOFTWARE\\melkwen\\quorvane\\settings", "maxfiles"), nullptr);
}

TEST(RegistryHiveTest, ReadsUtf16ExportWithByteOrderMark)
{
    const std::string utf8 = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane]\r\n"
                             "\"Name\"=\"K\xC3\xB6ln \xE2\x82\xAC\"\r\n";
    std::string utf16 = "\xFF\xFE";
    // Every character above is below U+0800 or the euro sign; encode by hand.
    const std::u16string wide = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\Software\\Melkwen\\Quorvane]\r\n"
                                u"\"Name\"=\"K\u00F6ln \u20AC\"\r\n";
    for (const char16_t c : wide)
    {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const RegistryHive hive = ParseOk(utf16);
    ASSERT_NE(hive.FindValue("Software\\Melkwen\\Quorvane", "Name"), nullptr);
    EXPECT_EQ(hive.FindValue("Software\\Melkwen\\Quorvane", "Name")->m_strData, "K\xC3\xB6ln \xE2\x82\xAC");
}

struct BadHiveCase
{
    const char* m_pszName;
    const char* m_pszText;
};

void PrintTo(const BadHiveCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

class RegistryHiveBadInput : public ::testing::TestWithParam<BadHiveCase>
{
};

TEST_P(RegistryHiveBadInput, IsRejectedWithALineNumberAndLeavesTheHiveEmpty)
{
    RegistryHive hive(RegistryRoot::CurrentUser);
    hive.SetValue("A", "x", RegistryValue::FromDword(1));
    std::string error;
    EXPECT_FALSE(hive.Parse(GetParam().m_pszText, error));
    EXPECT_NE(error.find("line "), std::string::npos) << error;
    EXPECT_TRUE(hive.Empty());
}

const BadHiveCase kBadHives[] = {
    {"Empty", ""},
    {"Garbage", "\x7f" "ELF\x02\x01\x01"},
    {"NoHeader", "[HKEY_CURRENT_USER\\A]\n\"x\"=dword:1\n"},
    {"ValueBeforeKey", "REGEDIT4\n\"x\"=dword:1\n"},
    {"OtherRoot", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n"},
    {"RootPrefixOnly", "REGEDIT4\n[HKEY_CURRENT_USERX\\A]\n"},
    {"TruncatedString", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"abc"},
    {"TruncatedName", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x"},
    {"TruncatedKey", "REGEDIT4\n[HKEY_CURRENT_USER\\A"},
    {"DwordTooLong", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n"},
    {"DwordNotHex", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:12g4\n"},
    {"HexOddDigit", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:1,02\n"},
    {"HexTrailingComma", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\n"},
    {"UnknownData", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=qword:1\n"},
    {"MissingEquals", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\" dword:1\n"},
    {"TextAfterString", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\"b\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegistryHiveBadInput, ::testing::ValuesIn(kBadHives),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

struct RoundTripCase
{
    const char* m_pszName;
    RegistryValue m_value;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.m_pszName;
}

class RegistryHiveRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
};

TEST_P(RegistryHiveRoundTrip, WrittenValueReadsBackExactly)
{
    RegistryHive hive(RegistryRoot::CurrentUser);
    hive.SetValue("Settings", "Value \"quoted\" \\ name", GetParam().m_value);
    const std::string text = hive.Serialize();

    RegistryHive again(RegistryRoot::CurrentUser);
    std::string error;
    ASSERT_TRUE(again.Parse(text, error)) << error << "\n" << text;
    const RegistryValue* value = again.FindValue("Settings", "Value \"quoted\" \\ name");
    ASSERT_NE(value, nullptr) << text;
    EXPECT_EQ(*value, GetParam().m_value) << text;
    // One value is one line: nothing in the data may break the line structure.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
}

RegistryValue Bytes(RegistryValueType type, std::string data)
{
    RegistryValue v;
    v.m_type = type;
    v.m_strData = std::move(data);
    return v;
}

const RoundTripCase kRoundTrips[] = {
    {"PlainText", RegistryValue::FromString("/usr/lib/quorvane")},
    {"Empty", RegistryValue::FromString("")},
    {"QuotesAndBackslashes", RegistryValue::FromString("a\\\"b\\\\\"")},
    {"TrailingBackslash", RegistryValue::FromString("C:\\")},
    {"Newline", RegistryValue::FromString("line one\nline two\r\n")},
    {"InvalidUtf8", RegistryValue::FromString(std::string("caf\xE9 \xFF\xC3", 7))},
    {"TrailingNuls", RegistryValue::FromString(std::string("x\0\0", 3))},
    {"Emoji", RegistryValue::FromString("\xF0\x9F\x98\x80 smile")},
    {"Dword", RegistryValue::FromDword(0xDEADBEEF)},
    {"Binary", Bytes(RegistryValueType::Binary, std::string("\0\x01\xff", 3))},
    {"EmptyBinary", Bytes(RegistryValueType::Binary, "")},
    {"MultiString", Bytes(RegistryValueType::MultiString, std::string("a\0\0\0", 4))},
};

INSTANTIATE_TEST_SUITE_P(Cases, RegistryHiveRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(RegistryHiveTest, SubkeysAreListedOnceAndDeletedWithTheirChildren)
{
    RegistryHive hive(RegistryRoot::CurrentUser);
    hive.SetValue("A\\B\\C", "x", RegistryValue::FromDword(1));
    hive.CreateKey("A\\B2");
    hive.CreateKey("AB");
    EXPECT_EQ(hive.SubkeyNames("A"), (std::vector<std::string>{"B", "B2"}));
    EXPECT_EQ(hive.SubkeyNames(""), (std::vector<std::string>{"A", "AB"}));
    EXPECT_TRUE(hive.DeleteKey("a\\b"));
    EXPECT_FALSE(hive.KeyExists("A\\B\\C"));
    EXPECT_TRUE(hive.KeyExists("A\\B2"));
    EXPECT_TRUE(hive.KeyExists("AB"));
}

TEST(RegistryHiveTest, NamesKeepTheCaseTheyWereCreatedWith)
{
    RegistryHive hive(RegistryRoot::CurrentUser);
    hive.SetValue("Settings", "MaxFiles", RegistryValue::FromDword(1));
    hive.SetValue("SETTINGS", "MAXFILES", RegistryValue::FromDword(2));
    EXPECT_EQ(hive.ValueNames("settings"), (std::vector<std::string>{"MaxFiles"}));
    EXPECT_EQ(hive.FindValue("Settings", "MaxFiles")->m_dwValue, 2u);
    EXPECT_NE(hive.Serialize().find("[HKEY_CURRENT_USER\\Settings]\n\"MaxFiles\"=dword:00000002"), std::string::npos);
}

} // namespace
