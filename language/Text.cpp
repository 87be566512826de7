#include "language/Text.h"

#include <atomic>
#include <vector>

namespace mp {
namespace {

std::atomic<TextTranslator> g_translator{nullptr};

}  // namespace

void SetTextTranslator(TextTranslator translator) {
    g_translator.store(translator);
}

std::string Tr(const char* source) {
    const TextTranslator translator = g_translator.load();
    return translator != nullptr ? translator(kTextContext, source) : std::string(source);
}

std::string FillIn(const std::string& pattern, std::initializer_list<std::string> args) {
    const std::vector<std::string> values(args);
    std::string out;
    out.reserve(pattern.size());
    for (size_t k = 0; k < pattern.size(); ++k) {
        const char next = k + 1 < pattern.size() ? pattern[k + 1] : '\0';
        if (pattern[k] == '%' && next >= '1' && next <= '9' &&
            static_cast<size_t>(next - '1') < values.size()) {
            out += values[static_cast<size_t>(next - '1')];
            ++k;
        } else {
            out += pattern[k];
        }
    }
    return out;
}

}  // namespace mp
