#include "GbkText.h"
#include "Utf8Character.h"

#include <windows.h>

#include <algorithm>

namespace kelvane {
namespace {

constexpr UINT kGbkCodePage = 936;

// `size` bytes in `codePage` as UTF-16; empty when they are not a valid sequence.
std::wstring toWide(UINT codePage, const char* text, int size) {
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, size, wide.data(), length);
    return wide;
}

// Appends `wide` in `codePage`; false, appending nothing, when a character has no exact form
// there (no best-fit look-alikes: an unrepresentable character becomes '?', as on Linux).
bool appendFromWide(UINT codePage, const std::wstring& wide, std::string& out) {
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* defaultFlag = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, defaultFlag);
    if (length <= 0 || usedDefault) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(length));
    WideCharToMultiByte(codePage, flags, wide.data(), size, &out[at], length, nullptr, nullptr);
    return true;
}

bool appendConverted(UINT from, UINT to, const char* text, std::size_t size, std::string& out) {
    const std::wstring wide = toWide(from, text, static_cast<int>(size));
    return !wide.empty() && appendFromWide(to, wide, out);
}

// The whole text in one call; when some of it does not convert, character by character with
// one '?' for each that fails: a UTF-8 character, or a GBK lead byte that starts no valid pair.
std::string convert(const std::string& input, UINT from, UINT to) {
    std::string output;
    if (isAscii(input)) return input;
    if (appendConverted(from, to, input.data(), input.size(), output)) return output;
    output.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
    std::size_t i = 0;
    while (i < input.size()) {
        const std::size_t left = input.size() - i;
        if (bytes[i] < 0x80) {
            output.push_back(static_cast<char>(bytes[i++]));
            continue;
        }
        const std::size_t length =
            from == CP_UTF8 ? utf8CharacterLength(bytes + i, left) : std::min<std::size_t>(2, left);
        if (appendConverted(from, to, input.data() + i, length, output)) {
            i += length;
        } else {
            output.push_back('?');
            i += from == CP_UTF8 ? length : 1;
        }
    }
    return output;
}

}  // namespace

std::string gbkToUtf8(const std::string& gbk) { return convert(gbk, kGbkCodePage, CP_UTF8); }

std::string utf8ToGbk(const std::string& utf8) { return convert(utf8, CP_UTF8, kGbkCodePage); }

}  // namespace kelvane
