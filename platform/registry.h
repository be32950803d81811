#pragma once
// The current user's registry hive: keys with typed values (REG_SZ,
// REG_DWORD), kept in one file, $XDG_CONFIG_HOME/Velor/registry.reg
// (~/.config when XDG_CONFIG_HOME is unset). Every write replaces the file
// atomically; a file that cannot be read or parsed counts as empty.

#include <string>

#include "platform/win_types.h"

struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;

extern const HKEY HKEY_CURRENT_USER;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// All return ERROR_SUCCESS or a Win32 error code (ERROR_FILE_NOT_FOUND for
// a missing key or value, ERROR_MORE_DATA for a buffer that is too small).
LONG RegOpenKeyExA(HKEY parent, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Creates the key and every missing key above it.
LONG RegCreateKeyExA(HKEY parent, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                     REGSAM access, void* security, HKEY* result, DWORD* disposition);
// With `data` null only the type and size are reported. A REG_SZ size
// counts the terminating NUL.
LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);
LONG RegSetValueExA(HKEY key, const char* valueName, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
LONG RegDeleteValueA(HKEY key, const char* valueName);
LONG RegCloseKey(HKEY key);

// Where the hive is kept (for tests and diagnostics).
std::string RegistryFilePath();
