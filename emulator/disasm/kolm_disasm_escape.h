#ifndef KOLM_DISASM_ESCAPE_H
#define KOLM_DISASM_ESCAPE_H

// Escaping of image bytes (literals, paths, tags) for the JSON and XML
// listings, so that every listing stays a valid document whatever the image
// holds. The text listing writes the bytes as they stand.

#include <string>

// Contents of a JSON string: '"' and '\' get a backslash, control bytes and
// bytes that are not part of well-formed UTF-8 become \u00xx.
std::string jsonEscape(const std::string &bytes);

// Contents of a double-quoted XML attribute: & < > " become entities, tab,
// line feed and carriage return character references (so that a reader
// keeps them), and characters that XML 1.0 does not allow (other control
// bytes, U+FFFE, U+FFFF, bytes that are not well-formed UTF-8) the text
// \xnn per byte.
std::string xmlEscape(const std::string &bytes);

#endif
