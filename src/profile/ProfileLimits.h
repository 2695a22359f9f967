#pragma once
// The most a profile text can sensibly hold, from the format itself: 29 rows
// and the times, each a list of counts of at most 11 characters. The readers
// stop at these limits instead of believing what a file claims, so reading
// never takes more memory than the largest real profile needs.
#include <cstddef>

namespace kel::limits {

// Lists of a profile text: the counts of 29 rows, and the times.
inline constexpr std::size_t kProfileLists = 30;
// njm keeps 16 bits: a list holds at most 32767 entries.
inline constexpr std::size_t kListEntries = 32767;
// "<c>-2147483648</c>" is 18 characters; with a line break and indentation
// an entry takes at most 24.
inline constexpr std::size_t kEntryCharacters = 24;
// The header elements, the row names and dwells and the texts.
inline constexpr std::size_t kHeaderCharacters = std::size_t{1} << 20;
inline constexpr std::size_t kHeaderElements = 1024;

// The longest profile text (about 23.5 MiB): a plain file, or a zip member
// inflated, beyond it holds no profile.
inline constexpr std::size_t kLargestText = kProfileLists * kListEntries * kEntryCharacters + kHeaderCharacters;
// The most elements and tokens (start tag, value, end tag) its tree takes.
inline constexpr std::size_t kMostElements = kProfileLists * kListEntries + kHeaderElements;
inline constexpr std::size_t kMostTokens = 3 * kMostElements;
// kel > Ions > Ion > Counts > c: no profile element lies deeper.
inline constexpr std::size_t kDeepestElement = 5;
// The longest list; the header and the rows hold far fewer.
inline constexpr std::size_t kMostChildren = kListEntries;
// The longest tag is "/DateOrigin" (11 characters); up to 14 a name still
// sits inside its element, so no name costs an allocation of its own.
inline constexpr std::size_t kLongestTag = 14;
// A zipped profile holds one member of at most kLargestText inflated bytes;
// deflate never makes text larger than that by more than this.
inline constexpr std::size_t kLargestZipFile = kLargestText + (kLargestText >> 10) + (std::size_t{64} << 10);

}  // namespace kel::limits
