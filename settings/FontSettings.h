#pragma once
// A character format stored as one value per field that its mask covers, in
// a font key (the GeneralFont key for messages, the PrefixFont key for
// prefixes).

#include "platform/CharFormat.h"
#include "settings/SettingsKey.h"

// Fills `format` from `key`, or, when `source` is given, from that record
// without reading the key (a format shown before it is stored). A key
// without a stored mask gives, with `boldByDefault`, a bold format.
void ReadFontSetting(const CSettingsKey& key, CCharFormat& format, const CCharFormat* source = nullptr,
                     bool boldByDefault = false);
// Whether a policy sets the font (its mask, and with it the whole format).
bool FontSettingSetByPolicy(const CSettingsKey& key);
// Stores `format`, leaving no value that its mask does not cover. True when
// every write went through.
bool WriteFontSetting(CSettingsKey& key, const CCharFormat& format);
