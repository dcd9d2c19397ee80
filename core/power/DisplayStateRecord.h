#pragma once
// The record that comes with PBT_POWERSETTINGCHANGE: the setting's GUID (16 bytes),
// the length of its data (a 32-bit count), then the data. For the console display
// state the data is a 32-bit state: 0 off, 1 on, 2 dimmed.
#include <cstdint>
#include <optional>

namespace velquin {

inline constexpr uint32_t kPbtPowerSettingChange = 0x8013;

// GUID_CONSOLE_DISPLAY_STATE, 6FE69556-704A-47A0-8F24-C28D936FDA47, as it lies in
// memory (the first three fields little-endian).
inline constexpr unsigned char kConsoleDisplayStateGuid[16] = {0x56, 0x95, 0xe6, 0x6f, 0x4a, 0x70, 0xa0, 0x47,
                                                               0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47};

enum class DisplayState : uint32_t { Off = 0, On = 1, Dimmed = 2 };

// The display state that `record` reports. nullopt for no record, a record of
// another setting (nothing read past its GUID) or one whose stated data is shorter
// than a state (nothing read past its length).
std::optional<uint32_t> ReadDisplayState(const void* record);

}  // namespace velquin
