#pragma once

namespace platform {
class Profile;
}

// The code page taken for text files without a byte-order mark. Kept with the text editor settings;
// UTF-8 (65001) by default. Bytes of such files are copied straight when it is 65001 and converted
// to UTF-8 otherwise; saving converts back.
inline constexpr const char* kDefaultCodePageSection = "Components\\TextEditor\\Settings";
inline constexpr const char* kDefaultCodePageEntry = "DefaultCodePage";
inline constexpr int kDefaultCodePageDefault = 65001;

int GetDefaultCodePageSetting();
// A code page that cannot be converted is refused (false) and the setting stays.
bool SetDefaultCodePageSetting(int codePage);
// Reads the setting; a missing or unusable value gives 65001.
void LoadDefaultCodePageSetting(const platform::Profile& profile);
bool SaveDefaultCodePageSetting(platform::Profile& profile);
