// The message of a property text that cannot be converted, one wording for every option record.
#pragma once

#include <string>
#include <string_view>

#include "export/core/properties.h"

namespace morvale {

// "Invalid value '<text>' for property '<prop>': <expected>", in the interface's language.
EPropertyError InvalidPropertyValue(std::string_view text, std::string_view prop,
                                    const std::string& expected);

}  // namespace morvale
