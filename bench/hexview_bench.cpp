// Times the hex view on a 64 KB image: the C array text alone, and the
// dialog shown with the image set, its text laid out and painted. The goal is
// 100 ms for the dialog.
//
// usage: hexview_bench
#include "kolmprojecthexview.h"
#include "script_timing.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>
#include <vector>

namespace {

const int imageSize = 64 * 1024;
const int runs = 9;
const double goalMs = 100.0;

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QByteArray image(imageSize, '\0');
    QRandomGenerator random(36);
    for (char& byte : image)
        byte = char(random.bounded(256));

    std::vector<double> text, shown;
    int length = 0;
    for (int run = 0; run < runs; ++run)
        text.push_back(timeMs([&] { length = KolmProjectHexview::cArray(image, QStringLiteral("bench image")).size(); }));
    for (int run = 0; run < runs; ++run) {
        KolmProjectHexview view;
        view.resize(700, 500);
        shown.push_back(timeMs([&] {
            view.setData(image, QStringLiteral("bench image"));
            view.show();
            QTest::qWaitForWindowExposed(&view);
            QApplication::processEvents();
        }));
    }

    std::printf("%d bytes, %d characters of text, %d runs\n", imageSize, length, runs);
    report("C array text", text, goalMs);
    report("hex view shown with the image", shown, goalMs);
    return 0;
}
