// A lack of memory, told as one, whatever part of the program ran out.
#include "MemoryFailure.h"

#include "NameQuoting.h"

#include <new>
#include <system_error>

namespace quillomatic::MemoryFailure {

bool Is(const std::exception& error) noexcept {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return true;
    }
    const auto* system = dynamic_cast<const std::system_error*>(&error);
    return system != nullptr && (system->code() == std::errc::resource_unavailable_try_again ||
                                 system->code() == std::errc::not_enough_memory);
}

std::string Message(const std::string& page) {
    return "not enough memory to convert " + (page.empty() ? "the pages" : NameQuoting::Quoted(page));
}

std::string Describe(const std::exception& error, const std::string& page) {
    // A ComponentError's what() is its description.
    return Is(error) ? Message(page) : error.what();
}

} // namespace quillomatic::MemoryFailure
