// Descriptors 0, 1 and 2, settled before the program opens any file.
#pragma once

namespace quillomatic::StandardStreams {

// A program started with standard input, output or error closed (as by
// "2>&-") would hand that number to the next file it opens, and a message
// meant for standard error would end up in a script. So each of the three
// that is closed is opened on /dev/null, the wrong way round (standard input
// for writing, the others for reading) so that stray use fails, and
// remembered as closed. Call first thing in main, before any file is opened
// and any thread started. False when /dev/null cannot be opened.
[[nodiscard]] bool Occupy();

// Whether descriptor 0, 1 or 2 was closed when Occupy() looked.
[[nodiscard]] bool WasClosed(int descriptor);

} // namespace quillomatic::StandardStreams
