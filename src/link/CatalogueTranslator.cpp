#include "CatalogueTranslator.h"

#include <string_view>
#include <unordered_map>

#include "Translate.h"

namespace tavolex {

extern const CatalogueEntry kCatalogue[];
extern const std::size_t kCatalogueSize;

namespace {

// Context and source joined by a byte that neither contains.
std::string Key(std::string_view context, std::string_view source) {
    std::string key(context);
    key += '\x04';
    key += source;
    return key;
}

using Index = std::unordered_map<std::string, std::string_view>;

Index IndexOf(std::span<const CatalogueEntry> entries) {
    Index index;
    for (const CatalogueEntry& entry : entries)
        index.emplace(Key(entry.context, entry.source), entry.translation);
    return index;
}

std::string Lookup(const Index& index, const char* context, const char* source) {
    const auto found = index.find(Key(context, source));
    return found == index.end() ? std::string(source) : std::string(found->second);
}

}  // namespace

std::string CatalogueTranslation(std::span<const CatalogueEntry> entries, const char* context,
                                 const char* source) {
    return Lookup(IndexOf(entries), context, source);
}

std::string TranslateToEnglish(const char* context, const char* source) {
    // Built once, on first use; the initialisation of a local static is thread-safe.
    static const Index index = IndexOf({kCatalogue, kCatalogueSize});
    return Lookup(index, context, source);
}

void InstallCatalogue(Language language) {
    SetTranslator(language == Language::English ? &TranslateToEnglish : nullptr);
}

}  // namespace tavolex
