#include "zip/ZipCodec.h"

#include <zlib.h>

#include <algorithm>
#include <new>

#include "common/TextExcerpt.h"

namespace kel::zipcodec {

namespace {

// A claimed size is inflated in steps: the first what the data can
// plausibly hold, the rest doubling up to the largest step.
constexpr std::size_t kFirstInflateStep = std::size_t{256} << 10;
constexpr std::size_t kLargestInflateStep = std::size_t{256} << 20;
constexpr std::size_t kPlausibleRatio = 8;

}  // namespace

void Damaged(const std::string& what) { throw EZipFileError("Damaged archive: " + what); }

std::string Quoted(const std::string& name) { return "\"" + MessageExcerpt(name) + "\""; }

std::string Inflate(const TLocalFile& file) {
    const std::size_t expected = file.UncompressedSize;
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
    struct End {
        z_stream& z;
        ~End() { inflateEnd(&z); }
    } end{z};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.CompressedData.data()));
    z.avail_in = static_cast<uInt>(file.CompressedData.size());

    // The output grows only as the data delivers it, so a small member that
    // claims gigabytes is refused after inflating what it really holds.
    // The first step is what the data can plausibly hold (profile texts
    // shrink about fourfold); the rest doubles.
    std::string out;
    std::size_t produced = 0;
    int rc = Z_OK;
    out.resize(std::min(expected, kFirstInflateStep + kPlausibleRatio * file.CompressedData.size()));
    while (produced < expected) {
        if (produced == out.size()) {
            std::size_t step = std::clamp(out.size(), kFirstInflateStep, kLargestInflateStep);
            out.resize(out.size() + std::min(step, expected - out.size()));
        }
        z.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        z.avail_out = static_cast<uInt>(out.size() - produced);
        rc = inflate(&z, Z_NO_FLUSH);
        produced = out.size() - z.avail_out;
        if (rc == Z_STREAM_END) break;
        if (rc == Z_MEM_ERROR) throw std::bad_alloc();
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break;  // the data ran out
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            Damaged("the data of " + Quoted(file.FileName) + " cannot be inflated (" +
                    (z.msg ? z.msg : "zlib error " + std::to_string(rc)) + ")");
    }
    if (produced < expected)
        Damaged(Quoted(file.FileName) + " inflates to " + std::to_string(produced) + " bytes, fewer than its recorded " +
                std::to_string(expected));
    if (rc != Z_STREAM_END) {
        // One more byte would mean the recorded size cut the member short.
        unsigned char probe = 0;
        z.next_out = &probe;
        z.avail_out = 1;
        inflate(&z, Z_NO_FLUSH);
        if (z.avail_out == 0)
            Damaged(Quoted(file.FileName) + " inflates to more bytes than its recorded " + std::to_string(expected));
    }
    out.resize(produced);
    return out;
}

std::string Deflate(std::string_view data) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
    struct End {
        z_stream& z;
        ~End() { deflateEnd(&z); }
    } end{z};
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&z, Z_FINISH);
    if (rc != Z_STREAM_END) throw EZipFileError("Compression failed (zlib error " + std::to_string(rc) + ")");
    // A zip member holds the raw deflate stream: no zlib header, no Adler-32.
    return out.substr(2, z.total_out - 6);
}

}  // namespace kel::zipcodec
