// The loudness picture of a done job: drawn from the curves, and saved as a PNG file.

#include "gui/loudness_dialog.h"

#include "support/temp_folder.h"

#include <QImage>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace cantova;

namespace {

// Two minutes at a point a second: the source at -23 LUFS, the output at -16 with a silent
// stretch, the limiter acting from 60 to 70 s.
jobs::LoudnessCurves Curves() {
    jobs::LoudnessCurves curves;
    curves.target = -16;
    curves.ceiling = -1;
    curves.sourceIntegrated = -23;
    curves.outputIntegrated = -16;
    curves.interval = 1;
    curves.limiter = {{60, 70}};
    for (int second = 0; second < 120; ++second) {
        const bool silent = second >= 100 && second < 105;
        curves.source.push_back(silent ? -std::numeric_limits<double>::infinity() : -23);
        curves.output.push_back(silent ? -std::numeric_limits<double>::infinity() : -16);
    }
    return curves;
}

// How many pixels of the picture have the colour, give or take the blending of antialiasing.
int PixelsLike(const QImage& image, QColor color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - color.red()) + std::abs(pixel.green() - color.green()) +
                                 std::abs(pixel.blue() - color.blue()) <
                             12
                         ? 1
                         : 0;
        }
    }
    return count;
}

} // namespace

class LoudnessPictureTest : public QObject {
    Q_OBJECT

private slots:
    void theCurvesTheLevelsAndTheLimiterAreDrawn() {
        jobs::LoudnessCurves curves = Curves();
        const QImage drawn = ui::qt::LoudnessPicture(curves).image(QSize(720, 360));
        QVERIFY(PixelsLike(drawn, QColor(20, 100, 200)) > 200);  // the output's curve
        QVERIFY(PixelsLike(drawn, QColor(110, 110, 110)) > 200); // the source's curve
        QVERIFY(PixelsLike(drawn, QColor(200, 40, 40)) > 50);    // the ceiling
        const int limiter = PixelsLike(drawn, QColor(250, 215, 195));
        QVERIFY2(limiter > 1000, qPrintable(QString::number(limiter)));
        curves.limiter.clear();
        const QImage without = ui::qt::LoudnessPicture(curves).image(QSize(720, 360));
        QVERIFY(PixelsLike(without, QColor(250, 215, 195)) < limiter / 10);
    }

    // A curve that runs just above the target, through its label, passes behind the label:
    // none of the label's signs is lost under it.
    void theLevelsLabelsStayOverTheCurves() {
        jobs::LoudnessCurves curves = Curves();
        curves.limiter.clear();
        curves.ceiling.reset();
        std::fill(curves.output.begin(), curves.output.end(), -15);
        const auto outputPixels = [&] {
            return PixelsLike(ui::qt::LoudnessPicture(curves).image(QSize(720, 360)),
                              QColor(20, 100, 200));
        };
        const int withLabel = outputPixels();
        curves.target.reset();
        const int withoutLabel = outputPixels();
        QVERIFY2(withLabel < withoutLabel * 9 / 10,
                 qPrintable(QString("%1 of %2").arg(withLabel).arg(withoutLabel)));
    }

    void thePictureIsSavedAsShown() {
        TempFolder temp;
        ui::qt::LoudnessDialog dialog("Loudness of Stream1.mp3", Curves(), nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QString file = QString::fromStdString(temp.File("Stream1.png"));
        QVERIFY(dialog.saveTo(file));
        const QImage saved(file);
        QCOMPARE(saved.size(), dialog.picture().size());
        QVERIFY(!dialog.saveTo(QString::fromStdString(temp.File("no such folder/x.png"))));
    }
};

QTEST_MAIN(LoudnessPictureTest)
#include "loudness_picture_test.moc"
