#ifndef KOLM_NODE_H
#define KOLM_NODE_H

// Base of every syntax tree node: where the node stands in the source, which
// kind of node it is, and the operations that the compiler's passes call on
// every node. The code generator reads the location for debug entries and
// the type names for its signature messages; the node classes themselves
// live with the compiler's front end.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class KolmGenContext;
class KolmExpression;

namespace kolm {

// One hunk of the preprocessor's line mapping (all one-based): at line
// to_line of the preprocessed text, from_count source lines starting at
// from_line were removed; to_count preprocessed lines stand for them.
struct ReplaceOp {
    int32_t from_line;
    int32_t to_line;
    int32_t from_count;
    int32_t to_count;
};

// Maps a line of the preprocessed text back to its source line through the
// last record (records ascend by to_line) whose to_line is not above it.
// When the line lies inside a record's replacement (to_count lines), the
// record's from_line is returned and *inside is set.
int32_t mapLine(int32_t line, const std::vector<ReplaceOp> &ops, bool *inside = nullptr);

// The line mapping of the source being parsed, for as long as the object
// lives (on this thread). The parser's nodes carry lines of the
// preprocessed text until the precompile pass maps them; a message printed
// while parsing maps its node's line through this mapping.
class ParsingLineMapping
{
public:
    explicit ParsingLineMapping(const std::vector<ReplaceOp> *ops);
    ~ParsingLineMapping();
    ParsingLineMapping(const ParsingLineMapping &) = delete;
    ParsingLineMapping &operator=(const ParsingLineMapping &) = delete;

    // The mapping of the innermost parse in progress; null outside one.
    static const std::vector<ReplaceOp> *current();

private:
    const std::vector<ReplaceOp> *m_previous;
};

} // namespace kolm

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

    // One-line text of the node, quoted by diagnostics.
    virtual std::string toString() const = 0;

    // The whole subtree as indented XML: indent spaces per level, starting
    // at the level given.
    virtual void toXML(int indent, int level, std::ostream *out) const = 0;

    // Generates the node's code framed by a debug entry: opens a debug
    // context, runs compileAsm and closes the context.
    virtual bool compile(KolmGenContext *ctx, std::ostream *out);

    // The pass before code generation. The base maps the node's lines from
    // the preprocessed text back to the source.
    virtual bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops);

    // Constant folding: whether the node's value is known at compile time,
    // and that value.
    virtual bool isCompileTimeConstant(KolmGenContext *ctx) const;
    virtual uint32_t compileTimeValue(KolmGenContext *ctx) const;

    // The node's own code generation.
    virtual bool compileAsm(KolmGenContext *ctx, std::ostream *out) = 0;

    // XML pieces: the location attributes, an element's opening tag (empty
    // element when asked) and its closing tag.
    virtual void locationXML(std::ostream *out) const;
    virtual void headXML(const std::string &name, std::ostream *out, bool empty) const;
    virtual void tailXML(const std::string &name, std::ostream *out) const;

    // "file:line:column" of the node's first character; the line is a
    // source line also while the node's source is being parsed.
    std::string location() const;

    // Text of a node type code, as printed in messages and dumps.
    static std::string typeName(int code);

    // indent * level spaces.
    static void io_pad(int indent, int level, std::ostream *out);
    // The element standing for a missing child.
    static void nullToXML(int indent, int level, std::ostream *out);

    // Replaces an identifier child that the precompile pass resolved to an
    // integer, a literal or a peripheral register by the node it stands for.
    // Defined with the identifier classes.
    static void checkIdentifier(KolmExpression **child);

    // True when the node is null, no identifier, or an identifier of the
    // class given; otherwise reports the identifier at this node's location.
    // Defined with the identifier classes.
    bool checkIdentifierClass(const KolmNode *node, int identifierClass) const;

    std::string file;
    int32_t beginLine = 0;
    int32_t beginColumn = 0;
    int32_t endLine = 0;
    int32_t endColumn = 0;
};

#endif
