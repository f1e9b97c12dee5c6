#include "export/core/translate.h"

namespace morvale {
namespace {
TTextTranslator installed = nullptr;
}

void SetTextTranslator(TTextTranslator translator) {
  installed = translator;
}

std::string TranslateText(const char* context, const char* source) {
  if (installed) {
    std::string text = installed(context, source);
    if (!text.empty()) return text;
  }
  return source;
}

}  // namespace morvale
