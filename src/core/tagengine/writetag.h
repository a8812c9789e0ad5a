#pragma once

#include "tagengine/tagdata.h"

#include <cstdint>
#include <string>

// The writer: turns WriterInput into an ID3v2.4 tag at the start of a file.
namespace writetag {

// oldTagSize is the tag size the last read of fileName found.
void WriteTag(const tag::WriterInput& input, uint32_t oldTagSize, const std::string& fileName);

} // namespace writetag
