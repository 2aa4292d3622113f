// Loading ButtonPos.xml, the list of the keyboard's programmable keys.
#pragma once

#include <string_view>

#include "xml/ButtonPosTable.h"

// The process-wide table: empty strings and zeros until LoadButtonPositions fills it
// at start-up; record i gives the key code of default key assignment i.
extern ButtonPosTable g_buttonPosTable;

// Fills g_buttonPosTable from the file. A file that cannot be read or is not
// well-formed fills nothing; records beyond the file's key elements keep their
// contents, and key elements after the 108th are ignored.
void LoadButtonPositions(std::u16string_view path);
void LoadButtonPositions(std::u16string_view path, ButtonPosTable& table);

// "left,top,right,bottom" as the file writes a rectangle.
CRectValue ParseRect(std::u16string_view text);
