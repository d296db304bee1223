#ifndef KOLM_PREPROCESSOR_DIRECTIVES_H
#define KOLM_PREPROCESSOR_DIRECTIVES_H

// The forms of the preprocessor's directive lines, scanned by hand in one
// pass over the text: a directive line may be megabytes long (a define of
// a long literal), so no matching may recurse or backtrack per character.
// Each function takes the whole directive, from its '#' to the end of the
// line without a trailing comment or blanks, and is true only when the
// whole text has its form. Blanks are the ASCII white-space characters;
// names are a letter or underscore followed by letters, digits and
// underscores; operands are names, "0x" and hexadecimal digits, or decimal
// digits.

#include <string>

namespace kolm {
namespace directive {

// "#", blanks, then a name: the directive word.
bool word(const std::string &text, std::string *word);

// "#define NAME" or "#define (NAME)", then nothing or blanks and the value
// (everything after them).
bool define(const std::string &text, std::string *name, std::string *value);

// A define value the scanner reads back: empty, one word of letters,
// digits, dots, apostrophes, underscores and backslashes, or one string
// literal.
bool defineValue(const std::string &value);

// "#undef NAME".
bool undef(const std::string &text, std::string *name);

// "#include" with a path of letters, digits and ".-/_" between double
// quotes (system false) or angle brackets (system true).
bool include(const std::string &text, std::string *path, bool *system);

// "#ifdef NAME" or "#ifndef NAME".
bool ifdef(const std::string &text, bool *positive, std::string *name);

// "#if defined(NAME)" or "#if !defined(NAME)".
bool ifDefined(const std::string &text, bool *negated, std::string *name);

// "#if" or "#elif" with one operand, optionally in parentheses.
bool ifValue(const std::string &text, std::string *operand);

// "#if" or "#elif" with "(LEFT OPERATOR RIGHT)", the operator being any
// text without blanks; where operator and operand touch, the operator
// takes as much as leaves a whole operand.
bool ifCompare(const std::string &text, std::string *left, std::string *op, std::string *right);

// "#" and the word alone ("#else", "#endif").
bool bare(const std::string &text, const char *word);

} // namespace directive
} // namespace kolm

#endif
