// Typed attributes of the settings file beyond text, integers and bools: doubles, the play
// mode and the explorer's sort order stored by name, and equalizer bands.
#pragma once

#include <string>

#include "app/equalizer_band.h"
#include "foundation/xml_node.h"

// Play modes: 0 "SingleOnce", 1 "SingleRepeat", 2 "PlaylistOnce", 3 "PlaylistRepeat",
// 4 "PlaylistShuffle". Names compare exactly; false when no row matches.
bool play_mode_to_name(int value, std::string& name);
bool play_mode_from_name(const std::string& name, int& value);

// Sort orders of the file explorer: 0 "NONE", 1 "NAME", 2 "DATE", 3 "SIZE", 4 "NAME_DESC",
// 5 "DATE_DESC", 6 "SIZE_DESC".
bool sort_order_to_name(int value, std::string& name);
bool sort_order_from_name(const std::string& name, int& value);

// Six decimals ("1.000000") with a point, whatever the host's locale.
bool write_attribute_double(const os::XmlNode& node, const std::u16string& name, double value);
// False (value unchanged) when the attribute is missing or does not start with a finite
// number.
bool read_attribute_double(const os::XmlNode& node, const std::u16string& name, double& value);

// By name; a value without a name is not written (false).
bool write_attribute_play_mode(const os::XmlNode& node, const std::u16string& name, int value);
bool write_attribute_sort_order(const os::XmlNode& node, const std::u16string& name, int value);
// False (value unchanged) when the attribute is missing or names no row.
bool read_attribute_play_mode(const os::XmlNode& node, const std::u16string& name, int& value);
bool read_attribute_sort_order(const os::XmlNode& node, const std::u16string& name, int& value);

// "Frequency", "Amplitude", "Width" and "Active" of the element; reading takes each one that
// can be read.
void write_equalizer_band(const os::XmlNode& node, const EqualizerBand& band);
void read_equalizer_band(const os::XmlNode& node, EqualizerBand& band);
