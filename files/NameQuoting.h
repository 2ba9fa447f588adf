// File names in messages, quoted so that no byte of a name can steer a terminal.
#pragma once

#include <string>
#include <string_view>

namespace quillomatic::NameQuoting {

// `name` in double quotes, as every message names a file ("index.html"),
// unless it holds a control character (a line break, an escape sequence that
// would set a terminal's title or clear it), a C1 control or a byte that is
// not UTF-8: then it is written the way GNU tools and shells write such a
// name, $'x\033[2Jy.html', which a shell reads back as the same bytes.
[[nodiscard]] std::string Quoted(std::string_view name);

// `name` as it is where it needs no quotes (a list of names in a log line),
// unless it holds such a character: then as Quoted() writes it.
[[nodiscard]] std::string Printable(std::string_view name);

} // namespace quillomatic::NameQuoting
