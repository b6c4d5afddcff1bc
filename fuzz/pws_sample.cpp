// The sample reader on arbitrary bytes: it must never crash, read outside
// the input or allocate what a corrupt length claims; what it accepts must
// survive a write and a second read unchanged.
#include "main_window/sample_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<sample_file::Texts> texts = sample_file::parse(bytes);
    if (!texts)
        return 0;
    if (texts->data.size() + texts->customizing.size() > static_cast<qsizetype>(size))
        std::abort();
    const std::optional<QByteArray> written = sample_file::encode(texts->data, texts->customizing);
    if (!written || sample_file::parse(*written) != texts)
        std::abort();
    return 0;
}
