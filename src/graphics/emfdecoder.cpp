// Enhanced metafiles through libemf2svg, drawn with Qt Svg.
#include "graphics/decoders.h"

#include <cstdlib>
#include <emf2svg.h>
#include <memory>

namespace graphics {

QImage decodeEmf(const QByteArray& bytes) {
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    size_t length = 0;
    // libemf2svg takes a writable pointer but only reads the records.
    QByteArray data = bytes;
    const int ok = emf2svg(data.data(), size_t(data.size()), &out, &length, &options);
    // It hands back what it wrote so far also when it fails.
    const std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
    if (!ok || !out || length == 0) throw DecodeError("the records are damaged");
    return renderSvg(QByteArray(out, qsizetype(length)));
}

} // namespace graphics
