#include "GbkText.h"

#include <iconv.h>

#include <cerrno>

namespace kelvane {
namespace {

std::string convert(const std::string& input, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return input;

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
            // Invalid or cut-off sequence: keep a marker and go on after the bad byte.
            output.push_back('?');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return output;
}

}  // namespace

std::string gbkToUtf8(const std::string& gbk) { return convert(gbk, "UTF-8", "GBK"); }
std::string utf8ToGbk(const std::string& utf8) { return convert(utf8, "GBK", "UTF-8"); }

}  // namespace kelvane
