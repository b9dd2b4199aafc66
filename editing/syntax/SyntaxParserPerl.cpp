#include "editing/syntax/SyntaxParserPerl.h"

namespace {

// Set 1: 221 words, compared in any case.
constexpr std::string_view kSet1[] = {
    "q", "qq", "qw", "qx", "m", "s", "y", "tr", "if", "sub", "return", "while", "for", "elsif", "foreach",
    "else", "unless", "eq", "not", "and", "or", "ne", "until", "abs", "accept", "alarm", "atan2", "bind",
    "binmode", "bless", "caller", "chdir", "chmod", "chomp", "chop", "chown", "chr", "chroot", "close",
    "closedir", "connect", "cos", "crypt", "dbmclose", "dbmopen", "defined", "delete", "die", "do", "dump",
    "each", "eof", "eval", "exec", "exists", "exit", "exp", "fcntl", "fileno", "flock", "fork", "formline",
    "getc", "getlogin", "getpeername", "getpgrp", "getppid", "getpriority", "getpwnam", "getgrname",
    "gethostbyname", "getnetbyname", "getprotobyname", "getpwuid", "getgrgid", "getservbyname",
    "gethostbyaddr", "getnetbyaddr", "getprotobynumber", "getservbyport", "getpwent", "getgrent",
    "gethostent", "getnetent", "getprotoent", "getservent", "setpwent", "setgrent", "sethostent",
    "setnetent", "setprotoent", "setservent", "endpwent", "endgrent", "endhostent", "endnetent",
    "endprotoent", "endservent", "getsockname", "getsockopt", "glob", "gmtime", "goto", "grep", "hex",
    "import", "index", "int", "ioctl", "join", "keys", "kill", "last", "lc", "lcfirst", "length", "link",
    "listen", "local", "localtime", "log", "lstat", "map", "mkdir", "msgctl", "msgget", "msgsnd", "msgrcv",
    "my", "next", "no", "oct", "open", "opendir", "ord", "pack", "pipe", "pop", "pos", "print", "printf",
    "push", "quotemeta", "rand", "read", "readdir", "readlink", "recv", "redo", "ref", "rename", "require",
    "reset", "reverse", "rewinddir", "rindex", "rmdir", "scalar", "seek", "seekdir", "select", "semctl",
    "semget", "semop", "send", "setpgrp", "setpriority", "setsockopt", "shift", "shmctl", "sgmget",
    "shmread", "shmwrite", "shutdown", "sin", "sleep", "socket", "socketpair", "sort", "splice", "split",
    "sprintf", "sqrt", "srand", "stat", "study", "substr", "symlink", "syscall", "sysread", "system",
    "syswrite", "tell", "telldir", "tie", "time", "times", "truncate", "uc", "ucfirst", "umask", "undef",
    "unlink", "unpack", "untie", "unshift", "use", "utime", "values", "vec", "wait", "waitpid", "wantarray",
    "warn", "write", "x", "continue", "package", "bootstrap", "getgrnam", "tan",
};

constexpr SKeywordSet kKeywordSets[] = {
    {kSet1, SYNTAX_KEYWORD, true},
};

} // namespace

CSyntaxParserPerl::CSyntaxParserPerl() : CSyntaxParserHashScheme(CSyntaxParserHashScheme::SRules{})
{
    SetDefinition(16, "Perl", "pl", 0x110, "", "", "#");
    SetKeywordSets(kKeywordSets);
}
