#include "tagengine/writetag.h"

#include "io/ioerror.h"

namespace writetag {

void WriteTag(const tag::WriterInput&, uint32_t, const std::string&) {
    throw io::TagError("Writing tags is not available yet");
}

} // namespace writetag
