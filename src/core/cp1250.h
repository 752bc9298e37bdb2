#pragma once
// Windows-1250 (Central European) text: the one codec between the program's
// UTF-8 text and the 8-bit bytes of the catalogue and of files other programs read.

#include <string>
#include <string_view>

namespace kmx::cp1250 {

// UTF-8 to Windows-1250 bytes. A character without a Windows-1250 form, and
// every malformed UTF-8 sequence, becomes "?".
std::string fromUtf8(std::string_view utf8);

// Windows-1250 bytes to UTF-8. The five byte values Windows-1250 leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control of the same code.
std::string toUtf8(std::string_view bytes);

// Upper and lower case of one Windows-1250 byte, Polish and other Central
// European letters included (ą↔Ą … ż↔Ż). Non-letters are returned unchanged.
unsigned char toUpper(unsigned char c);
unsigned char toLower(unsigned char c);

std::string upper(std::string_view bytes);
std::string lower(std::string_view bytes);

}  // namespace kmx::cp1250
