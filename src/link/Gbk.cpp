#include "Gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tavolex {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input; an unconvertible sequence gives `replacement` (and skips one
    // input byte) when set, or ends the conversion with none.
    std::optional<std::string> convert(std::string_view input, std::optional<char> replacement) {
        if (!valid()) return std::nullopt;
        std::vector<char> in(input.begin(), input.end());
        char* inPtr = in.data();
        std::size_t inLeft = in.size();
        std::string out;
        char buffer[256];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            if (!replacement) return std::nullopt;
            out += *replacement;
            SkipCharacter(inPtr, inLeft);
        }
        return out;
    }

private:
    // Skips one UTF-8 character (its lead byte and continuation bytes).
    static void SkipCharacter(char*& ptr, std::size_t& left) {
        do {
            ++ptr;
            --left;
        } while (left > 0 && (static_cast<unsigned char>(*ptr) & 0xC0) == 0x80);
    }

    iconv_t m_cd;
};

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    Converter converter("GBK", "UTF-8");
    return converter.convert(utf8, '?').value_or(std::string(utf8));
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    Converter converter("UTF-8", "GBK");
    return converter.convert(gbk, std::nullopt);
}

}  // namespace tavolex
