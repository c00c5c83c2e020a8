// Texts that the operator reads pass through Translate, so that the window can show them in
// the desktop's language while the operations stay free of any toolkit. Without a translator
// (the command-line client, the unit tests) every text is its Chinese source.
//
// A text with values in it is translated as a pattern first and filled in afterwards
// (Substitute), so that a translation can move the values where its language wants them.
// Texts written to files (data file, error log, CSV headings, trace log) never come here:
// their contents do not depend on the language of the screen.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a source text defined apart from its use (a constant), so that the translation tools
// find it; the use passes it to Translate with the same context.
#define TAVOLEX_TRANSLATABLE(context, source) source

namespace tavolex {

using Translator = std::string (*)(const char* context, const char* source);

// Sets the translator for the whole process; nullptr restores the source texts.
void SetTranslator(Translator translator);

// The text to show for the source text in its context. Safe on any thread.
std::string Translate(const char* context, const char* source);

// The pattern with %1 to %9 replaced by the arguments of that number; a percent sign followed
// by anything else, or by a number without an argument, stays as it is.
std::string Substitute(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace tavolex
