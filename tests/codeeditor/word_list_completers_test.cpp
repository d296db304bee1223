// The completers over the compiled-in word lists.

#include "qglslcompleter.h"
#include "qkolmcompleter.h"
#include "qluacompleter.h"
#include "qpythoncompleter.h"
#include "wordlistcompletion.h"

#include <QAbstractItemModel>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Factory = std::function<std::unique_ptr<QCompleter>()>;

template <class Completer>
Factory factory()
{
    return [] { return std::make_unique<Completer>(); };
}

QStringList rows(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, 0).data().toString();
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(Factory)

class WordListCompletersTest : public QObject
{
    Q_OBJECT

private slots:
    void models_data();
    void models();
    void kolmWordsInSectionOrder();
    void completesCaseSensitively();
    void unreadableListLeavesNoModel();
};

void WordListCompletersTest::models_data()
{
    QTest::addColumn<Factory>("make");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");

    // Sections in key order: the first word is the first of the first key.
    QTest::newRow("glsl") << factory<QGLSLCompleter>() << 183 + 41 + 121 << "radians";
    QTest::newRow("python") << factory<QPythonCompleter>() << 3 + 17 + 10 << "print";
    QTest::newRow("lua") << factory<QLuaCompleter>() << 15 + 17 + 9 << "break";
    QTest::newRow("kolm") << factory<QKolmCompleter>() << 18 + 14 + 1 << "_exti";
}

void WordListCompletersTest::models()
{
    QFETCH(Factory, make);
    QFETCH(int, count);
    QFETCH(QString, first);

    const std::unique_ptr<QCompleter> completer = make();
    QVERIFY(completer->model());
    QCOMPARE(completer->model()->parent(), completer.get());
    QCOMPARE(completer->model()->rowCount(), count);
    QCOMPARE(rows(*completer->model()).first(), first);
    QCOMPARE(completer->completionColumn(), 0);
    QCOMPARE(completer->caseSensitivity(), Qt::CaseSensitive);
    QVERIFY(completer->wrapAround());
}

void WordListCompletersTest::kolmWordsInSectionOrder()
{
    QKolmCompleter completer;
    const QStringList words = rows(*completer.model());
    QCOMPARE(words.mid(0, 3), QStringList({"_exti", "_msg", "_ack"}));
    QCOMPARE(words.at(17), QString("resume"));
    QCOMPARE(words.mid(18, 2), QStringList({"break", "case"}));
    QCOMPARE(words.at(31), QString("in"));
    QCOMPARE(words.last(), QString("var"));
}

void WordListCompletersTest::completesCaseSensitively()
{
    QKolmCompleter completer;
    completer.setCompletionPrefix("de");
    QStringList found;
    for (int row = 0; completer.setCurrentRow(row); ++row)
        found << completer.currentCompletion();
    QCOMPARE(found, QStringList({"delay", "default"}));

    completer.setCompletionPrefix("De");
    QCOMPARE(completer.completionCount(), 0);
}

void WordListCompletersTest::unreadableListLeavesNoModel()
{
    QCompleter completer;
    setWordListModel(&completer, ":/languages/none.xml");
    QCOMPARE(completer.model(), nullptr);
}

QTEST_MAIN(WordListCompletersTest)
#include "word_list_completers_test.moc"
