#include "app/plotmode.h"

#include "app/spanplot.h"
#include "opt/batchmodes.h"

#include <QApplication>
#include <QFileInfo>
#include <iostream>

namespace Folvane {

int runPlotMode(int argc, char** argv)
{
    if (!BatchModes::checkOutput(argv[2], std::vector<const char*>(argv + 3, argv + argc), {".svg", ".png"}))
        return 1;
    // Charts are drawn by the widget toolkit; no screen is needed for a file.
    // The minimal platform with fonts draws the same file as the offscreen
    // one, which leaves its screen allocated at exit.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "minimal:enable_fonts");
    QApplication app(argc, argv);
    SpanPlot plot;
    for (int i = 3; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        ResultTable table;
        QString error;
        if (!readResultTable(path, table, error)) {
            std::cerr << "Folvane: the result table '" << argv[i] << "' cannot be read: "
                      << error.toLocal8Bit().constData() << "; nothing was written" << std::endl;
            return 2;
        }
        plot.addTable(QFileInfo(path).fileName(), table);
    }
    QString error;
    if (!plot.save(QString::fromLocal8Bit(argv[2]), error)) {
        std::cerr << "Folvane: " << error.toLocal8Bit().constData() << std::endl;
        return 2;
    }
    std::cout << "Span plots of " << argc - 3 << (argc == 4 ? " table" : " tables") << " written to " << argv[2]
              << std::endl;
    return 0;
}

} // namespace Folvane
