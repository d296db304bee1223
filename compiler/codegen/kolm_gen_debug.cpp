// Debug entries: which bytes of the image each syntax tree node produced and
// where the node stands in the source.

#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_node.h"

#include <sstream>

using kolm_gen::position;

void KolmGenContext::beginNodeCompile(const KolmNode *node, std::ostream *out)
{
    if (!debugInfo)
        return;
    m_debugContexts.push_back({node, position(out)});
}

bool KolmGenContext::endNodeCompile(const KolmNode *node, std::ostream *out, std::string &error)
{
    if (!debugInfo)
        return true;
    if (m_debugContexts.empty()) {
        error = "unexpected node end - context empty";
        return false;
    }
    const DebugContext &top = m_debugContexts.back();
    if (top.node != node) {
        std::ostringstream text;
        text << "unexpected end of node " << static_cast<const void *>(node) << " compilation - expected "
             << static_cast<const void *>(top.node);
        error = text.str();
        return false;
    }
    const uint32_t end = position(out);
    if (end < top.codeStart) {
        std::ostringstream text;
        text << "unexpected stream position " << end << " at the end of node " << static_cast<const void *>(node)
             << " compilation. started at " << top.codeStart;
        error = text.str();
        return false;
    }
    if (end > top.codeStart)
        m_debugEntries.push_back({node->file, uint32_t(node->beginLine), uint32_t(node->beginColumn),
                                  uint32_t(node->endLine), uint32_t(node->endColumn), top.codeStart, end});
    m_debugContexts.pop_back();
    return true;
}

// Code from `position` on was taken back by a fold: open nodes start no
// later than there, and finished nodes keep only the code that remains.
void KolmGenContext::rewindDebugInfo(uint32_t position)
{
    for (DebugContext &context : m_debugContexts)
        if (context.codeStart > position)
            context.codeStart = position;
    std::vector<DebugEntry> kept;
    for (DebugEntry entry : m_debugEntries) {
        if (entry.codeEnd > position)
            entry.codeEnd = position;
        if (entry.codeStart < entry.codeEnd)
            kept.push_back(entry);
    }
    m_debugEntries.swap(kept);
}
