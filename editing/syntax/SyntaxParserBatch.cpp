#include "editing/syntax/SyntaxParserBatch.h"

namespace {

// Set 1: 177 words, compared in any case.
constexpr std::string_view kSet1[] = {
    ".AND.", ".OR.", ".XOR.", "?", "ACTIVATE", "ALIAS", "ASSOC", "ATTRIB", "BATCOMP", "BDEBUGGER", "BEEP",
    "BREAK", "BY", "CALL", "CANCEL", "CASE", "CD", "CDD", "CHCP", "CHDIR", "CLS", "COLOR", "COPY", "CTTY",
    "DATE", "DEFAULT", "DEFINED", "DEL", "DELAY", "DESCRIBE", "DETACH", "DIR", "DIREXIST", "DIRHISTORY",
    "DIRS", "DO", "DRAWBOX", "DRAWHLINE", "DRAWVLINE", "ECHO", "ECHOERR", "ECHOS", "ECHOSERR", "ELSE",
    "ELSEIFF", "ENDDO", "ENDIFF", "ENDLOCAL", "ENDSWITCH", "ENDTEXT", "EQ", "EQL", "EQU", "ERASE", "ERROR",
    "ERRORLEVEL", "ERRORMSG", "ESET", "EVENTLOG", "EXCEPT", "EXIST", "EXIT", "FFIND", "FOR", "FOREVER",
    "FREE", "FTYPE", "FUNCTION", "GE", "GEQ", "GLOBAL", "GOSUB", "GOTO", "GT", "GTR", "HEAD", "HELP",
    "HISTORY", "IF", "IFF", "IFTP", "IN", "INKEY", "INPUT", "ISALIAS", "ISAPP", "ISDIR", "ISFUNCTION",
    "ISINTERNAL", "ISLABEL", "ISWINDOW", "ITERATE", "KEYBD", "KEYS", "KEYSTACK", "LE", "LEAVE", "LEQ", "LH",
    "LIST", "LOADBTM", "LOADHIGH", "LOCK", "LOG", "LSS", "LT", "MD", "MEMORY", "MKDIR", "MKLNK", "MOVE",
    "MSGBOX", "NE", "NEQ", "NOT", "ON", "OPTION", "PATH", "PAUSE", "PDIR", "PLAYAVI", "PLAYSOUND", "POPD",
    "PRINT", "PROMPT", "PUSHD", "QUERYBOX", "QUIT", "RD", "REBOOT", "RECYCLE", "REM", "REN", "RENAME",
    "RETURN", "RMDIR", "SCREEN", "SCRPUT", "SELECT", "SENDMAIL", "SET", "SETDOS", "SETLOCAL", "SHIFT",
    "SHORTCUT", "SHRALIAS", "SMPP", "SNPP", "START", "SWAPPING", "SWITCH", "TAIL", "TASKEND", "TASKLIST",
    "TEE", "TEXT", "THEN", "TIME", "TIMER", "TITLE", "TOUCH", "TREE", "TRUENAME", "TYPE", "UNALIAS",
    "UNFUNCTION", "UNLOCK", "UNSET", "UNTIL", "VER", "VERIFY", "VOL", "VSCRPUT", "WHICH", "WHILE", "WINDOW",
    "Y",
};

// Set 2, (a word also matches an entry followed by ".COM" or ".EXE"): 66 words, compared in any case.
constexpr std::string_view kSet2[] = {
    "APPEND", "ATTRIB", "BUSETUP", "CHKDSK", "CHOICE", "COMMAND", "DEBUG", "DEFRAG", "DELOLDOS", "DELTREE",
    "DISKCOMP", "DISKCOPY", "DOSKEY", "DRVSPACE", "EDIT", "EMM386", "EXPAND", "FASTHELP", "FASTOPEN", "FC",
    "FDISK", "FIND", "FORMAT", "GRAPHICS", "HELP", "INTERLNK", "INTERSVR", "KEYB", "LABEL", "LOADFIX", "MEM",
    "MEMMAKER", "MODE", "MORE", "MOUSE", "MOVE", "MSAV", "MSBACKUP", "MSCDEX", "MSD", "MWAV", "MWAVTSR",
    "MWBACKUP", "MWUNDEL", "NLSFUNC", "POWER", "PRINT", "QBASIC", "REPLACE", "RESTORE", "SCANDISK", "SETUP",
    "SETVER", "SHARE", "SIZER", "SMARTDRV", "SMARTMON", "SORT", "SUBST", "SYS", "TREE", "UNDELETE",
    "UNFORMAT", "UNINSTAL", "VSAFE", "XCOPY",
};

// Set 3: 268 words, compared in any case.
constexpr std::string_view kSet3[] = {
    "@ABS", "@AGEDATE", "@ALIAS", "@ALTNAME", "@ASCII", "@ATTRIB", "@CAPS", "@CDROM", "@CEILING", "@CHAR",
    "@CLIP", "@CLIPW", "@COLOR", "@COMMA", "@CONSOLE", "@CONVERT", "@CRC32", "@DATE", "@DAY", "@DEC",
    "@DECIMAL", "@DESCRIPT", "@DEVICE", "@DIGITS", "@DIRSTACK", "@DISKFREE", "@DISKTOTAL", "@DISKUSED",
    "@DOSMEM", "@DOW", "@DOWF", "@DOWI", "@DOY", "@EMS", "@ENUMSERVERS", "@ENUMSHARES", "@ERRTEXT", "@EVAL",
    "@EXEC", "@EXECSTR", "@EXETYPE", "@EXPAND", "@EXT", "@EXTENDED", "@FIELD", "@FIELDS", "@FILEAGE",
    "@FILECLOSE", "@FILEDATE", "@FILENAME", "@FILEOPEN", "@FILEREAD", "@FILES", "@FILESEEK", "@FILESEEKL",
    "@FILESIZE", "@FILETIME", "@FILEWRITE", "@FILEWRITEB", "@FINDCLOSE", "@FINDFIRST", "@FINDNEXT", "@FLOOR",
    "@FORMAT", "@FORMATN", "@FSTYPE", "@FULL", "@FUNCTION", "@GETDIR", "@GETFILE", "@GETFOLDER", "@HISTORY",
    "@IDOW", "@IDOWF", "@IF", "@INC", "@INDEX", "@INIREAD", "@INIWRITE", "@INSERT", "@INSTR", "@INT",
    "@IPADDRESS", "@IPNAME", "@ISALNUM", "@ISALPHA", "@ISASCII", "@ISCNTRL", "@ISDIGIT", "@ISPRINT",
    "@ISPUNCT", "@ISSPACE", "@ISXDIGIT", "@LABEL", "@LEFT", "@LEN", "@LFN", "@LINE", "@LINES", "@LOWER",
    "@LPT", "@LTRIM", "@MAKEAGE", "@MAKEDATE", "@MAKETIME", "@MASTER", "@MAX", "@MD5", "@MIN", "@MONTH",
    "@NAME", "@NUMERIC", "@OPTION", "@PATH", "@RANDOM", "@READSCR", "@READY", "@REGCREATE", "@REGDELKEY",
    "@REGEXIST", "@REGQUERY", "@REGSET", "@REGSETENV", "@REMOTE", "@REMOVABLE", "@REPEAT", "@REPLACE",
    "@REXX", "@RIGHT", "@RTRIM", "@SEARCH", "@SELECT", "@SFN", "@STRIP", "@SUBST", "@SUBSTR", "@TIME",
    "@TIMER", "@TRIM", "@TRUENAME", "@UNC", "@UNICODE", "@UNIQUE", "@UPPER", "@VERINFO", "@WATTRIB", "@WILD",
    "@WINCLASS", "@WINEXENAME", "@WININFO", "@WINMEMORY", "@WINMETRICS", "@WINSTATE", "@WINSYSTEM", "@WORD",
    "@WORDS", "@XMS", "@YEAR", "_", "_4VER", "_ACSTATUS", "_ALIAS", "_ANSI", "_APMAC", "_APMBATT",
    "_APMLIFE", "_BATCH", "_BATCHLINE", "_BATCHNAME", "_BATCHTYPE", "_BATTERY", "_BATTERYLIFE",
    "_BATTERYPERCENT", "_BG", "_BOOT", "_BUILD", "_CAPSLOCK", "_CHILDPID", "_CI", "_CMDPROC", "_CO",
    "_CODEPAGE", "_COLUMN", "_COLUMNS", "_COUNTRY", "_CPU", "_CPUUSAGE", "_CTRL", "_CWD", "_CWDS", "_CWP",
    "_CWPS", "_DATE", "_DAY", "_DETACHPID", "_DISK", "_DNAME", "_DOS", "_DOSVER", "_DOW", "_DOWF", "_DOWI",
    "_DOY", "_DPMI", "_DV", "_ECHO", "_ENV", "_FG", "_FTPERROR", "_HLOGFILE", "_HOST", "_HOUR", "_HWPROFILE",
    "_IDOW", "_IDOWF", "_IMONTH", "_IMONTHF", "_ININAME", "_IP", "_ISODATE", "_KBHIT", "_KSTACK", "_LALT",
    "_LASTDISK", "_LCTRL", "_LOGFILE", "_LSHIFT", "_MINUTE", "_MONITOR", "_MONTH", "_MONTHF", "_MOUSE",
    "_NDP", "_NUMLOCK", "_PID", "_PIPE", "_PPID", "_RALT", "_RCTRL", "_ROW", "_ROWS", "_RSHIFT",
    "_SCROLLLOCK", "_SECOND", "_SELECTED", "_SHELL", "_SHIFT", "_SHRALIAS", "_STARTPATH", "_STARTPID",
    "_SWAPPING", "_SYSERR", "_TIME", "_TRANSIENT", "_UNICODE", "_VIDEO", "_WIN", "_WINDIR", "_WINFGWINDOW",
    "_WINNAME", "_WINSYSDIR", "_WINTICKS", "_WINTITLE", "_WINUSER", "_WINVER", "_XPIXELS", "_YEAR",
    "_YPIXELS",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
    {kSet2, SYNTAX_KEYWORD2, true},
    {kSet3, SYNTAX_KEYWORD3, true},
};

} // namespace

CSyntaxParserBatch::CSyntaxParserBatch()
{
    SetDefinition(3, "Batch", "bat,btm,cmd", 0x11, "", "", "rem ");
    SetKeywordSets(kKeywordSets);
}

namespace {

constexpr std::uint32_t kTextBlock = 0x4;
constexpr std::uint32_t kString = 0x8;
constexpr std::uint32_t kSingleString = 0x10;

bool IsBatchWordChar(unsigned char c)
{
    return CSyntaxParser::IsIdentChar(c) || c == '@' || c == '.';
}

bool StartsWithAnyCase(std::string_view word, std::string_view prefix)
{
    if (word.size() < prefix.size())
        return false;
    for (std::size_t k = 0; k < prefix.size(); ++k)
        if ((word[k] | 0x20) != (prefix[k] | 0x20))
            return false;
    return true;
}

bool EqualsAnyCase(std::string_view word, std::string_view other)
{
    return word.size() == other.size() && StartsWithAnyCase(word, other);
}

} // namespace

std::uint32_t CSyntaxParserBatch::ParseLine(std::uint32_t cookie, std::string_view line,
                                            std::vector<SSyntaxBlock>* blocks) const
{
    if (line.empty())
        return cookie & kTextBlock;
    SWalker w(*this, line, blocks);
    const int n = w.n;
    int first = 0;
    while (first < n && IsBlank(w.At(first)))
        ++first;
    int firstEnd = first;
    while (firstEnd < n && IsBatchWordChar(w.At(firstEnd)))
        ++firstEnd;
    const std::string_view firstWord = line.substr(static_cast<std::size_t>(first),
                                                   static_cast<std::size_t>(firstEnd - first));

    // The first word decides about comment lines, comment blocks and labels.
    if (cookie & kTextBlock)
    {
        w.Block(0, SYNTAX_COMMENT);
        if (!StartsWithAnyCase(firstWord, "ENDTEXT"))
            return kTextBlock;
        cookie &= ~kTextBlock;
        w.i = firstEnd; // the rest of the line is ordinary text
        w.RestartAfterCurrent();
        if (w.i >= n)
            return 0;
    }
    else
    {
        const bool rem = EqualsAnyCase(firstWord, "REM") && (firstEnd == n || IsBlank(w.At(firstEnd)));
        const bool text = StartsWithAnyCase(firstWord, "TEXT");
        const bool colon = first < n && w.At(first) == ':';
        if (rem || text || colon)
        {
            if (first > 0)
                w.Block(0, SYNTAX_OPERATOR);
            const unsigned char next = w.At(first + 1);
            const bool commentColon = colon && first + 1 < n && !IsIdentChar(next) && !IsBlank(next) && n - (first + 1) >= 2;
            w.Block(first, colon && !commentColon ? SYNTAX_PREPROCESSOR : SYNTAX_COMMENT);
            return text ? kTextBlock : 0;
        }
    }

    bool afterGoto = false;
    const auto classify = [&](int end) {
        const std::string_view word = w.Word(end);
        int cls = -1;
        if (afterGoto)
        {
            cls = SYNTAX_PREPROCESSOR;
            afterGoto = false;
        }
        else if (IsKeyword(0, word))
        {
            cls = SYNTAX_KEYWORD;
            afterGoto = EqualsAnyCase(word, "GOTO") || EqualsAnyCase(word, "GOSUB");
        }
        else if (IsKeyword(1, word) ||
                 (word.size() > 4 && (EqualsAnyCase(word.substr(word.size() - 4), ".COM") ||
                                      EqualsAnyCase(word.substr(word.size() - 4), ".EXE")) &&
                  IsKeyword(1, word.substr(0, word.size() - 4))))
            cls = SYNTAX_KEYWORD2;
        else if (IsKeyword(2, word))
            cls = SYNTAX_KEYWORD3;
        else if (IsNumber(word))
            cls = SYNTAX_NUMBER;
        if (cls >= 0)
            w.Block(w.identBegin, cls);
        w.RestartAtCurrent();
        w.identBegin = -1;
    };
    for (;; w.Advance())
    {
        if (w.redefine)
            w.StartPending((cookie & (kString | kSingleString)) ? SYNTAX_STRING : -1, true);
        if (w.i >= n)
            break;
        const unsigned char c = w.At(w.i);
        if (cookie & kString)
        {
            if (c == '"' && QuoteCloses(line, w.i))
            {
                cookie &= ~kString;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (cookie & kSingleString)
        {
            if (c == '\'' && QuoteCloses(line, w.i))
            {
                cookie &= ~kSingleString;
                w.RestartAfterCurrent();
            }
            continue;
        }
        if (w.identBegin >= 0 && !IsBatchWordChar(c))
            classify(w.i);
        if (c == '"')
        {
            w.Block(w.i, SYNTAX_STRING);
            cookie |= kString;
            continue;
        }
        if (c == '\'' && (w.i == 0 || !IsIdentChar(w.Prev())))
        {
            w.Block(w.i, SYNTAX_STRING);
            cookie |= kSingleString;
            continue;
        }
        if (blocks != nullptr && w.identBegin < 0 && IsBatchWordChar(c))
            w.identBegin = w.i;
    }
    if (w.identBegin >= 0)
        classify(n);
    return cookie & kTextBlock;
}
