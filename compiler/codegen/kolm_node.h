#ifndef KOLM_NODE_H
#define KOLM_NODE_H

// Base of every syntax tree node: where the node stands in the source and
// which kind of node it is. The code generator reads the location for debug
// entries and the type names for its signature messages.

#include <cstdint>
#include <ostream>
#include <string>

class KolmGenContext;

class KolmNode
{
public:
    // A node made without a location: empty file name, all positions 0.
    KolmNode() = default;

    // Copies the file name and the begin and end positions of a parser
    // location (any type with begin/end positions that carry a file name
    // pointer, a line and a column). A null location gives the empty one.
    template <class Location>
    explicit KolmNode(const Location *loc)
    {
        if (!loc)
            return;
        if (loc->begin.filename)
            file = *loc->begin.filename;
        beginLine = int32_t(loc->begin.line);
        beginColumn = int32_t(loc->begin.column);
        endLine = int32_t(loc->end.line);
        endColumn = int32_t(loc->end.column);
    }

    virtual ~KolmNode();

    KolmNode(const KolmNode &) = delete;
    KolmNode &operator=(const KolmNode &) = delete;

    // The node type code (see typeName).
    virtual int type() const = 0;

    // Generates the node's code framed by a debug entry: opens a debug
    // context, runs compileAsm and closes the context.
    virtual bool compile(KolmGenContext *ctx, std::ostream *out);

    // The node's own code generation.
    virtual bool compileAsm(KolmGenContext *ctx, std::ostream *out) = 0;

    // "file:line:column" of the node's first character.
    std::string location() const;

    // Text of a node type code, as printed in messages and dumps.
    static std::string typeName(int code);

    std::string file;
    int32_t beginLine = 0;
    int32_t beginColumn = 0;
    int32_t endLine = 0;
    int32_t endColumn = 0;
};

#endif
