#pragma once

#include <string>
#include <string_view>

namespace ptk::platform {

// Text in memory is UTF-8. Text from or to the register travels in the OEM code page 866; the
// settings files and the windows' own texts use Windows-1251. Characters a page lacks become '?'.
std::string utf8ToCp1251(std::string_view utf8);
std::string cp1251ToUtf8(std::string_view bytes);
std::string utf8ToCp866(std::string_view utf8);
std::string cp866ToUtf8(std::string_view bytes);

}  // namespace ptk::platform
