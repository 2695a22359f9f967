#pragma once
// Byte layout of the legacy profile file, shared by the reader and by the
// test-only writer that produces legacy files for tests and demo data.
#include <cstddef>
#include <cstdint>

namespace kel::legacy {

inline constexpr std::uint16_t kSignature = 0x324D;  // the bytes "M2"
inline constexpr int kRows = 29;
inline constexpr int kSlots = 201;
inline constexpr int kNameLength = 12;
inline constexpr int kTextLength = 20;

inline constexpr std::size_t kNimOffset = 6;
inline constexpr std::size_t kNjmOffset = 8;
inline constexpr std::size_t kDamOffset = 10;
inline constexpr std::size_t kCntmOffset = 68;
inline constexpr std::size_t kImOffset = 126;
inline constexpr std::size_t kJmOffset = 128;
inline constexpr std::size_t kCountsOffset = 130;
inline constexpr std::size_t kTimesOffset = 23446;
inline constexpr std::size_t kNamesOffset = 24250;
inline constexpr std::size_t kSecondSection = 24627;  // p, fc, f1
inline constexpr std::size_t kThirdSection = 24645;   // Tg .. SystemId
inline constexpr std::size_t kDateOriginOffset = 24693;
inline constexpr std::size_t kSystemIdOffset = 24701;
inline constexpr std::size_t kFourthSection = 24722;  // ion, reactant, comment
inline constexpr std::size_t kFileSize = 24785;

inline constexpr std::size_t kReal48Size = 6;
inline constexpr std::size_t kNameSize = 1 + kNameLength;
inline constexpr std::size_t kTextSize = 1 + kTextLength;

// Offset of Counts[row][slot].
constexpr std::size_t CountOffset(int row, int slot) {
    return kCountsOffset + 4 * (static_cast<std::size_t>(kSlots) * static_cast<std::size_t>(row) +
                                static_cast<std::size_t>(slot));
}

}  // namespace kel::legacy
