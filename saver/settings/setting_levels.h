// The registry's three places for a setting: an administrator's policy and
// machine default under HKEY_LOCAL_MACHINE, and the user's own value under
// HKEY_CURRENT_USER, each under Software\<registry root>\<app name>\Settings
// (the policy with Policies\ after Software\).
#pragma once
#include "settings/settings_table.h"

// One setting as ResolveSetting makes it from what the three places hold. A
// value counts only as a REG_DWORD of four bytes; anything else, or a key
// that cannot be read, is as if it were missing. Nothing is created.
ResolvedSetting ReadResolvedSetting(const char* registryRoot, const char* appName, SettingId which);
