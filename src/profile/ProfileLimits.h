#pragma once
// The most a profile text can sensibly hold, from the format itself: 29 rows
// and the times, each a list of counts of at most 11 characters. The readers
// stop at these limits instead of believing what a file claims, so reading
// never takes more memory than the largest real profile needs.
#include <cstddef>

namespace kel::limits {

// Lists of a profile text: the counts of 29 rows, and the times.
inline constexpr std::size_t kProfileLists = 30;
// njm keeps 16 bits (32767 slots), but a file written with a wider point
// count lists more entries, of which the reader takes the first njm; lists
// of up to eight times the slots a profile holds are admitted.
inline constexpr std::size_t kListEntries = std::size_t{8} << 15;
// "<c>-2147483648</c>" is 18 characters; with a line break and indentation
// an entry takes at most 24.
inline constexpr std::size_t kEntryCharacters = 24;
// The header elements, the row names and dwells and the texts.
inline constexpr std::size_t kHeaderCharacters = std::size_t{1} << 20;
inline constexpr std::size_t kHeaderElements = 1024;

// The longest profile text (181 MiB): a plain file, or a zip member
// inflated, beyond it holds no profile.
inline constexpr std::size_t kLargestText = kProfileLists * kListEntries * kEntryCharacters + kHeaderCharacters;
// The most elements and tokens (start tag, value, end tag) its tree takes.
inline constexpr std::size_t kMostElements = kProfileLists * kListEntries + kHeaderElements;
inline constexpr std::size_t kMostTokens = 3 * kMostElements;
// A zipped profile holds one member of at most kLargestText inflated bytes;
// deflate never makes text larger than that by more than this.
inline constexpr std::size_t kLargestZipFile = kLargestText + (kLargestText >> 10) + (std::size_t{64} << 10);

}  // namespace kel::limits
