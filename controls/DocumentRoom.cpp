// Room in memory made sure of before a text box's document takes text.
#include "DocumentRoom.h"

#include <cstdlib>
#include <new>

namespace quillomatic::DocumentRoom {
namespace {

// Room each line of the document takes beside its characters: its block and
// the block's data, with the tables they are kept in grown by doubling.
constexpr std::size_t kBytesPerLine = 256;

} // namespace

void Ensure(qsizetype characters, qsizetype lines) {
    // The document's text, two bytes a character, grows by doubling and so
    // may ask for twice what it will hold.
    const auto bytes =
        static_cast<std::size_t>(characters) * 4 + static_cast<std::size_t>(lines) * kBytesPerLine;
    // Called through a volatile pointer, so the compiler keeps the allocation.
    static void* (*volatile allocate)(std::size_t) = std::malloc;
    void* room = allocate(bytes);
    if (room == nullptr) {
        throw std::bad_alloc();
    }
    std::free(room);
}

void EnsureFor(QStringView text) {
    Ensure(text.size(), text.count(QLatin1Char('\n')));
}

} // namespace quillomatic::DocumentRoom
