// A conversion's script written to a file as it is made.
#include "ScriptStream.h"

#include "TextStream.h"

namespace quillomatic {
namespace {

// Each of the two blocks stays in the processor's cache while it is filled.
constexpr std::size_t kBlockSize = std::size_t(1) << 20;

} // namespace

ScriptStream::ScriptStream(TextStream& output)
    : ScriptSink(kBlockSize, [&output](std::string_view block) { output.WriteBytes(block); }) {}

} // namespace quillomatic
