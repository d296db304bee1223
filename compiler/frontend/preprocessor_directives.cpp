// The directive forms of the preprocessor, each scanned left to right with
// a cursor; only the comparison looks back from the end of the line, once.

#include "preprocessor_directives.h"

#include <cstring>

namespace kolm {
namespace directive {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isNameChar(char c)
{
    return isNameStart(c) || isDigit(c);
}

bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isPathChar(char c)
{
    return isNameChar(c) || c == '.' || c == '-' || c == '/';
}

class Cursor
{
public:
    explicit Cursor(const std::string &text) : m_text(text) {}

    size_t at() const { return m_at; }
    bool atEnd() const { return m_at == m_text.size(); }
    char peek(size_t ahead = 0) const { return m_at + ahead < m_text.size() ? m_text[m_at + ahead] : '\0'; }

    bool take(char c)
    {
        if (atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }

    bool take(const char *literal)
    {
        const size_t length = std::strlen(literal);
        if (m_text.compare(m_at, length, literal) != 0)
            return false;
        m_at += length;
        return true;
    }

    // Skips blanks; true when there was at least one.
    bool blanks()
    {
        const size_t from = m_at;
        while (!atEnd() && isBlank(m_text[m_at]))
            ++m_at;
        return m_at > from;
    }

    template <class Predicate>
    size_t run(Predicate predicate)
    {
        const size_t from = m_at;
        while (!atEnd() && predicate(m_text[m_at]))
            ++m_at;
        return m_at - from;
    }

    bool name(std::string *out)
    {
        if (!isNameStart(peek()))
            return false;
        const size_t from = m_at;
        run(isNameChar);
        *out = m_text.substr(from, m_at - from);
        return true;
    }

    // The longest operand: a name, "0x" and hexadecimal digits, or decimal
    // digits.
    bool operand(std::string *out)
    {
        if (name(out))
            return true;
        const size_t from = m_at;
        if (peek() == '0' && peek(1) == 'x' && isHexDigit(peek(2))) {
            m_at += 2;
            run(isHexDigit);
        } else if (run(isDigit) == 0) {
            return false;
        }
        *out = m_text.substr(from, m_at - from);
        return true;
    }

    // "(", blanks, a name, blanks, ")".
    bool parenthesisedName(std::string *out)
    {
        if (!take('('))
            return false;
        blanks();
        if (!name(out))
            return false;
        blanks();
        return take(')');
    }

    // "#", blanks and the literal word.
    bool head(const char *word) { return take('#') && (blanks(), true) && take(word); }

private:
    const std::string &m_text;
    size_t m_at = 0;
};

// Whether text[from, end) is one whole operand.
bool isOperand(const std::string &text, size_t from, size_t end)
{
    if (from >= end)
        return false;
    size_t i = from;
    if (isNameStart(text[i])) {
        while (i < end && isNameChar(text[i]))
            ++i;
        return i == end;
    }
    if (text[i] == '0' && i + 2 < end && text[i + 1] == 'x') {
        for (i += 2; i < end && isHexDigit(text[i]);)
            ++i;
        if (i == end)
            return true;
    }
    for (i = from; i < end && isDigit(text[i]);)
        ++i;
    return i == end;
}

} // namespace

bool word(const std::string &text, std::string *word)
{
    Cursor c(text);
    return c.take('#') && (c.blanks(), true) && c.name(word);
}

bool define(const std::string &text, std::string *name, std::string *value)
{
    Cursor c(text);
    if (!c.head("define") || !c.blanks())
        return false;
    if (!(c.peek() == '(' ? c.parenthesisedName(name) : c.name(name)))
        return false;
    if (c.atEnd()) {
        value->clear();
        return true;
    }
    if (!c.blanks())
        return false;
    *value = text.substr(c.at());
    return true;
}

bool defineValue(const std::string &value)
{
    if (value.empty())
        return true;
    if (value[0] != '"') {
        for (const char c : value)
            if (!isNameChar(c) && c != '.' && c != '\'' && c != '\\')
                return false;
        return true;
    }
    for (size_t i = 1; i < value.size(); ++i) {
        if (value[i] == '\\') {
            if (i + 1 >= value.size() || value[i + 1] == '\n' || value[i + 1] == '\r')
                return false;
            ++i;
        } else if (value[i] == '"') {
            return i + 1 == value.size();
        }
    }
    return false;
}

bool undef(const std::string &text, std::string *name)
{
    Cursor c(text);
    return c.head("undef") && c.blanks() && c.name(name) && c.atEnd();
}

bool include(const std::string &text, std::string *path, bool *system)
{
    Cursor c(text);
    if (!c.head("include"))
        return false;
    c.blanks();
    *system = c.peek() == '<';
    if (!c.take(*system ? '<' : '"'))
        return false;
    const size_t from = c.at();
    if (c.run(isPathChar) == 0)
        return false;
    *path = text.substr(from, c.at() - from);
    return c.take(*system ? '>' : '"') && c.atEnd();
}

bool ifdef(const std::string &text, bool *positive, std::string *name)
{
    Cursor c(text);
    if (!c.take('#'))
        return false;
    c.blanks();
    *positive = c.take("ifdef");
    return (*positive || c.take("ifndef")) && c.blanks() && c.name(name) && c.atEnd();
}

bool ifDefined(const std::string &text, bool *negated, std::string *name)
{
    Cursor c(text);
    if (!c.head("if") || !c.blanks())
        return false;
    *negated = c.take('!');
    if (!c.take("defined"))
        return false;
    c.blanks();
    if (!c.parenthesisedName(name))
        return false;
    c.blanks();
    return c.atEnd();
}

namespace {

// "#if" or "#elif" and at least one blank.
bool conditionHead(Cursor &c)
{
    if (!c.take('#'))
        return false;
    c.blanks();
    return (c.take("if") || c.take("elif")) && c.blanks();
}

} // namespace

bool ifValue(const std::string &text, std::string *operand)
{
    Cursor c(text);
    if (!conditionHead(c))
        return false;
    if (c.take('('))
        c.blanks();
    if (!c.operand(operand))
        return false;
    if (c.atEnd())
        return true;
    c.blanks();
    if (!c.take(')'))
        return false;
    c.blanks();
    return c.atEnd();
}

bool ifCompare(const std::string &text, std::string *left, std::string *op, std::string *right)
{
    Cursor c(text);
    if (!conditionHead(c) || !c.take('('))
        return false;
    c.blanks();
    if (!c.operand(left))
        return false;
    c.blanks();
    const size_t opStart = c.at();
    size_t firstBlank = opStart;
    while (firstBlank < text.size() && !isBlank(text[firstBlank]))
        ++firstBlank;

    // From the end: blanks, ")", blanks; before them the right operand,
    // a suffix of the last run of name characters.
    size_t end = text.size();
    while (end > opStart && isBlank(text[end - 1]))
        --end;
    if (end == opStart || text[end - 1] != ')')
        return false;
    --end;
    while (end > opStart && isBlank(text[end - 1]))
        --end;
    size_t runStart = end;
    while (runStart > opStart && isNameChar(text[runStart - 1]))
        --runStart;

    // The operator takes all it can: the shortest right operand first.
    for (size_t from = end; from-- > runStart;) {
        size_t opEnd = from;
        if (from == runStart)
            while (opEnd > opStart && isBlank(text[opEnd - 1]))
                --opEnd;
        if (opEnd <= opStart || opEnd > firstBlank || !isOperand(text, from, end))
            continue;
        *op = text.substr(opStart, opEnd - opStart);
        *right = text.substr(from, end - from);
        return true;
    }
    return false;
}

bool bare(const std::string &text, const char *word)
{
    Cursor c(text);
    if (!c.head(word))
        return false;
    c.blanks();
    return c.atEnd();
}

} // namespace directive
} // namespace kolm
