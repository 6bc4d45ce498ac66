// The text form of a skin source: XML that a person edits and reviews.
//
//   <skin compatibility="Sonbrix_500" devices="P">
//     <screens> <screen width="240" height="320"/> </screens>
//     <pictures> <picture name="main"/> </pictures>          base names, without extension
//     <fonts> <font description="14 1 0 0 Tahoma"/> </fonts>
//     <form name="Main">                                     variant-of="Main" on a size variant
//       <point name="Size" x="240" y="268"/>
//       <auto name="btnOk" kind="Auto.Button"/>
//       <control name="btnPlay">
//         <integer name="Left" value="4"/>                   decimal, or 0x hexadecimal
//         <string name="Text" value="PLAY"/>
//         <color name="TextColor" value="#FF8000"/>           #RRGGBB or #RRGGBBAA
//         <picture name="Normal" image="main" outer="0 0 20 20" inner="4 4 16 16" stretch="1"/>
//         <font name="Font" description="14 1 0 0 Tahoma"/>
//       </control>
//     </form>
//     <kind name="Auto.Button"> ...properties... </kind>
//   </skin>
//
// A picture property without "outer" stands for the whole picture; without "inner" it has
// no frame borders. Pictures and fonts may also be named by their place in the list
// (index="0"), as a dump does when two list entries are equal.
#pragma once

#include <string>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

// Refuses malformed XML, unknown elements (property types), missing or malformed
// attributes, numbers out of range (points beyond +-32767) and unknown pictures or fonts.
bool read_skin_source(const std::string& xml, SkinSource& source, Diagnostics& diagnostics);

// The source as XML; reading it back gives the same source.
std::string write_skin_source(const SkinSource& source);

}  // namespace skin_compiler
