#include "platform/Registry.h"

#include "platform/FileIo.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::size_t Index(RegistryRoot root)
{
    return static_cast<std::size_t>(root);
}

// Reads a whole file; 0 or errno (ENOENT when it does not exist).
int ReadWholeFile(const std::string& path, std::string& out)
{
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    char buffer[65536];
    for (;;)
    {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            const int error = errno;
            close(fd);
            return error;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return 0;
}

// Holds an exclusive advisory lock on "<hive>.lock" for the lifetime of the object.
class HiveLock
{
public:
    explicit HiveLock(const std::string& hivePath)
    {
        m_fd = open((hivePath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR)
            {
            }
    }
    ~HiveLock()
    {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    struct tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
    return buffer;
}

} // namespace

Registry::Registry(std::string directory) : m_strDirectory(std::move(directory))
{
    while (m_strDirectory.size() > 1 && m_strDirectory.back() == '/')
        m_strDirectory.pop_back();
}

Registry::~Registry()
{
    Flush();
}

std::string Registry::DefaultDirectory()
{
    if (const char* dir = std::getenv("QUORVANE_REGISTRY_DIR"); dir != nullptr && dir[0] != '\0')
        return dir;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::string(config) + "/Melkwen/Quorvane";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.config/Melkwen/Quorvane";
}

Registry& Registry::Default()
{
    static Registry registry(DefaultDirectory());
    return registry;
}

std::string Registry::HivePath(RegistryRoot root) const
{
    return m_strDirectory + "/" + RegistryRootName(root) + ".reg";
}

bool Registry::ReadFile(RegistryRoot root, RegistryHive& hive, bool locked)
{
    const std::string path = HivePath(root);
    std::string text;
    hive = RegistryHive(root);
    const int error = ReadWholeFile(path, text);
    if (error == ENOENT)
        return true;
    if (error != 0)
    {
        m_problems.push_back("The settings file " + path + " cannot be read (" + std::strerror(error) +
                             "); the defaults are used and the file is left as it is.");
        return false;
    }
    std::string why;
    if (hive.Parse(text, why))
        return true;
    if (!locked)
    {
        // Decide under the lock: another process may have just replaced the file.
        HiveLock lock(path);
        return ReadFile(root, hive, true);
    }
    const std::string aside = path + ".corrupt-" + TimeStamp();
    if (rename(path.c_str(), aside.c_str()) == 0)
        m_problems.push_back("The settings file " + path + " is damaged (" + why + "); it was kept as " + aside +
                             " and the defaults are used.");
    else
    {
        m_problems.push_back("The settings file " + path + " is damaged (" + why +
                             ") and could not be moved aside; the defaults are used and the file is left as it is.");
        return false;
    }
    return true;
}

Registry::HiveState& Registry::Loaded(RegistryRoot root)
{
    HiveState& state = m_hives[Index(root)];
    if (!state.m_bLoaded)
    {
        RegistryHive disk(root);
        state.m_bUnreadable = !ReadFile(root, disk, false);
        for (const Change& change : state.m_changes)
            Apply(disk, change);
        state.m_hive = std::move(disk);
        state.m_bLoaded = true;
    }
    return state;
}

void Registry::Apply(RegistryHive& hive, const Change& change)
{
    switch (change.m_kind)
    {
    case Change::Kind::CreateKey:
        hive.CreateKey(change.m_strKey);
        break;
    case Change::Kind::SetValue:
        hive.SetValue(change.m_strKey, change.m_strName, change.m_value);
        break;
    case Change::Kind::DeleteValue:
        hive.DeleteValue(change.m_strKey, change.m_strName);
        break;
    case Change::Kind::DeleteKey:
        hive.DeleteKey(change.m_strKey);
        break;
    }
}

void Registry::Record(RegistryRoot, HiveState& state, Change change)
{
    Apply(state.m_hive, change);
    state.m_changes.push_back(std::move(change));
}

bool Registry::KeyExists(RegistryRoot root, std::string_view key)
{
    std::lock_guard guard(m_mutex);
    return Loaded(root).m_hive.KeyExists(key);
}

bool Registry::CreateKey(RegistryRoot root, std::string_view key)
{
    if (!RegistryHive::IsValidKeyPath(key))
        return false;
    std::lock_guard guard(m_mutex);
    HiveState& state = Loaded(root);
    if (!state.m_hive.KeyExists(key))
        Record(root, state, {Change::Kind::CreateKey, std::string(key), {}, {}});
    return true;
}

std::optional<RegistryValue> Registry::GetValue(RegistryRoot root, std::string_view key, std::string_view name)
{
    std::lock_guard guard(m_mutex);
    if (const RegistryValue* value = Loaded(root).m_hive.FindValue(key, name))
        return *value;
    return std::nullopt;
}

std::optional<std::string> Registry::GetString(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto value = GetValue(root, key, name);
    if (!value || (value->m_type != RegistryValueType::String && value->m_type != RegistryValueType::ExpandString))
        return std::nullopt;
    return value->m_strData;
}

std::optional<std::uint32_t> Registry::GetDword(RegistryRoot root, std::string_view key, std::string_view name)
{
    const auto value = GetValue(root, key, name);
    if (!value || value->m_type != RegistryValueType::Dword)
        return std::nullopt;
    return value->m_dwValue;
}

bool Registry::SetValue(RegistryRoot root, std::string_view key, std::string_view name, const RegistryValue& value)
{
    if (!RegistryHive::IsValidKeyPath(key) || !RegistryHive::IsValidValueName(name))
        return false;
    std::lock_guard guard(m_mutex);
    HiveState& state = Loaded(root);
    const RegistryValue* old = state.m_hive.FindValue(key, name);
    if (old != nullptr && *old == value)
        return true;
    Record(root, state, {Change::Kind::SetValue, std::string(key), std::string(name), value});
    return true;
}

bool Registry::SetString(RegistryRoot root, std::string_view key, std::string_view name, std::string_view value)
{
    return SetValue(root, key, name, RegistryValue::FromString(std::string(value)));
}

bool Registry::SetDword(RegistryRoot root, std::string_view key, std::string_view name, std::uint32_t value)
{
    return SetValue(root, key, name, RegistryValue::FromDword(value));
}

bool Registry::DeleteValue(RegistryRoot root, std::string_view key, std::string_view name)
{
    std::lock_guard guard(m_mutex);
    HiveState& state = Loaded(root);
    if (state.m_hive.FindValue(key, name) == nullptr)
        return false;
    Record(root, state, {Change::Kind::DeleteValue, std::string(key), std::string(name), {}});
    return true;
}

bool Registry::DeleteKey(RegistryRoot root, std::string_view key)
{
    std::lock_guard guard(m_mutex);
    HiveState& state = Loaded(root);
    if (!state.m_hive.KeyExists(key))
        return false;
    Record(root, state, {Change::Kind::DeleteKey, std::string(key), {}, {}});
    return true;
}

std::vector<std::string> Registry::SubkeyNames(RegistryRoot root, std::string_view key)
{
    std::lock_guard guard(m_mutex);
    return Loaded(root).m_hive.SubkeyNames(key);
}

std::vector<std::string> Registry::ValueNames(RegistryRoot root, std::string_view key)
{
    std::lock_guard guard(m_mutex);
    return Loaded(root).m_hive.ValueNames(key);
}

bool Registry::FlushHive(RegistryRoot root, HiveState& state)
{
    const std::string path = HivePath(root);
    if (!MakeFolders(m_strDirectory, 0700))
    {
        m_problems.push_back("The settings folder " + m_strDirectory + " cannot be created (" +
                             std::strerror(errno) + "); the settings were not saved.");
        return false;
    }
    HiveLock lock(path);
    if (!lock.Held())
    {
        m_problems.push_back("The settings file " + path + " cannot be locked (" + std::strerror(errno) +
                             "); the settings were not saved.");
        return false;
    }
    RegistryHive merged(root);
    if (!ReadFile(root, merged, true))
        return false; // reported; never write over a file we could not read
    for (const Change& change : state.m_changes)
        Apply(merged, change);

    std::string temp = path + ".tmp-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
    {
        m_problems.push_back("The settings file " + path + " cannot be written (" + std::strerror(errno) + ").");
        return false;
    }
    const bool written = WriteAll(fd, merged.Serialize()) && fsync(fd) == 0;
    const int writeError = errno;
    close(fd);
    if (!written || rename(temp.c_str(), path.c_str()) != 0)
    {
        const int error = written ? errno : writeError;
        unlink(temp.c_str());
        m_problems.push_back("The settings file " + path + " cannot be written (" + std::strerror(error) +
                             "); the previous file is unchanged.");
        return false;
    }
    state.m_hive = std::move(merged);
    state.m_changes.clear();
    state.m_bUnreadable = false;
    return true;
}

bool Registry::Flush()
{
    std::lock_guard guard(m_mutex);
    bool ok = true;
    for (std::size_t i = 0; i < m_hives.size(); ++i)
    {
        HiveState& state = m_hives[i];
        if (state.m_changes.empty())
            continue;
        if (!FlushHive(static_cast<RegistryRoot>(i), state))
            ok = false;
    }
    return ok;
}

void Registry::Reload()
{
    std::lock_guard guard(m_mutex);
    for (HiveState& state : m_hives)
        state.m_bLoaded = false;
}

std::vector<std::string> Registry::TakeProblems()
{
    std::lock_guard guard(m_mutex);
    std::vector<std::string> problems;
    problems.swap(m_problems);
    return problems;
}

} // namespace platform
