// Draws one line with QCustomPlot into an image and checks that the line's
// colour is there: the static library links, its meta-objects and Qt's
// painting work together. Exits 0 when the line was drawn.
#include <qcustomplot.h>

#include <QApplication>
#include <QImage>

#include <cstdio>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;
// A colour that nothing else in a default plot uses.
constexpr QRgb kLineColour = qRgb(0xd0, 0x20, 0x30);
// A line across the plot crosses far more pixels than this; stray
// antialiased pixels of another colour never match exactly.
constexpr int kFewestLinePixels = 100;

int pixelsOf(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    QCPGraph *graph = plot.addGraph();
    graph->setPen(QPen(QColor(kLineColour), 3));
    graph->setAntialiased(false);
    graph->setData({0, 1, 2, 3, 4}, {1, 3, 2, 4, 3});
    plot.rescaleAxes();

    const QImage image = plot.toPixmap(kWidth, kHeight).toImage().convertToFormat(QImage::Format_RGB32);
    const int linePixels = pixelsOf(image, kLineColour);
    std::printf("qcustomplot_check: %d of %d pixels in the line's colour\n", linePixels,
                kWidth * kHeight);
    return linePixels >= kFewestLinePixels ? 0 : 1;
}
