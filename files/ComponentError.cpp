// The one error type of the conversion engine and its file services.
#include "ComponentError.h"

#include <utility>

namespace quillomatic {

ComponentError::ComponentError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description), m_Number(number), m_Source(std::move(source)),
      m_Description(std::move(description)) {}

} // namespace quillomatic
