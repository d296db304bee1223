#ifndef KOLM_TEST_FORM_CHILD_H
#define KOLM_TEST_FORM_CHILD_H

// The widget of a form by its object name; a missing one ends the test
// program, since every later check would only read through a null pointer.

#include <QObject>
#include <QString>
#include <QtGlobal>

template <class T>
T *formChild(const QObject &form, const QString &name)
{
    T *widget = form.findChild<T *>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

#endif
