#include "synth/LegacyWriter.h"

#include <cstring>
#include <fstream>

#include "common/Errors.h"
#include "profile/LegacyFormat.h"

namespace kel::synth {

namespace {

class Image {
public:
    Image() : bytes_(legacy::kFileSize, 0) {}
    void U16(std::size_t at, std::uint16_t v) {
        bytes_[at] = static_cast<std::uint8_t>(v);
        bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void I32(std::size_t at, std::int32_t v) {
        auto u = static_cast<std::uint32_t>(v);
        U16(at, static_cast<std::uint16_t>(u));
        U16(at + 2, static_cast<std::uint16_t>(u >> 16));
    }
    void R48(std::size_t at, const Real48& r) {
        std::memcpy(&bytes_[at], r.ToBytes().data(), legacy::kReal48Size);
    }
    void F64(std::size_t at, double v) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i) bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    void ShortString(std::size_t at, const std::string& text, std::size_t capacity) {
        std::size_t n = std::min(text.size(), capacity);
        bytes_[at] = static_cast<std::uint8_t>(n);
        std::memcpy(&bytes_[at + 1], text.data(), n);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> EncodeLegacy(const TKel& kel) {
    using namespace legacy;
    Image img;
    img.U16(0, kSignature);
    img.U16(kNimOffset, static_cast<std::uint16_t>(kel.nim));
    img.U16(kNjmOffset, static_cast<std::uint16_t>(kel.njm));
    for (int r = 0; r < kRows; ++r) {
        auto row = static_cast<std::size_t>(r);
        img.U16(kDamOffset + 2 * row, kel.Dam[row]);
        img.U16(kCntmOffset + 2 * row, kel.Cntm[row]);
        for (int s = 0; s < kSlots; ++s) img.I32(CountOffset(r, s), kel.Counts[row][static_cast<std::size_t>(s)]);
        img.ShortString(kNamesOffset + kNameSize * row, kel.Name[row], kNameLength);
    }
    img.U16(kImOffset, static_cast<std::uint16_t>(kel.im));
    img.U16(kJmOffset, static_cast<std::uint16_t>(kel.jm));
    for (int s = 0; s < kSlots; ++s)
        img.I32(kTimesOffset + 4 * static_cast<std::size_t>(s), kel.Times[static_cast<std::size_t>(s)]);
    const Real48* reals[] = {&kel.p,  &kel.fc, &kel.f1, &kel.Tg, &kel.Aft, &kel.lr,
                             &kel.f4, &kel.f5, &kel.f6, &kel.f7, &kel.f8};
    for (std::size_t i = 0; i < 11; ++i) img.R48(kSecondSection + kReal48Size * i, *reals[i]);
    img.F64(kDateOriginOffset, kel.DateOrigin);
    img.ShortString(kSystemIdOffset, kel.SystemId, kTextLength);
    img.ShortString(kFourthSection, kel.ion, kTextLength);
    img.ShortString(kFourthSection + kTextSize, kel.reactant, kTextLength);
    img.ShortString(kFourthSection + 2 * kTextSize, kel.comment, kTextLength);
    return img.Take();
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw EFileError("Cannot write \"" + path + "\"");
}

void WriteLegacyFile(const std::string& path, const TKel& kel, std::size_t size) {
    auto bytes = EncodeLegacy(kel);
    if (size != 0 && size < bytes.size()) bytes.resize(size);
    WriteBytes(path, bytes);
}

}  // namespace kel::synth
