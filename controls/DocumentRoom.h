// Room in memory made sure of before a text box's document takes text.
#pragma once

#include <QStringView>
#include <QtGlobal>

namespace quillomatic::DocumentRoom {

// Qt's text document does not check its own allocations: memory running out
// inside it ends the program. So before the document takes text, room for the
// most it will allocate for it is made sure of. Without that room these raise
// std::bad_alloc, with the document untouched.

// Room for what a document allocates to hold `characters` characters in
// `lines` lines.
void Ensure(qsizetype characters, qsizetype lines);
// Room for `text`, with LF line breaks.
void EnsureFor(QStringView text);

} // namespace quillomatic::DocumentRoom
