#pragma once
// Texts the engine composes in English from a format ("Erase Flash.... [%s]", "Com%d Connected") reach the
// wizard already filled in. To show them in the user's language, the filled-in text is matched against the
// English format and the values it carries are put into the translated format, in the same order (the
// build refuses translations whose specifiers differ from the English).
#include <optional>
#include <string>
#include <string_view>

// The values of strText in the order of the format's specifiers, or nothing when the text is not an
// instance of the format. %d, %i, %u (with l/ll/z) take an optional sign and digits, %s any run of
// characters (the shortest that lets the rest match), %% a percent sign.
std::optional<std::string> FillTranslatedFormat(std::string_view strEnglishFormat, std::string_view strTranslatedFormat,
                                                std::string_view strText);
