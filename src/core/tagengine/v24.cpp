#include "tagengine/v24.h"

#include "tagengine/framereader.h"

namespace v24 {

void ReadV24Frames(tag::ReadContext& ctx) {
    tag::walkFrames(ctx);
}

} // namespace v24
