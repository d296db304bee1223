#include "qkolmextendedcompletionmodel.h"

const QStringList QKolmExtendedCompletionModel::builtins = {
    QStringLiteral("var"),           QStringLiteral("break"),         QStringLiteral("case"),
    QStringLiteral("continue"),      QStringLiteral("default"),       QStringLiteral("do"),
    QStringLiteral("else"),          QStringLiteral("for"),           QStringLiteral("goto"),
    QStringLiteral("if"),            QStringLiteral("return"),        QStringLiteral("switch"),
    QStringLiteral("while"),         QStringLiteral("sizeof"),        QStringLiteral("in"),
    QStringLiteral("_exti"),         QStringLiteral("_msg"),          QStringLiteral("_ack"),
    QStringLiteral("_segv"),         QStringLiteral("__disable_irq"), QStringLiteral("__enable_irq"),
    QStringLiteral("halt"),          QStringLiteral("nop"),           QStringLiteral("memcpy"),
    QStringLiteral("memset"),        QStringLiteral("stoi"),          QStringLiteral("sprintf"),
    QStringLiteral("contains"),      QStringLiteral("delay"),         QStringLiteral("sleep"),
    QStringLiteral("timer"),         QStringLiteral("tstop"),         QStringLiteral("resume"),
    QStringLiteral("__DATE__"),      QStringLiteral("__TIME__"),      QStringLiteral("__KOLM__"),
    QStringLiteral("__KOLM_VERSION__"), QStringLiteral("__VERSION__"), QStringLiteral("__ABI__"),
};
