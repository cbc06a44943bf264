#include "app/debugmode.h"
#include "app/plotmode.h"
#include "app/windowmode.h"
#include "opt/batchmodes.h"

#include <cstring>
#include <iostream>
#include <string>

using namespace Folvane;

namespace {

int printHelp(int, char**);
int printVersion(int, char**);

// Every mode the program has. Counts are of the arguments after the mode's
// word; a mode refuses any other count before it touches a display.
struct Mode
{
    const char* word;
    int least;
    int most; // -1: no upper bound
    int (*run)(int argc, char** argv);
    const char* usage;
};

constexpr int Unbounded = -1;

const Mode modes[] = {
    {"-analyse", 2, 2, BatchModes::analyse, "folvane -analyse model.fvm loadcase"},
    {"-modal", 1, 2, BatchModes::modal, "folvane -modal model.fvm [modes]"},
    {"-buckle", 2, 3, BatchModes::buckle, "folvane -buckle model.fvm loadcase [modes]"},
    {"-vtk", 2, 3, BatchModes::vtk, "folvane -vtk model.fvm out.vtu [loadcase] | folvane -vtk model.fvm out.pvd all"},
    {"-plot", 2, Unbounded, runPlotMode, "folvane -plot out.svg|out.png table.out [table.out ...]"},
    {"-optimise", 5, Unbounded, BatchModes::optimise,
     "folvane -optimise model.fvm x folder start iterations [seed] [-workers N] [-threads N] [-timelimit S] "
     "[-slurm | -local] [-partition P] [-sbatch \"OPTIONS\"]"},
    {"-evaluate", 3, 3, BatchModes::evaluate, "folvane -evaluate design.fvm job threads"},
    {"-importwindio", 2, 2, BatchModes::importWindio, "folvane -importwindio blade.yaml out.fvm"},
    {"-importloads", 3, 3, BatchModes::importLoads, "folvane -importloads model.fvm loads.csv out.fvm"},
    {"-autowebopt", 2, 2, BatchModes::resave, "folvane -autowebopt in.fvm out.fvm"},
    {"-autolayupopt", 4, 4, BatchModes::autoLayupOpt, "folvane -autolayupopt in.fvm number number out.fvm"},
    {"-autokpopt", 8, Unbounded, BatchModes::autoKpOpt,
     "folvane -autokpopt in.fvm out.fvm number pairs a1 b1 ... [more numbers]"},
    {"-debug", 0, 0, runDebugMode, "folvane -debug"},
    {"--help", 0, 0, printHelp, "folvane --help | -h"},
    {"-h", 0, 0, printHelp, nullptr},
    {"--version", 0, 0, printVersion, "folvane --version"},
};

const char* const WindowUsage = "folvane [model.fvm] [Qt's window options, such as -platform NAME or -style NAME]";

int printHelp(int, char**)
{
    std::cout << "Usage: " << WindowUsage << '\n';
    for (const Mode& mode : modes) {
        if (mode.usage)
            std::cout << "       " << mode.usage << '\n';
    }
    std::cout << "A model file whose name begins with '-' opens as ./-name.\n"
                 "README.md describes every mode and its exit codes.\n";
    std::cout.flush();
    return 0;
}

int printVersion(int, char**)
{
    std::cout << "folvane " << FOLVANE_VERSION << std::endl;
    return 0;
}

std::string countText(int least, int most)
{
    const auto plural = [](int n) { return std::to_string(n) + (n == 1 ? " argument" : " arguments"); };
    if (most == Unbounded)
        return "at least " + plural(least);
    if (least == most)
        return plural(least);
    return std::to_string(least) + " to " + plural(most);
}

int refuse(const std::string& why, const char* usage)
{
    std::cerr << "Folvane: " << why << "\nUsage: " << usage << "\nfolvane --help lists every mode" << std::endl;
    return 1;
}

int runMode(const Mode& mode, int argc, char** argv)
{
    const int given = argc - 2;
    if (given < mode.least || (mode.most != Unbounded && given > mode.most)) {
        const Mode* named = &mode;
        // The alias of a mode refers to the mode's own usage line.
        for (const Mode& other : modes) {
            if (other.run == mode.run && other.usage) {
                named = &other;
                break;
            }
        }
        return refuse(std::string(mode.word) + " takes " + countText(mode.least, mode.most) + ", "
                          + std::to_string(given) + " given",
                      named->usage);
    }
    return mode.run(argc, argv);
}

// The window takes one model file at most beside Qt's own options; anything
// else beginning with '-' is a mistyped mode, not a file to open.
int checkWindowArguments(int argc, char** argv)
{
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const int skip = windowOptionLength(argv + i);
        if (i + skip > argc)
            return refuse(std::string("the window option ") + argv[i] + " needs a value", WindowUsage);
        if (skip > 0) {
            i += skip - 1;
            continue;
        }
        if (argv[i][0] == '-') {
            return refuse(std::string("'") + argv[i] + "' is neither a mode nor a window option (a model file "
                              "whose name begins with '-' opens as ./" + argv[i] + ")",
                          WindowUsage);
        }
        ++files;
    }
    if (files > 1)
        return refuse("the window opens one model file, " + std::to_string(files) + " are given", WindowUsage);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2) {
        for (const Mode& mode : modes) {
            if (std::strcmp(argv[1], mode.word) == 0)
                return runMode(mode, argc, argv);
        }
    }
    if (const int refused = checkWindowArguments(argc, argv))
        return refused;
    return runWindowMode(argc, argv);
}
