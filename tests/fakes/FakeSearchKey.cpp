#include "index/Search.h"

namespace kv {

// Upper-casing as the system does it in code page 1252: a to z, the accented letters à to þ
// (but not the division sign ÷, which sits among them), and the four letters whose capitals
// lie in the 0x80 block: š Š, œ Œ, ž Ž, ÿ Ÿ. Everything else stays as it is.
std::string SearchKey(std::string_view term) {
    std::string key(term);
    for (char& c : key) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            c = static_cast<char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)
            c = static_cast<char>(b - 0x10);
        else if (b == 0xFF)
            c = static_cast<char>(0x9F);
    }
    return key;
}

}  // namespace kv
