#include "GbkText.h"
#include "Utf8Character.h"

#include <iconv.h>

#include <cerrno>

namespace kelvane {
namespace {

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
    if (isAscii(input) || !converter.valid()) return input;

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
