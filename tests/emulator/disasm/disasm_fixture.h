#ifndef KOLM_TEST_DISASM_FIXTURE_H
#define KOLM_TEST_DISASM_FIXTURE_H

// A fresh machine per test with the disassembler's listing in each form and
// strict checks of the JSON and XML documents.

#include "document_check.h"
#include "kolm_disasm.h"
#include "vm_fixture.h"

#include <sstream>
#include <string>
#include <vector>

inline constexpr OutputType kForms[] = {OUTPUT_TEXT, OUTPUT_JSON, OUTPUT_XML};

// The listing of the image that kolm_vm_init loaded.
inline std::string listing(OutputType format)
{
    std::ostringstream out;
    const AsmImage image{KOLM_VM.text_start, KOLM_VM.text_end, KOLM_VM.data_start, KOLM_VM.data_end, KOLM_VM.table};
    asm_dismember(image, out, format, "0.5.0");
    return out.str();
}

// The instruction lines of a text listing.
inline std::string codeList(const std::string &text)
{
    const std::string begin = ".text:\n\n";
    const size_t from = text.find(begin);
    const size_t to = text.find("\n.data: ");
    if (from == std::string::npos || to == std::string::npos)
        return "no code list in: " + text;
    return text.substr(from + begin.size(), to - from - begin.size());
}

// Values that the strict checker finds in a document that must parse.
inline std::string documentValues(const char *kind, const std::string &document,
                                  const std::vector<std::string> &queries)
{
    int status = -1;
    const std::string values = checkDocument(kind, document, queries, status);
    EXPECT_EQ(status, 0) << values << "\n" << document.substr(0, 4000);
    return values;
}

inline std::string jsonValues(const std::string &document, const std::vector<std::string> &queries)
{
    return documentValues("json", document, queries);
}

inline std::string xmlValues(const std::string &document, const std::vector<std::string> &queries)
{
    return documentValues("xml", document, queries);
}

// A JSON or XML listing must parse; the text form has no grammar to check.
inline void expectDocument(OutputType format, const std::string &document)
{
    if (format == OUTPUT_JSON)
        jsonValues(document, {"version"});
    else if (format == OUTPUT_XML)
        xmlValues(document, {".@version"});
}

// One record of a data-symbol ("TS") extension.
inline std::string record(uint32_t offset, uint32_t type, uint32_t size)
{
    return ImageBuilder::words({offset, type, size});
}

class DisasmTest : public VmFixture, public ::testing::Test {};

template <typename T>
class DisasmTestP : public VmFixture, public ::testing::TestWithParam<T> {};

#endif
