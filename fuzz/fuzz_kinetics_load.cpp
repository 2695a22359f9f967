// Arbitrary bytes as a kinetics file: reading must never crash, hang or read
// out of bounds, and every compound it keeps must be displayable.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Messages.h"
#include "kinetics/Kbasetxt.h"

namespace {

class DiscardMessages : public kel::MessageSink {
public:
    void Show(std::string_view, std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static DiscardMessages sink;
    kel::SetMessageSink(&sink);
    kel::TKbase library;
    library.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int i = 0; i < library.Count(); ++i) {
        const kel::TKrecord& c = library.Compound(i);
        if (c.PrecursorCount < 1 || c.PrecursorCount > 15 || c.ProductCount < 1 || c.ProductCount > 15) __builtin_trap();
        int width = library.DescribeCompound(i);
        for (int row = 1; row < c.LineCount; ++row) library.DescribeRow(i, row, width);
    }
    library.CountMatches(0, 59);
    library.DropIncomplete();
    return 0;
}
