#pragma once
// The chat history's background colour. "Lite" and "Dark" follow the
// system's window and button-face colours, also when the user changes them
// later; any other colour is stored as its decimal number.

#include "platform/SystemApi.h"

class CSettingsStore;

inline constexpr char kChatTextBackgroundValue[] = "ChatTextBackground";

ColorRef GetChatTextBackground(const CSettingsStore& store, CSystemApi& system);
bool ChatTextBackgroundSetByPolicy(const CSettingsStore& store);
bool SetChatTextBackground(CSettingsStore& store, CSystemApi& system, ColorRef color);
