#include "restart_loop.h"

int runRestartLoop(const IdePass &ide, const UpdaterPass &updater)
{
    QString transport;
    QString product;
    int result = 1;
    for (;;) {
        if (result == 1)
            result = ide(transport, product);
        else if (result == 2)
            result = updater(transport, product);
        else
            return result == 0 ? 0 : 1;
    }
}

int idePassResult(int eventLoopResult)
{
    switch (eventLoopResult) {
    case 254:
        return 1;
    case 255:
        return 2;
    default:
        return 0;
    }
}

PassArguments::PassArguments(int argc, char **argv)
    : m_count(argc)
{
    for (int i = 0; i < argc; ++i)
        m_values.append(QByteArray(argv[i]));
    for (QByteArray &value : m_values)
        m_pointers.push_back(value.data());
    m_pointers.push_back(nullptr);
}
