// The English catalogue compiled into the program as a plain table (generated at build time
// from translations/tavolex_en.ts), for the programs and moments that have no Qt translator:
// the command-line client, and the window's command-line answers before its toolkit starts.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "Language.h"

namespace tavolex {

struct CatalogueEntry {
    const char* context;
    const char* source;
    const char* translation;
};

// The translation of `source` in `context` among the entries; the source itself when the
// entries have none.
std::string CatalogueTranslation(std::span<const CatalogueEntry> entries, const char* context,
                                 const char* source);

// A Translator over the compiled-in English catalogue.
std::string TranslateToEnglish(const char* context, const char* source);

// Installs the compiled-in catalogue as the process's translator for English, and no
// translator (the Chinese sources) for Chinese.
void InstallCatalogue(Language language);

}  // namespace tavolex
