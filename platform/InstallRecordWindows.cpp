// The installation record in the registry: the key HKEY_CURRENT_USER\Software\Zelvane\Quarto
// with the values "Path" (a string) and "SubVersion" (a DWORD).
#include "InstallRecord.h"

#include "common/WideText.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace quarto {

namespace {

const wchar_t* const RecordKey = L"Software\\Zelvane\\Quarto";

// A registry key closed when it goes.
class TKey {
public:
    TKey() = default;
    ~TKey() {
        if (FKey)
            RegCloseKey(FKey);
    }
    TKey(const TKey&) = delete;
    TKey& operator=(const TKey&) = delete;
    HKEY* Out() { return &FKey; }
    HKEY Get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

// A value as stored: its type and bytes; nothing when the key has no such value.
struct TValue {
    DWORD Type = REG_NONE;
    std::vector<unsigned char> Bytes;
};

std::optional<TValue> ReadValue(HKEY key, const wchar_t* name) {
    TValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.Type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between the calls: it is asked again with the size it has then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        value.Bytes.resize(size + sizeof(wchar_t));
        DWORD got = static_cast<DWORD>(value.Bytes.size());
        const LONG status =
            RegQueryValueExW(key, name, nullptr, &value.Type, value.Bytes.data(), &got);
        if (status == ERROR_SUCCESS) {
            value.Bytes.resize(got);
            return value;
        }
        if (status != ERROR_MORE_DATA)
            break;
        size = got;
    }
    return std::nullopt;
}

// A string value without the terminating NULs it is stored with.
std::wstring WideStringOf(const TValue& value) {
    std::wstring text(value.Bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), value.Bytes.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::optional<std::uint64_t> NumberOf(const TValue& value) {
    if (value.Type == REG_DWORD && value.Bytes.size() >= sizeof(DWORD)) {
        DWORD n = 0;
        std::memcpy(&n, value.Bytes.data(), sizeof n);
        return n;
    }
    if (value.Type == REG_QWORD && value.Bytes.size() >= sizeof(std::uint64_t)) {
        std::uint64_t n = 0;
        std::memcpy(&n, value.Bytes.data(), sizeof n);
        return n;
    }
    return std::nullopt;
}

// The "Path" value as text: a string as it is, a number in decimal, anything else empty.
std::string TextOf(const TValue& value) {
    if (value.Type == REG_SZ || value.Type == REG_EXPAND_SZ)
        return Utf8OfWide(WideStringOf(value));
    if (value.Type == REG_DWORD)
        if (const auto n = NumberOf(value))
            return std::to_string(static_cast<std::int32_t>(*n));
    if (value.Type == REG_QWORD)
        if (const auto n = NumberOf(value))
            return std::to_string(static_cast<std::int64_t>(*n));
    return {};
}

// Decimal digits with an optional sign, blanks around them allowed, within int's range.
std::optional<int> ParseInt(std::wstring_view text) {
    const auto blank = [](wchar_t c) {
        return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t n = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        n = n * 10 + (c - L'0');
        if (n > std::int64_t(INT32_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(n);
}

// The "SubVersion" value as a number: a DWORD (or QWORD within int's range) as it is, a
// string holding a decimal integer read; anything else 0.
int SubVersionOf(const TValue& value) {
    if (value.Type == REG_DWORD)
        return static_cast<int>(static_cast<std::int32_t>(NumberOf(value).value_or(0)));
    if (value.Type == REG_QWORD) {
        const auto n = static_cast<std::int64_t>(NumberOf(value).value_or(0));
        return n >= INT32_MIN && n <= INT32_MAX ? static_cast<int>(n) : 0;
    }
    if (value.Type == REG_SZ || value.Type == REG_EXPAND_SZ)
        return ParseInt(WideStringOf(value)).value_or(0);
    return 0;
}

class TRegistryRecord : public TInstallRecord {
public:
    // The record exists when the key holds either value (a key without values counts as
    // none). A missing value reads as its default; a "Path" written empty stays empty.
    std::optional<TInstallRecordValues> Read(const std::string& defaultPath) override {
        TKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RecordKey, 0, KEY_QUERY_VALUE, key.Out()) !=
            ERROR_SUCCESS)
            return std::nullopt;
        const std::optional<TValue> path = ReadValue(key.Get(), L"Path");
        const std::optional<TValue> subVersion = ReadValue(key.Get(), L"SubVersion");
        if (!path && !subVersion)
            return std::nullopt;
        TInstallRecordValues values;
        values.Path = path ? TextOf(*path) : defaultPath;
        values.SubVersion = subVersion ? SubVersionOf(*subVersion) : 0;
        return values;
    }
    bool Write(const TInstallRecordValues& values) override {
        TKey key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, RecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, key.Out(), nullptr) != ERROR_SUCCESS)
            return false;
        const std::wstring path = WideOf(values.Path);
        const DWORD pathBytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
        const DWORD subVersion = static_cast<DWORD>(values.SubVersion);
        return RegSetValueExW(key.Get(), L"Path", 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(path.c_str()),
                              pathBytes) == ERROR_SUCCESS &&
               RegSetValueExW(key.Get(), L"SubVersion", 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&subVersion),
                              sizeof subVersion) == ERROR_SUCCESS;
    }
    // The key itself goes with everything in it, not only its values; "Zelvane" stays.
    void Remove() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, RecordKey);
        RegDeleteKeyW(HKEY_CURRENT_USER, RecordKey);
    }
};

} // namespace

std::unique_ptr<TInstallRecord> MakeInstallRecord() {
    return std::make_unique<TRegistryRecord>();
}

} // namespace quarto
