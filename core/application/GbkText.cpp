#include "GbkText.h"

#include <iconv.h>

#include <cerrno>

namespace kelvane {
namespace {

// Length of the UTF-8 character starting at `p`: its lead byte and the continuation bytes
// that follow, up to what the lead byte announces; 1 for a stray byte. A damaged or
// unrepresentable character is thereby replaced by a single '?'.
size_t utf8CharacterLength(const unsigned char* p, size_t left) {
    size_t expected = 1;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) expected = 2;
    else if (p[0] >= 0xE0 && p[0] <= 0xEF) expected = 3;
    else if (p[0] >= 0xF0 && p[0] <= 0xF4) expected = 4;
    size_t length = 1;
    while (length < expected && length < left && (p[length] & 0xC0) == 0x80) ++length;
    return length;
}

// A conversion descriptor opened once per thread (a file converts thousands of short texts).
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

std::string convert(const std::string& input, const Converter& converter, bool fromUtf8) {
    // ASCII text is the same in both encodings.
    bool ascii = true;
    for (unsigned char c : input) ascii = ascii && c < 0x80;
    if (ascii || !converter.valid()) return input;

    iconv_t cd = converter.get();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    std::string output;
    output.reserve(input.size() * 3 / 2 + 8);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char chunk[1024];
    while (inLeft > 0) {
        char* out = chunk;
        size_t outLeft = sizeof chunk;
        size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(chunk, sizeof chunk - outLeft);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Invalid, unrepresentable or cut-off character: one marker, then go on after it.
            const size_t skip = fromUtf8 ? utf8CharacterLength(reinterpret_cast<unsigned char*>(in), inLeft) : 1;
            output.push_back('?');
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return output;
}

}  // namespace

std::string gbkToUtf8(const std::string& gbk) {
    thread_local const Converter converter("UTF-8", "GBK");
    return convert(gbk, converter, false);
}

std::string utf8ToGbk(const std::string& utf8) {
    thread_local const Converter converter("GBK", "UTF-8");
    return convert(utf8, converter, true);
}

}  // namespace kelvane
