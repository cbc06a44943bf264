#ifndef FOLVANE_WINDOWMODE_H
#define FOLVANE_WINDOWMODE_H

class QQmlApplicationEngine;
class QString;

namespace Folvane {

class KBlade;
class MessageLog;

// The interactive user interface; returns the event loop's exit code.
int runWindowMode(int argc, char** argv);

// How many arguments from args[0] on one of Qt's own window options takes,
// with its value (-platform offscreen, -style=Fusion, --reverse): the
// application object takes them for itself. 0 for anything else.
int windowOptionLength(char** args);

// The module "Folvane" 0.1 with KBlade, Linker and Objective.
void registerQmlTypes();
// Publishes the document as "kblade" and a log of its messages as
// "messages" (owned by the engine), and loads qrc:/main.qml.
void loadMainWindow(QQmlApplicationEngine& engine, KBlade& blade, MessageLog* log = nullptr);
// Opens the model file named on the command line.
void openGivenFile(KBlade& blade, const QString& path);

} // namespace Folvane

#endif
