#include "app/debugmode.h"
#include "app/plotmode.h"
#include "app/windowmode.h"
#include "opt/batchmodes.h"

#include <cstring>

using namespace Folvane;

int main(int argc, char** argv)
{
    const auto option = [&](int count, const char* word) {
        return argc == count && std::strcmp(argv[1], word) == 0;
    };
    if (option(2, "-debug"))
        return runDebugMode(argc, argv);
    if (argc >= 7 && std::strcmp(argv[1], "-optimise") == 0)
        return BatchModes::optimise(argc, argv);
    if (option(5, "-evaluate"))
        return BatchModes::evaluate(argc, argv);
    if (option(4, "-analyse"))
        return BatchModes::analyse(argc, argv);
    if ((option(3, "-modal") || option(4, "-modal")))
        return BatchModes::modal(argc, argv);
    if ((option(4, "-buckle") || option(5, "-buckle")))
        return BatchModes::buckle(argc, argv);
    // Not the window for a mistyped count: the user asked for a file.
    if (argc >= 2 && std::strcmp(argv[1], "-vtk") == 0)
        return BatchModes::vtk(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "-plot") == 0)
        return runPlotMode(argc, argv);
    if (option(4, "-importwindio"))
        return BatchModes::importWindio(argc, argv);
    if (option(5, "-importloads"))
        return BatchModes::importLoads(argc, argv);
    if (option(4, "-autowebopt"))
        return BatchModes::resave(argc, argv);
    if (option(6, "-autolayupopt"))
        return BatchModes::autoLayupOpt(argc, argv);
    if (argc >= 10 && std::strcmp(argv[1], "-autokpopt") == 0)
        return BatchModes::autoKpOpt(argc, argv);
    return runWindowMode(argc, argv);
}
