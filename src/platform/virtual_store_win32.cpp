#include "platform/virtual_store.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/wide_win32.h"

namespace {

TokenState ProcessToken() {
    TokenState state{false, 1};
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return state;
    DWORD virtualized = 0;
    DWORD size = 0;
    if (GetTokenInformation(token, TokenVirtualizationEnabled, &virtualized, sizeof virtualized,
                            &size)) {
        state.virtualized = virtualized != 0;
    }
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size)) {
        state.elevationType = static_cast<int>(type);
    }
    CloseHandle(token);
    return state;
}

std::string LocalAppData() {
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (length == 0) return std::string();
    std::wstring value(length, L'\0');
    value.resize(GetEnvironmentVariableW(L"LOCALAPPDATA", &value[0], length));
    return Utf8(value);
}

}  // namespace

std::string HiddenVirtualStore(const std::string& installDir) {
    const bool onDrive = installDir.size() > 2 && installDir[1] == ':' &&
                         (installDir[2] == '\\' || installDir[2] == '/');
    if (!onDrive || !MissesVirtualStore(ProcessToken())) return std::string();
    const std::string localAppData = LocalAppData();
    if (localAppData.empty()) return std::string();
    // The folder as the player would look for it, without installDir's added separator.
    std::string twin = localAppData + "\\VirtualStore" + installDir.substr(2);
    while (twin.back() == '\\') twin.pop_back();
    return IsDirectory(twin) ? twin : std::string();
}
