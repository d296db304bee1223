#ifndef KOLM_TEST_NODE_H
#define KOLM_TEST_NODE_H

// A syntax tree node for tests: a source location and whatever code the test
// hands it. Compiled through the generator, its location becomes a debug
// entry.

#include "kolm_node.h"

#include <functional>
#include <ostream>
#include <string>

class KolmGenContext;

class TestNode : public KolmNode {
public:
    using Code = std::function<bool(KolmGenContext *, std::ostream *)>;

    TestNode(const std::string &name, int line, int column, int lastLine, int lastColumn, Code code = {})
        : code(std::move(code))
    {
        file = name;
        beginLine = line;
        beginColumn = column;
        endLine = lastLine;
        endColumn = lastColumn;
    }
    int type() const override { return 9; }
    std::string toString() const override { return "test node"; }
    void toXML(int indent, int level, std::ostream *out) const override
    {
        io_pad(indent, level, out);
        headXML("Test", out, true);
    }
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override { return code ? code(ctx, out) : true; }

    Code code;
};

#endif
