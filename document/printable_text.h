#pragma once

#include <string>
#include <string_view>

namespace pq {

// Text from a file or a server made safe to show on a terminal: control
// characters (C0, DEL and C1) and bytes that are no UTF-8 become \xNN
// escapes; everything else is kept.
std::string printableText(std::string_view text);

} // namespace pq
