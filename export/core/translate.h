// Texts that the engine and the export dialog's model show to a person. Each is written once, in
// the language its callers have always shown: Russian for the dialog's own captions and the
// messages the desktop program always gave in Russian, English for the engine's other errors (as
// the command line prints them). A program with an interface installs a translator, so that the
// person reads every text in the interface's language; without one a text is shown as written.
#pragma once

#include <string>

namespace morvale {

// Returns the text to show for `source` of `context`; an empty answer means "as written".
using TTextTranslator = std::string (*)(const char* context, const char* source);

// Installs the translator (nullptr: every text as written).
void SetTextTranslator(TTextTranslator translator);

// The text to show for `source`: the translator's answer, or `source` itself. Both arguments are
// string literals, so that the translation files' tool finds them where they are written.
std::string TranslateText(const char* context, const char* source);

}  // namespace morvale

// Marks a text of a table for the translation files where it is written; the code that shows it
// passes it through TranslateText with the same context.
#define MVL_TEXT_NOOP(context, source) source
