#include "tagengine/v22.h"

#include "tagengine/framereader.h"

namespace v22 {

void ReadV22Frames(tag::ReadContext& ctx) {
    tag::walkFrames(ctx);
}

} // namespace v22
