#include "editing/syntax/SyntaxParserIss.h"

namespace {

// Set 1: 201 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "program", "const", "type", "var", "begin", "end", "array", "set", "record", "string", "if", "then",
    "else", "while", "for", "to", "downto", "do", "with", "repeat", "until", "case", "of", "goto", "exit",
    "label", "procedure", "function", "nil", "file", "and", "or", "not", "xor", "div", "mod", "unit", "uses",
    "implementation", "interface", "external", "asm", "inline", "object", "constructor", "destructor",
    "virtual", "far", "assembler", "near", "inherited", "AdminPrivilegesRequired", "AfterInstall",
    "AllowCancelDuringInstall", "AllowNoIcons", "AllowRootDirectory", "AllowUNCPath", "AlwaysRestart",
    "AlwaysShowComponentsList", "AlwaysShowDirOnReadyPage", "AlwaysShowGroupOnReadyPage",
    "AlwaysUsePersonalGroup", "AppComments", "AppContact", "AppCopyright", "AppendDefaultDirName",
    "AppendDefaultGroupName", "AppId", "AppModifyPath", "AppMutex", "AppName", "AppPublisher",
    "AppPublisherURL", "AppReadmeFile", "AppSupportURL", "AppUpdatesURL", "AppVerName", "AppVersion",
    "Attribs", "BackColor", "BackColor2", "BackColorDirection", "BackSolid", "BeforeInstall",
    "ChangesAssociations", "ChangesEnvironment", "Check", "CodeFile", "Comment", "Components", "Compression",
    "CopyMode", "CreateAppDir", "CreateUninstallRegKey", "DefaultDirName", "DefaultGroupName",
    "DefaultUserInfoName", "DefaultUserInfoOrg", "DefaultUserInfoSerial", "Description", "DestDir",
    "DestName", "DirExistsWarning", "DisableDirPage", "DisableFinishedPage", "DisableProgramGroupPage",
    "DisableReadyMemo", "DisableReadyPage", "DisableStartupPrompt", "DiskClusterSize", "DiskSliceSize",
    "DiskSpaceMBLabel", "DiskSpanning", "DontMergeDuplicateFiles", "EnableDirDoesntExistWarning",
    "Encryption", "Excludes", "ExtraDiskSpaceRequired", "Filename", "Flags", "FlatComponentsList",
    "FontInstall", "GroupDescription", "HotKey", "IconFilename", "IconIndex", "InfoAfterFile",
    "InfoBeforeFile", "InternalCompressLevel", "Key", "LanguageDetectionMethod", "Languages", "LicenseFile",
    "MergeDuplicateFiles", "MessagesFile", "MinVersion", "Name", "OnlyBelowVersion", "OutputBaseFilename",
    "OutputManifestFile", "OutputDir", "Parameters", "Password", "Permissions", "PrivilegesRequired",
    "ReserveBytes", "RestartIfNeededByRun", "Root", "RunOnceId", "Section", "SetupIconFile",
    "ShowComponentSizes", "ShowLanguageDialog", "ShowTasksTreeLines", "SlicesPerDisk", "SolidCompression",
    "Source", "SourceDir", "StatusMsg", "Subkey", "Tasks", "TimeStampRounding", "TimeStampsInUTC",
    "TouchDate", "TouchTime", "Type", "Types", "UninstallDisplayIcon", "UninstallDisplayName",
    "UninstallFilesDir", "UninstallIconFile", "UninstallLogMode", "UninstallRestartComputer",
    "UninstallStyle", "Uninstallable", "UpdateUninstallLogAppName", "UsePreviousAppDir", "UsePreviousGroup",
    "UsePreviousTasks", "UsePreviousSetupType", "UsePreviousUserInfo", "UserInfoPage", "UseSetupLdr",
    "ValueData", "ValueName", "ValueType", "VersionInfoVersion", "VersionInfoCompany",
    "VersionInfoDescription", "VersionInfoTextVersion", "WindowResizable", "WindowShowCaption",
    "WindowStartMaximized", "WindowVisible", "WizardImageBackColor", "WizardImageFile", "WizardImageStretch",
    "WizardSmallImageBackColor", "WizardSmallImageFile", "WizardStyle", "WorkingDir",
};

// Set 2: 79 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "HKCC", "HKCR", "HKCU", "HKLM", "HKU", "alwaysoverwrite", "alwaysskipifsameorolder", "append", "binary",
    "classic", "closeonexit", "comparetimestamp", "confirmoverwrite", "createkeyifdoesntexist",
    "createonlyiffileexists", "createvalueifdoesntexist", "deleteafterinstall", "deletekey", "deletevalue",
    "dirifempty", "dontcloseonexit", "dontcopy", "dontcreatekey", "disablenouninstallwarning", "dword",
    "exclusive", "expandsz", "external", "files", "filesandordirs", "fixed", "fontisnttruetype",
    "ignoreversion", "iscustom", "isreadme", "modern", "multisz", "new", "noerror", "none", "normal",
    "nowait", "onlyifdestfileexists", "onlyifdoesntexist", "onlyifnewer", "overwrite", "overwritereadonly",
    "postinstall", "preservestringtype", "promptifolder", "regserver", "regtypelib", "restart",
    "restartreplace", "runhidden", "runmaximized", "runminimized", "sharedfile", "shellexec", "showcheckbox",
    "skipifnotsilent", "skipifsilent", "silent", "skipifdoesntexist", "skipifsourcedoesntexist",
    "sortfilesbyextension", "unchecked", "uninsalwaysuninstall", "uninsclearvalue", "uninsdeleteentry",
    "uninsdeletekey", "uninsdeletekeyifempty", "uninsdeletesection", "uninsdeletesectionifempty",
    "uninsdeletevalue", "uninsneveruninstall", "useapppaths", "verysilent", "waituntilidle",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
};

} // namespace

CSyntaxParserIss::CSyntaxParserIss() : CSyntaxParserPascalScheme(true)
{
    SetDefinition(10, "InnoSetup", "iss,isl", 0x30, "{", "}", ";");
    SetKeywordSets(kKeywordSets);
}
